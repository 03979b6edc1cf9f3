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
    Timer windowCapture;  // Timer1
    Timer screenCapture;  // Timer3
    Timer clipboard;      // the clipboard notifier
    Page page;
};

// Text and the slide show stop both captures too: a capture left running behind another
// source would go on sending its picture over that source's.
constexpr SourceStep kSteps[] = {
    {smClipboard, &MainWindow::pa1, true, true, Timer::Off, Timer::Off, Timer::On, Page::Preview},
    {smScreen, &MainWindow::pa2, true, true, Timer::Off, Timer::On, Timer::Off, Page::Preview},
    {smWindow, &MainWindow::pa3, true, true, Timer::Leave, Timer::Off, Timer::Off, Page::Picker},
    {smSlideShow, &MainWindow::pa4, false, true, Timer::Off, Timer::Off, Timer::On, Page::Slides},
    {smText, &MainWindow::p5, true, false, Timer::Off, Timer::Off, Timer::Leave, Page::Text},
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
    capture_->sourceChanged();
    if (step.setsStopFlag)
        state_.stopFlag = true;
    if (step.page != Page::Slides)
        p7->hide();
    if (step.page != Page::Text)
        p9->hide();
    if (step.page == Page::Slides || step.page == Page::Text)
        p3->hide();
    if (step.hidesFullStatus && height() > 300)
        D2->hide();
    state_.mode = mode;
    setStatus(modeName(mode));
    for (ColourPanel *MainWindow::*p :
         {&MainWindow::pa1, &MainWindow::pa2, &MainWindow::pa3, &MainWindow::pa4, &MainWindow::p5})
        (this->*p)->setColor(p == step.panel ? colours::chosenPanel : colours::background);
    apply(step.windowCapture, Timer1);
    apply(step.screenCapture, Timer3);
    if (step.clipboard != Timer::Leave)
        pcjb->setEnabled(step.clipboard == Timer::On);
    switch (step.page) {
    case Page::Preview:
    case Page::Slides:
        capture_->showPreviewPage();
        break;
    case Page::Picker:
        nbook->setCurrentIndex(0);
        break;
    case Page::Text:
        break;
    }
}

void MainWindow::XiButton2Click()
{
    sourceButtonStep(smClipboard);
}

void MainWindow::XiButton3Click()
{
    sourceButtonStep(smScreen);
}

void MainWindow::XiButton1Click()
{
    sourceButtonStep(smWindow);
    capture_->chooseWindow();
}

void MainWindow::XiButton4Click()
{
    sourceButtonStep(smSlideShow);
    slidePage_->enter();
}

void MainWindow::XiButton6Click()
{
    sourceButtonStep(smText);
    textPage_->enter();
}

void MainWindow::Timer1Timer()
{
    capture_->Timer1Timer();
}

void MainWindow::Timer3Timer()
{
    capture_->Timer3Timer();
}

void MainWindow::pcjbClipboardChanged()
{
    capture_->pcjbClipboardChanged();
}

void MainWindow::FitPreview(const QImage &source)
{
    capture_->FitPreview(source);
}

bool MainWindow::ResizeBmp(QImage &bitmap, int width, int height)
{
    return resizeBmp(bitmap, width, height);
}

void MainWindow::risisliko(const QString &path)
{
    slidePage_->risisliko(path);
}

void MainWindow::risiprikaz(const QString &path)
{
    slidePage_->risiprikaz(path);
}

} // namespace quorix
