#pragma once
// The capture sources of the main window: the clipboard, the whole screen and one chosen
// window. Each turns what it captures into the current bitmap, writes it as shar.bmp while
// automatic sending is on, and shows it fitted in the preview. The main window does the
// common source-button step and hands the rest to this class.
#include "platform/WindowSystem.h"

#include <QImage>
#include <QObject>

#include <functional>

class QLabel;
class QStackedWidget;
class QWidget;

namespace quorix {

class SharedState;
class TPanel;
class TPJCBViewer;
class TTimer;
class WindowPicker;

class CaptureSources : public QObject
{
    Q_OBJECT

  public:
    // The main window's controls that the capture sources drive.
    struct Controls
    {
        QLabel *SLIKA;         // the preview picture
        TPanel *Panel2;        // the notebook page the picker is built on
        TPanel *pd;            // the caption strip above the preview
        QStackedWidget *nbook; // page 0 picker, page 1 preview
        TTimer *Timer1;        // window capture
        TTimer *Timer2;        // automatic-sending watch
        TTimer *Timer3;        // screen capture
        TPJCBViewer *pcjb;     // clipboard notifier
        QWidget *owner;        // parent of the questions asked
    };

    // `checkFolder` is the main window's shared-folder check, run before a clipboard
    // picture is written.
    CaptureSources(SharedState &state, const Controls &controls, std::function<void()> checkFolder,
                   WindowSystem &system, QObject *parent = nullptr);

    void FitPreview(const QImage &source);
    void showPreviewPage();

    void Timer1Timer();
    void Timer3Timer();
    void pcjbClipboardChanged();

    // What the window source does after the common source-button step: offers to carry on
    // with the window chosen last time, or builds the picker.
    void chooseWindow();
    void buildWindowPicker();
    void ImageClick(QObject *sender);
    // Gives back what the window capture keeps on the server (the source was left).
    void releaseWindowCapture();

    WindowPicker *picker() const { return picker_; }

  private:
    // One capture tick: `capture` fills the picture; in `ownMode` it becomes the current
    // bitmap, which is written while automatic sending is on, then the preview shows it.
    void captureTick(int ownMode, const std::function<void(QImage &)> &capture);

    SharedState &state_;
    Controls c_;
    std::function<void()> checkFolder_;
    WindowSystem &system_;
    WindowPicker *picker_ = nullptr;
    bool continueFlag_ = false;
};

} // namespace quorix
