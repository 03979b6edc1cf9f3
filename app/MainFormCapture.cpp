// The main window's capture sources: the clipboard, the whole screen and one chosen
// window, each turned into the current bitmap, written as shar.bmp while automatic
// sending is on, and shown fitted in the preview.
#include "app/mainunit.h"

#include "controls/ErrorReport.h"
#include "controls/Panel.h"
#include "controls/XiButton.h"

#include "capture/WindowPicker.h"
#include "controls/PJCBViewer.h"
#include "platform/Guard.h"
#include "platform/PendingMessages.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QStackedWidget>

namespace quorix {

namespace {

constexpr int kTallWindow = 300;

// The clipboard's picture; null when it holds none or one that cannot be decoded.
QImage clipboardImage()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return {};
    return qvariant_cast<QImage>(data->imageData());
}

} // namespace

void TMainForm::connectCaptureSources()
{
    pcjb = new TPJCBViewer(this);
    pcjb->setObjectName(QStringLiteral("pcjb"));
    connect(pcjb, &TPJCBViewer::OnClipboardChanged, this,
            reported([this] { pcjbClipboardChanged(); }));
}

void TMainForm::showPreviewPage()
{
    nbook->setCurrentIndex(1);
    pd->setCaption(tr("Preview"));
}

void TMainForm::XiButton2Click()
{
    stopFlag_ = true;
    p7->hide();
    p9->hide();
    if (height() > kTallWindow)
        D2->hide();
    setSourceMode(1);
    colourSourcePanels(pa1);
    Timer1->setEnabled(false);
    Timer3->setEnabled(false);
    showPreviewPage();
    pcjb->setEnabled(true);
}

void TMainForm::pcjbClipboardChanged()
{
    if (mode_ != 1)
        return;
    guarded([this] {
        // Text, files and pictures that cannot be decoded leave everything as it is: an
        // undecodable picture must not replace what the viewers show with an empty one.
        const QImage copied = clipboardImage();
        if (copied.isNull())
            return;
        currentBitmap_ = copied;
        preveriMapo();
        if (CBX1->isChecked())
            writeCurrentBitmap();
        letPendingMessagesRun();
        showPreviewPage();
        const QImage again = clipboardImage();
        letPendingMessagesRun();
        FitPreview(again);
        letPendingMessagesRun();
    });
}

void TMainForm::XiButton3Click()
{
    stopFlag_ = true;
    p7->hide();
    p9->hide();
    if (height() > kTallWindow)
        D2->hide();
    setSourceMode(2);
    pcjb->setEnabled(false);
    colourSourcePanels(pa2);
    Timer1->setEnabled(false);
    Timer3->setEnabled(true);
    showPreviewPage();
}

void TMainForm::Timer3Timer()
{
    guarded([this] {
        QImage grab;
        windowSystem().captureScreen(grab);
        if (mode_ == 2)
            currentBitmap_ = grab;
        if (CBX1->isChecked())
            writeCurrentBitmap();
        letPendingMessagesRun();
        FitPreview(grab);
        letPendingMessagesRun();
    });
    letPendingMessagesRun();
}

void TMainForm::XiButton1Click()
{
    stopFlag_ = true;
    p7->hide();
    p9->hide();
    if (height() > kTallWindow)
        D2->hide();
    continueFlag_ = false;
    Timer3->setEnabled(false);
    setSourceMode(3);
    pcjb->setEnabled(false);
    nbook->setCurrentIndex(0);
    colourSourcePanels(pa3);
    bool carryOn = false;
    if (capturedWindow_ != 0) {
        QApplication::beep();
        carryOn = QMessageBox::question(this, tr("Quorix"), tr("Continue from previous window ?"),
                                        QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    if (!carryOn) {
        buildWindowPicker();
        return;
    }
    continueFlag_ = true;
    ImageClick(XiButton1);
}

void TMainForm::Timer1Timer()
{
    guarded([this] {
        QImage capture;
        windowSystem().captureWindow(capturedWindow_, capture);
        if (mode_ == 3)
            currentBitmap_ = capture;
        if (CBX1->isChecked())
            writeCurrentBitmap();
        letPendingMessagesRun();
        FitPreview(capture);
        letPendingMessagesRun();
    });
    letPendingMessagesRun();
}

void TMainForm::XiButton4Click()
{
    sourceButtonCommon(4);
}

void TMainForm::XiButton6Click()
{
    sourceButtonCommon(5);
}

} // namespace quorix
