// The window picker in the main window's preview area, and the click that starts the
// periodic capture of the chosen window.
#include "app/mainunit.h"

#include "controls/Panel.h"

#include "capture/ThumbnailImage.h"
#include "capture/WindowPicker.h"
#include "controls/ErrorReport.h"
#include "platform/Guard.h"
#include "platform/PendingMessages.h"
#include "platform/WindowSystem.h"

#include <QCheckBox>
#include <QStackedWidget>
#include <stdexcept>

namespace quorix {

void TMainForm::buildWindowPicker()
{
    pd->setCaption(tr("Select window to display"));
    if (!picker_) {
        picker_ = new WindowPicker(Panel2, windowSystem(), this);
        connect(picker_, &WindowPicker::thumbnailClicked, this,
                reported([this](QObject *sender) { ImageClick(sender); }));
    }
    if (picker_->hasGallery()) {
        continueFlag_ = false;
        picker_->destroyGallery();
    }
    Timer1->setEnabled(false);
    Panel2->hide();
    picker_->createGallery();
    picker_->enumerateWindows();
    // Pending messages run inside the build; a click on "Window Image" there may start a
    // new build, which this one then leaves to finish.
    const int generation = picker_->generation();
    for (int i = 0; i < picker_->count() && picker_->generation() == generation; ++i) {
        picker_->xadd();
        if (picker_->generation() != generation)
            return;
        picker_->risiBmp(i);
        letPendingMessagesRun();
    }
    if (picker_->generation() == generation)
        Panel2->show();
}

void TMainForm::ImageClick(QObject *sender)
{
    if (!continueFlag_) {
        guarded([this, sender] {
            const auto *image = qobject_cast<const ThumbnailImage *>(sender);
            if (!image)
                throw std::invalid_argument("not a thumbnail");
            const QVariant tag = image->property("Tag");
            capturedWindow_ = WindowId(tag.toULongLong());
        });
    }
    showPreviewPage();
    Timer1->setEnabled(true);
    if (CBX1->isChecked())
        Timer2->setEnabled(true);
}

} // namespace quorix
