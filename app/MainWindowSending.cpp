// The "automatically send" switch, Send, the shared-folder check and the status label.
#include "app/MainWindow.h"

#include "app/OptionsDialog.h"
#include "capture/CaptureSources.h"
#include "controls/ClipboardWatcher.h"
#include "platform/Guard.h"
#include "platform/LineFile.h"
#include "platform/PendingMessages.h"
#include "platform/WholeFile.h"
#include "text/TextPage.h"

#include <QCheckBox>

namespace quorix {

namespace {
constexpr int kTallWindow = 300;
} // namespace

QString MainWindow::modeName(int mode)
{
    switch (mode) {
    case smClipboard:
        return tr("Clipboard Image");
    case smScreen:
        return tr("Screen Image");
    case smWindow:
        return tr("Window Image");
    case smSlideShow:
        return tr("Slideshow");
    case smText:
        return tr("Text");
    default:
        return QString();
    }
}

void MainWindow::setStatus(const QString &text)
{
    D2->setText(text);
    D2->adjustSize();
}

// A write that could not go anywhere, or a source that stopped working, is shown in the
// status label, in the full window as well as in the bar, until it is over.
void MainWindow::showExchangeProblem(Sent reason)
{
    showProblem(reason == Sent::NoFolder ? tr("No shared folder: choose one in Options")
                                         : tr("Nothing to send yet"));
}

void MainWindow::showProblem(const QString &text)
{
    setStatus(text);
    problemShown_ = true;
    D2->show();
}

void MainWindow::clearExchangeProblem()
{
    if (!problemShown_)
        return;
    problemShown_ = false;
    setStatus(modeName(state_.mode));
    if (height() > kTallWindow)
        D2->hide();
}

void MainWindow::setCBX1(bool on)
{
    // The box's toggled signal runs CBX1Click whenever the state really changes.
    CBX1->setChecked(on);
}

void MainWindow::CBX1Click()
{
    state_.autoSend = CBX1->isChecked();
    if (height() > kTallWindow)
        D2->hide();
    if (!CBX1->isChecked())
        Timer2->setEnabled(false);
    if (CBX1->isChecked()) {
        // The first frame after switching on is written whatever it shows.
        capture_->writeNextFrame();
        guarded([this] {
            Timer2->setEnabled(true);
            if (state_.mode == smScreen)
                Timer3->setEnabled(true);
            if (state_.mode == smWindow)
                Timer1->setEnabled(true);
            if (state_.mode >= smClipboard && state_.mode <= smSlideShow)
                setStatus(modeName(state_.mode));
            letPendingMessagesRun();
            // Without a pointer file the read fails, and nothing is written.
            readLineFile(state_.programFolder + "qx.cfg");
            state_.writeRunState();
            letPendingMessagesRun();
        });
    }
    if (!problemShown_)
        D2->hide();
}

void MainWindow::Label1Click()
{
    CBX1Click();
    setCBX1(!CBX1->isChecked());
}

void MainWindow::x2Click()
{
    if (state_.mode == smText) {
        setCBX1(false);
        textPage_->sendText();
        return;
    }
    setCBX1(true);
    CBX1Click();
    setCBX1(false);
    preveriMapo();
    state_.sendCurrentBitmap();
}

void MainWindow::Timer2Timer()
{
    if (!CBX1->isChecked())
        Timer2->setEnabled(false);
}

void MainWindow::preveriMapo()
{
    guarded([this] {
        if (!fileExists(state_.programFolder + "qx.cfg")) {
            showSharedFolderMissing();
            openOptions();
        }
        const QString settingsPath = lineAt(readLineFile(state_.programFolder + "qx.cfg"), 0);
        letPendingMessagesRun();
        if (!fileExists(settingsPath)) {
            showSharedFolderMissing();
            openOptions();
        }
    });
}

void MainWindow::XiButton5Click()
{
    const bool t1 = Timer1->enabled();
    const bool t2 = Timer2->enabled();
    const bool t3 = Timer3->enabled();
    const bool clipboard = pcjb->Enabled();
    Timer1->setEnabled(false);
    Timer2->setEnabled(false);
    Timer3->setEnabled(false);
    pcjb->setEnabled(false);
    openOptions();
    Timer1->setEnabled(t1);
    Timer2->setEnabled(t2);
    Timer3->setEnabled(t3);
    pcjb->setEnabled(clipboard);
}

} // namespace quorix
