// The window source: the question about the window chosen last time, the picker in the
// preview area, and the click that starts the periodic capture of the chosen window.
#include "capture/CaptureSources.h"

#include "capture/ThumbnailImage.h"
#include "capture/WindowPicker.h"
#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "controls/RestartOnChangeTimer.h"
#include "core/Guard.h"
#include "core/QueuedEvents.h"
#include "presenter/SharedState.h"

#include <QApplication>
#include <QMessageBox>
#include <QStackedWidget>
#include <QWindow>

#include <stdexcept>

namespace quorix {

void CaptureSources::chooseWindow()
{
    continueFlag_ = false;
    bool carryOn = false;
    if (state_.capturedWindow != 0) {
        QApplication::beep();
        carryOn =
            QMessageBox::question(c_.owner, tr("Quorix"), tr("Continue from previous window ?"),
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    if (!carryOn) {
        buildWindowPicker();
        return;
    }
    continueFlag_ = true;
    onWindowChosen(nullptr);
}

void CaptureSources::buildWindowPicker()
{
    c_.captionStrip->setCaption(tr("Select window to display"));
    if (!picker_) {
        picker_ = new WindowPicker(c_.pickerPanel, system_, this);
        connect(picker_, &WindowPicker::thumbnailClicked, this,
                reported([this](QObject *sender) { onWindowChosen(sender); }));
        connect(picker_, &WindowPicker::otherWindowClicked, this,
                reported([this] { chooseOtherWindow(); }));
        // The desktop said what it offers while the picker's tile was asking it.
        connect(&system_, &WindowSystem::captureStateChanged, picker_, [this] {
            if (picker_->otherWindows() != WindowSystem::OtherWindows::Asking)
                return;
            const WindowSystem::OtherWindows offer = system_.otherWindows();
            if (offer != WindowSystem::OtherWindows::Asking)
                picker_->addOtherWindowTile(offer);
        });
    }
    if (picker_->hasGallery()) {
        continueFlag_ = false;
        picker_->destroyGallery();
    }
    c_.windowCaptureTimer->setEnabled(false);
    // The window captured so far is no longer shown: let the server forget it.
    releaseWindowCapture();
    c_.pickerPanel->hide();
    picker_->createGallery();
    picker_->enumerateWindows();
    // Pending messages run inside the build; a click on "Window Image" there may start a
    // new build, which this one then leaves to finish.
    const int generation = picker_->generation();
    for (int i = 0; i < picker_->count() && picker_->generation() == generation; ++i) {
        picker_->addNextTile();
        if (picker_->generation() != generation)
            return;
        picker_->drawThumbnail(i);
        runQueuedEvents();
    }
    if (picker_->generation() != generation)
        return;
    picker_->addOtherWindowTile(system_.otherWindows());
    // Thumbnails are taken once; nothing of them needs to stay on the server.
    releaseWindowCapture();
    c_.pickerPanel->show();
}

void CaptureSources::onWindowChosen(QObject *sender)
{
    const WindowId before = state_.capturedWindow;
    if (!continueFlag_) {
        guarded([this, sender] {
            const auto *image = qobject_cast<const ThumbnailImage *>(sender);
            if (!image)
                throw std::invalid_argument("not a thumbnail");
            const QVariant tag = image->property("Tag");
            state_.capturedWindow = WindowId(tag.toULongLong());
        });
    }
    // A window the desktop was sharing is no longer wanted.
    if (before != state_.capturedWindow)
        system_.endCapture(before);
    startWindowCapture();
}

void CaptureSources::chooseOtherWindow()
{
    const WindowId chosen =
        system_.chooseOtherWindow(c_.owner ? c_.owner->window()->windowHandle() : nullptr);
    if (chosen == 0)
        return;
    continueFlag_ = false;
    state_.capturedWindow = chosen;
    startWindowCapture();
}

void CaptureSources::startWindowCapture()
{
    sourceChanged();
    showPreviewPage();
    c_.windowCaptureTimer->setEnabled(true);
    if (state_.autoSend)
        c_.autoSendWatch->setEnabled(true);
}

} // namespace quorix
