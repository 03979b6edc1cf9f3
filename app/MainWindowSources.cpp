// The five source buttons. One step serves all of them; what differs between the sources
// is the table below. What each source does afterwards belongs to its own page.
#include "app/MainWindow.h"

#include "capture/CaptureSources.h"
#include "capture/PreviewFit.h"
#include "controls/ClipboardWatcher.h"
#include "controls/ColourPanel.h"
#include "controls/Colours.h"
#include "slideshow/SlidePage.h"
#include "text/TextPage.h"

#include <QStackedWidget>

namespace quorix {

namespace {

enum class Timer
{
    Off,
    On,
    Leave
};
enum class Page
{
    Preview,
    Picker,
    Slides,
    Text
};

struct SourceStep
{
    int mode;
    ColourPanel *MainWindow::*panel;
    bool setsStopFlag;    // a running slide show ends at its next step
    bool hidesFullStatus; // the status label is hidden in the full window
    Timer windowCapture;
    Timer screenCapture;
    Timer clipboard; // the clipboard notifier
    Page page;
};

// Text and the slide show stop both captures too: a capture left running behind another
// source would go on sending its picture over that source's.
constexpr SourceStep kSteps[] = {
    {smClipboard, &MainWindow::clipboardFrame_, true, true, Timer::Off, Timer::Off, Timer::On,
     Page::Preview},
    {smScreen, &MainWindow::screenFrame_, true, true, Timer::Off, Timer::On, Timer::Off,
     Page::Preview},
    {smWindow, &MainWindow::windowFrame_, true, true, Timer::Leave, Timer::Off, Timer::Off,
     Page::Picker},
    {smSlideShow, &MainWindow::slideShowFrame_, false, true, Timer::Off, Timer::Off, Timer::On,
     Page::Slides},
    {smText, &MainWindow::textFrame_, true, false, Timer::Off, Timer::Off, Timer::Leave,
     Page::Text},
};

void apply(Timer action, RestartOnChangeTimer *timer)
{
    if (action != Timer::Leave)
        timer->setEnabled(action == Timer::On);
}

} // namespace

void MainWindow::sourceButtonStep(int mode)
{
    const SourceStep &step = kSteps[mode - 1];
    if (state_.mode == smWindow && mode != smWindow)
        capture_->releaseWindowCapture();
    if (state_.mode == smScreen && mode != smScreen)
        capture_->endScreenCapture();
    capture_->sourceChanged();
    if (step.setsStopFlag)
        state_.stopFlag = true;
    if (step.page != Page::Slides)
        slidePanel_->hide();
    if (step.page != Page::Text)
        textPanel_->hide();
    if (step.page == Page::Slides || step.page == Page::Text)
        blankPage_->hide();
    if (step.hidesFullStatus && height() > 300)
        statusLabel_->hide();
    state_.mode = mode;
    setStatus(modeName(mode));
    // The folder still refuses writes, whatever the source: that stays in view.
    if (state_.problems().has(StatusProblems::Topic::Write))
        showProblem(state_.problems().text());
    for (ColourPanel *MainWindow::*p :
         {&MainWindow::clipboardFrame_, &MainWindow::screenFrame_, &MainWindow::windowFrame_,
          &MainWindow::slideShowFrame_, &MainWindow::textFrame_})
        (this->*p)->setColour(p == step.panel ? colours::chosenPanel : colours::background);
    apply(step.windowCapture, windowCaptureTimer_);
    apply(step.screenCapture, screenCaptureTimer_);
    if (step.clipboard != Timer::Leave)
        clipboardWatcher_->setEnabled(step.clipboard == Timer::On);
    switch (step.page) {
    case Page::Preview:
    case Page::Slides:
        capture_->showPreviewPage();
        break;
    case Page::Picker:
        pages_->setCurrentIndex(0);
        break;
    case Page::Text:
        break;
    }
}

void MainWindow::selectClipboardSource()
{
    sourceButtonStep(smClipboard);
}

void MainWindow::selectScreenSource()
{
    sourceButtonStep(smScreen);
    capture_->prepareScreenCapture();
}

void MainWindow::selectWindowSource()
{
    sourceButtonStep(smWindow);
    capture_->chooseWindow();
}

void MainWindow::selectSlideShowSource()
{
    sourceButtonStep(smSlideShow);
    slidePage_->enter();
}

void MainWindow::selectTextSource()
{
    sourceButtonStep(smText);
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

bool MainWindow::resizeBitmap(QImage &bitmap, int width, int height)
{
    return stretchPicture(bitmap, width, height);
}

} // namespace quorix
