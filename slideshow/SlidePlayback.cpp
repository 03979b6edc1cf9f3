// Playing the show on the slide page: Show starts timed playback, each tick shows the
// slide at the slide position and moves on; Stop, Set Up and the four step buttons.
#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "controls/RestartOnChangeTimer.h"
#include "platform/FileError.h"
#include "platform/Guard.h"
#include "platform/PendingMessages.h"
#include "platform/SharedState.h"
#include "slideshow/SlideKind.h"
#include "slideshow/SlidePage.h"
#include "slideshow/uss.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>

#include <exception>

namespace quorix {

namespace {

// Runs a step and gives the text of its failure, or empty text when it went through; the
// caller reports it.
QString failureOf(const std::function<void()> &step)
{
    try {
        step();
        return QString();
    } catch (const std::exception &e) {
        return failureText(e);
    } catch (...) {
        return QStringLiteral("Unknown failure");
    }
}

} // namespace

bool SlidePage::slidesPresent() const
{
    return fss_ && fss_->slidesPresent();
}

QString SlidePage::slideLine(int index) const
{
    return fss_ ? fss_->line(index) : QString();
}

int SlidePage::lastLine() const
{
    return fss_ ? int(fss_->lines().size()) - 1 : -1;
}

void SlidePage::SpeedButtonPlayForwardClick()
{
    // A failure in any step ends the command silently.
    guarded([this] { playForward(); });
}

void SlidePage::playForward()
{
    if (!fss_)
        return;
    state_.stopFlag = false;
    fss_->Button1Click();
    if (!slidesPresent()) {
        QApplication::beep();
        QMessageBox ask(QMessageBox::Warning, tr("Quorix"), tr("Open Slide Show ?"),
                        QMessageBox::Yes | QMessageBox::No, p7->window());
        ask.setObjectName(QStringLiteral("openSlideShow"));
        if (ask.exec() == QMessageBox::Yes) {
            fss_->XiButton2Click();
            if (slidesPresent()) {
                state_.slidePosition = 2;
                ShowSlide(slideLine(2));
            }
        }
    }
    if (!slidesPresent()) {
        fss_->ShowModal();
        if (!slidesPresent())
            return;
    }
    ShowSlide(slideLine(state_.slidePosition));
    letPendingMessagesRun();
    ++state_.slidePosition;
    Timerstep->setInterval(durationMs());
    Timerstep->setEnabled(true);
}

void SlidePage::SpeedButtonPauseClick()
{
    state_.stopFlag = true;
    Timerstep->setEnabled(false);
}

void SlidePage::SpeedButton1Click()
{
    if (!fss_)
        return;
    fss_->ShowModal();
    if (slidesPresent()) {
        state_.slidePosition = 2;
        ShowSlide(slideLine(2));
    }
}

void SlidePage::SpeedButtonFirstOneClick()
{
    if (!slidesPresent())
        return;
    Timerstep->setEnabled(false);
    ShowSlide(slideLine(2));
    state_.stopFlag = true;
    state_.slidePosition = 2;
}

void SlidePage::SpeedButtonLastOneClick()
{
    if (!slidesPresent())
        return;
    Timerstep->setEnabled(false);
    ShowSlide(slideLine(lastLine()));
    state_.stopFlag = true;
}

void SlidePage::SpeedButton2Click()
{
    guarded([this] {
        if (!slidesPresent())
            return;
        state_.stopFlag = true;
        Timerstep->setEnabled(false);
        --state_.slidePosition;
        ShowSlide(slideLine(state_.slidePosition));
    });
}

void SlidePage::SpeedButton3Click()
{
    guarded([this] {
        if (!slidesPresent())
            return;
        state_.stopFlag = true;
        Timerstep->setEnabled(false);
        ++state_.slidePosition;
        ShowSlide(slideLine(state_.slidePosition));
    });
}

void SlidePage::TimerstepTimer()
{
    // A stop asked for elsewhere ends playback after this step's slide.
    if (state_.stopFlag)
        Timerstep->setEnabled(false);
    letPendingMessagesRun();
    const QString path = slideLine(state_.slidePosition);
    const int kind = FileKind(path);
    const QString failure = failureOf([&] {
        if (isPictureKind(kind)) {
            giveBackRed();
            slika2->show();
            ShowSlide(path);
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
    if (!failure.isEmpty())
        showErrorReport(failure);
}

void SlidePage::advance()
{
    const int position = ++state_.slidePosition;
    if (position < 2 || position > lastLine()) {
        if (cbloop->isChecked())
            state_.slidePosition = 2;
        else
            Timerstep->setEnabled(false);
    }
}

} // namespace quorix
