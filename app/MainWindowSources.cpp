// The five source buttons. One step serves all of them; what differs between the sources
// is the table below. What each source does afterwards belongs to its own page.
#include "app/MainWindow.h"

#include "capture/CaptureSources.h"
#include "controls/ClipboardWatcher.h"
#include "controls/ColourPanel.h"
#include "controls/Colours.h"
#include "slideshow/SlidePage.h"
#include "text/TextPage.h"

#include <utility>

namespace quorix {

namespace {

enum class Timer
{
    Off,
    On,
    Leave
};
// What the page frame shows for the source.
enum class Shows
{
    Preview,
    Picker,
    Slides,
    Text
};

struct SourceStep
{
    SourceMode mode;
    bool setsStopFlag;    // a running slide show ends at its next step
    bool hidesFullStatus; // the status label is hidden in the full window
    Timer windowCapture;
    Timer screenCapture;
    Timer clipboard; // the clipboard notifier
    Shows shows;
};

// Text and the slide show stop both captures too: a capture left running behind another
// source would go on sending its picture over that source's.
constexpr SourceStep kSteps[] = {
    {SourceMode::Clipboard, true, true, Timer::Off, Timer::Off, Timer::On, Shows::Preview},
    {SourceMode::Screen, true, true, Timer::Off, Timer::On, Timer::Off, Shows::Preview},
    {SourceMode::Window, true, true, Timer::Leave, Timer::Off, Timer::Off, Shows::Picker},
    {SourceMode::SlideShow, false, true, Timer::Off, Timer::Off, Timer::On, Shows::Slides},
    {SourceMode::Text, true, false, Timer::Off, Timer::Off, Timer::Leave, Shows::Text},
};

void apply(Timer action, RestartOnChangeTimer *timer)
{
    if (action != Timer::Leave)
        timer->setEnabled(action == Timer::On);
}

const SourceStep &stepFor(SourceMode mode)
{
    for (const SourceStep &step : kSteps)
        if (step.mode == mode)
            return step;
    Q_UNREACHABLE();
}

} // namespace

void MainWindow::sourceButtonStep(SourceMode mode)
{
    const SourceStep &step = stepFor(mode);
    if (state_.mode == SourceMode::Window && mode != SourceMode::Window)
        capture_->releaseWindowCapture();
    if (state_.mode == SourceMode::Screen && mode != SourceMode::Screen)
        capture_->endScreenCapture();
    capture_->sourceChanged();
    if (step.setsStopFlag)
        state_.stopFlag = true;
    if (step.shows != Shows::Slides)
        slidePanel_->hide();
    if (step.shows != Shows::Text)
        textPanel_->hide();
    if (step.shows == Shows::Slides || step.shows == Shows::Text)
        blankPage_->hide();
    if (step.hidesFullStatus && height() > mainlayout::kTallWindow)
        statusLabel_->hide();
    state_.mode = mode;
    setStatus(modeName(mode));
    // The folder still refuses writes, whatever the source: that stays in view.
    if (state_.problems().has(StatusProblems::Topic::Write))
        showProblem(state_.problems().text());
    const std::pair<SourceMode, ColourPanel *> frames[] = {
        {SourceMode::Clipboard, clipboardFrame_}, {SourceMode::Screen, screenFrame_},
        {SourceMode::Window, windowFrame_},       {SourceMode::SlideShow, slideShowFrame_},
        {SourceMode::Text, textFrame_},
    };
    for (const auto &[frameMode, frame] : frames)
        frame->setColour(frameMode == mode ? colours::chosenPanel : colours::background);
    apply(step.windowCapture, windowCaptureTimer_);
    apply(step.screenCapture, screenCaptureTimer_);
    if (step.clipboard != Timer::Leave)
        clipboardWatcher_->setEnabled(step.clipboard == Timer::On);
    switch (step.shows) {
    case Shows::Preview:
    case Shows::Slides:
        capture_->showPreviewPage();
        break;
    case Shows::Picker:
        showPage(Page::Picker);
        break;
    case Shows::Text:
        break;
    }
}

void MainWindow::selectClipboardSource()
{
    sourceButtonStep(SourceMode::Clipboard);
}

void MainWindow::selectScreenSource()
{
    sourceButtonStep(SourceMode::Screen);
    capture_->prepareScreenCapture();
}

void MainWindow::selectWindowSource()
{
    sourceButtonStep(SourceMode::Window);
    capture_->chooseWindow();
}

void MainWindow::selectSlideShowSource()
{
    sourceButtonStep(SourceMode::SlideShow);
    slidePage_->enter();
}

void MainWindow::selectTextSource()
{
    sourceButtonStep(SourceMode::Text);
    textPage_->enter();
}

void MainWindow::captureWindowTick()
{
    capture_->captureWindowTick();
}

void MainWindow::captureScreenTick()
{
    capture_->captureScreenTick();
}

void MainWindow::onClipboardChanged()
{
    capture_->onClipboardChanged();
}

void MainWindow::showPreview(const QImage &source)
{
    capture_->showPreview(source);
}

} // namespace quorix
