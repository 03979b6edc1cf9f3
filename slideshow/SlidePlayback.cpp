// Playing the show on the slide page: Show starts timed playback, each tick shows the
// slide at the slide position and moves on; Stop, Set Up and the four step buttons.
#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "controls/RestartOnChangeTimer.h"
#include "core/Guard.h"
#include "core/LineFile.h"
#include "core/QueuedEvents.h"
#include "presenter/SharedState.h"
#include "slideshow/SetupWindow.h"
#include "slideshow/SlideKind.h"
#include "slideshow/SlideListFile.h"
#include "slideshow/SlidePage.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>

namespace quorix {

bool SlidePage::slidesPresent() const
{
    return setupWindow_ && setupWindow_->slidesPresent();
}

QString SlidePage::slideLine(int index) const
{
    return setupWindow_ ? lineAt(setupWindow_->lines(), index) : QString();
}

int SlidePage::lastLine() const
{
    return setupWindow_ ? int(setupWindow_->lines().size()) - 1 : -1;
}

void SlidePage::startShow()
{
    // A failure in any step ends the command silently.
    guarded([this] { playForward(); });
}

void SlidePage::playForward()
{
    if (!setupWindow_)
        return;
    state_.stopFlag = false;
    setupWindow_->rebuildLines();
    if (!slidesPresent()) {
        QApplication::beep();
        QMessageBox ask(QMessageBox::Warning, tr("Quorix"), tr("Open Slide Show ?"),
                        QMessageBox::Yes | QMessageBox::No, panel_->window());
        ask.setObjectName(QStringLiteral("openSlideShow"));
        if (ask.exec() == QMessageBox::Yes) {
            setupWindow_->openList();
            if (slidesPresent()) {
                state_.slidePosition = kFirstSlideLine;
                showSlide(slideLine(kFirstSlideLine));
            }
        }
    }
    if (!slidesPresent()) {
        setupWindow_->showModal();
        if (!slidesPresent())
            return;
    }
    showSlide(slideLine(state_.slidePosition));
    runQueuedEvents();
    ++state_.slidePosition;
    slideTimer_->setInterval(durationMs());
    slideTimer_->setEnabled(true);
}

void SlidePage::stopShow()
{
    state_.stopFlag = true;
    slideTimer_->setEnabled(false);
}

void SlidePage::openSetup()
{
    if (!setupWindow_)
        return;
    setupWindow_->showModal();
    if (slidesPresent()) {
        state_.slidePosition = kFirstSlideLine;
        showSlide(slideLine(kFirstSlideLine));
    }
}

void SlidePage::goToFirstSlide()
{
    if (!slidesPresent())
        return;
    slideTimer_->setEnabled(false);
    showSlide(slideLine(kFirstSlideLine));
    state_.stopFlag = true;
    state_.slidePosition = kFirstSlideLine;
}

void SlidePage::goToLastSlide()
{
    if (!slidesPresent())
        return;
    slideTimer_->setEnabled(false);
    showSlide(slideLine(lastLine()));
    state_.stopFlag = true;
}

void SlidePage::goToPreviousSlide()
{
    stepBy(-1);
}

void SlidePage::goToNextSlide()
{
    stepBy(1);
}

void SlidePage::stepBy(int slides)
{
    guarded([this, slides] {
        if (!slidesPresent())
            return;
        state_.stopFlag = true;
        slideTimer_->setEnabled(false);
        state_.slidePosition += slides;
        showSlide(slideLine(state_.slidePosition));
    });
}

void SlidePage::showNextSlide()
{
    // A stop asked for elsewhere ends playback after this step's slide.
    if (state_.stopFlag)
        slideTimer_->setEnabled(false);
    runQueuedEvents();
    const QString path = slideLine(state_.slidePosition);
    const SlideKind kind = slideKindOf(path);
    const std::optional<QString> failure = failureOf([&] {
        if (isPictureKind(kind)) {
            giveBackTextView();
            slidePicture_->show();
            showSlide(path);
        } else if (isTextKind(kind)) {
            // Text slides go to the viewers whether or not automatic sending is on.
            showTextSlide(path);
        }
    });
    // A slide that cannot be shown or written is passed over, so that playback goes on
    // once its report is closed. While the report is open the timer does not fire again
    // (Qt does not deliver a timer's tick while its own handler runs), so playback waits
    // for the presenter; in a looping show the slide is reported again on every round.
    advance();
    if (failure && !failure->isEmpty())
        showErrorReport(*failure);
}

void SlidePage::advance()
{
    const int position = ++state_.slidePosition;
    if (position < kFirstSlideLine || position > lastLine()) {
        if (loopBox_->isChecked())
            state_.slidePosition = kFirstSlideLine;
        else
            slideTimer_->setEnabled(false);
    }
}

} // namespace quorix
