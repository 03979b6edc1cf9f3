// The "automatically send" switch, Send, the shared-folder check and the status label.
#include "app/MainWindow.h"

#include "app/OptionsDialog.h"
#include "app/ProgramFiles.h"
#include "capture/CaptureSources.h"
#include "controls/ClipboardWatcher.h"
#include "core/Guard.h"
#include "core/LineFile.h"
#include "core/QueuedEvents.h"
#include "core/WholeFile.h"
#include "text/TextPage.h"

#include <QCheckBox>

namespace quorix {

QString MainWindow::modeName(SourceMode mode)
{
    switch (mode) {
    case SourceMode::Clipboard:
        return tr("Clipboard Image");
    case SourceMode::Screen:
        return tr("Screen Image");
    case SourceMode::Window:
        return tr("Window Image");
    case SourceMode::SlideShow:
        return tr("Slideshow");
    case SourceMode::Text:
        return tr("Text");
    case SourceMode::None:
        break;
    }
    return QString();
}

void MainWindow::setStatus(const QString &text)
{
    statusLabel_->setText(text);
    statusLabel_->adjustSize();
}

// A write that could not go anywhere, or a source that stopped working, is shown in the
// status label, in the full window as well as in the bar, until it is over.
void MainWindow::showProblem(const QString &text)
{
    setStatus(text);
    problemShown_ = true;
    statusLabel_->show();
}

void MainWindow::clearExchangeProblem()
{
    if (!problemShown_)
        return;
    problemShown_ = false;
    setStatus(modeName(state_.mode));
    if (height() > mainlayout::kTallWindow)
        statusLabel_->hide();
}

void MainWindow::setAutoSend(bool on)
{
    // The box's toggled signal runs onAutoSendToggled whenever the state really changes.
    autoSendBox_->setChecked(on);
}

void MainWindow::onAutoSendToggled()
{
    state_.autoSend = autoSendBox_->isChecked();
    if (height() > mainlayout::kTallWindow)
        statusLabel_->hide();
    if (!autoSendBox_->isChecked())
        autoSendWatch_->setEnabled(false);
    if (autoSendBox_->isChecked()) {
        // The first frame after switching on is written whatever it shows.
        capture_->writeNextFrame();
        guarded([this] {
            autoSendWatch_->setEnabled(true);
            if (state_.mode == SourceMode::Screen)
                screenCaptureTimer_->setEnabled(true);
            if (state_.mode == SourceMode::Window)
                windowCaptureTimer_->setEnabled(true);
            if (isPictureSource(state_.mode))
                setStatus(modeName(state_.mode));
            // The folder still refuses writes: that stays in view.
            if (state_.problems().has(StatusProblems::Topic::Write))
                showProblem(state_.problems().text());
            runQueuedEvents();
            // Without a pointer file the read fails, and nothing is written.
            readLineFile(state_.programFolder + kSettingsPointerName);
            state_.writeRunState();
            runQueuedEvents();
        });
    }
    if (!problemShown_)
        statusLabel_->hide();
}

void MainWindow::toggleAutoSend()
{
    onAutoSendToggled();
    setAutoSend(!autoSendBox_->isChecked());
}

void MainWindow::sendPicture(const QImage &picture)
{
    setAutoSend(false);
    onAutoSendToggled();
    checkSharedFolder();
    state_.writeRunState();
    state_.sendBitmap(picture);
}

void MainWindow::send()
{
    if (state_.mode == SourceMode::Text) {
        setAutoSend(false);
        textPage_->sendText();
        return;
    }
    setAutoSend(true);
    onAutoSendToggled();
    setAutoSend(false);
    checkSharedFolder();
    state_.sendCurrentBitmap();
}

void MainWindow::onAutoSendWatchTick()
{
    if (!autoSendBox_->isChecked())
        autoSendWatch_->setEnabled(false);
}

void MainWindow::checkSharedFolder()
{
    guarded([this] {
        if (!fileExists(state_.programFolder + kSettingsPointerName)) {
            showSharedFolderMissing();
            openOptions();
        }
        const QString settingsPath =
            lineAt(readLineFile(state_.programFolder + kSettingsPointerName), 0);
        runQueuedEvents();
        if (!fileExists(settingsPath)) {
            showSharedFolderMissing();
            openOptions();
        }
    });
}

void MainWindow::openOptionsPausingSources()
{
    const bool t1 = windowCaptureTimer_->enabled();
    const bool t2 = autoSendWatch_->enabled();
    const bool t3 = screenCaptureTimer_->enabled();
    const bool clipboard = clipboardWatcher_->isEnabled();
    windowCaptureTimer_->setEnabled(false);
    autoSendWatch_->setEnabled(false);
    screenCaptureTimer_->setEnabled(false);
    clipboardWatcher_->setEnabled(false);
    openOptions();
    windowCaptureTimer_->setEnabled(t1);
    autoSendWatch_->setEnabled(t2);
    screenCaptureTimer_->setEnabled(t3);
    clipboardWatcher_->setEnabled(clipboard);
}

} // namespace quorix
