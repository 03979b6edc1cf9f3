#pragma once
// The capture sources of the main window: the clipboard, the whole screen and one chosen
// window. Each turns what it captures into the current bitmap, writes it as shar.bmp while
// automatic sending is on, and shows it fitted in the preview. The main window does the
// common source-button step and hands the rest to this class.
#include "windowsystem/WindowSystem.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

class QLabel;
class QWidget;

namespace quorix {

class SharedState;
enum class SourceMode;
class ColourPanel;
class ClipboardWatcher;
class RestartOnChangeTimer;
class WindowPicker;

class CaptureSources : public QObject
{
    Q_OBJECT

  public:
    // A look follows drawing on the captured screen or window once it has settled: after
    // kQuietMs without drawing, and at most kSettleMaxMs after the first drawing. Frames
    // for the viewers are at least kFrameGapMs apart (two a second, for the network's
    // sake): a change within that of the last frame waits for the rest of it.
    static constexpr int kQuietMs = 30;
    static constexpr int kSettleMaxMs = 100;
    static constexpr int kFrameGapMs = 500;

    // The main window's controls that the capture sources drive.
    struct Controls
    {
        QLabel *preview;
        ColourPanel *pickerPanel; // the notebook page the picker is built on
        ColourPanel *captionStrip;
        std::function<void()> showPreviewPage; // brings the preview's page to the front
        RestartOnChangeTimer *windowCaptureTimer;
        RestartOnChangeTimer *autoSendWatch;
        RestartOnChangeTimer *screenCaptureTimer;
        ClipboardWatcher *clipboardWatcher;
        QWidget *owner; // parent of the questions asked
    };

    // `checkFolder` is the main window's shared-folder check, run before a clipboard
    // picture is written.
    CaptureSources(SharedState &state, const Controls &controls, std::function<void()> checkFolder,
                   WindowSystem &system, QObject *parent = nullptr);

    void showPreview(const QImage &source);
    void showPreviewPage();

    // The next capture tick writes its frame for the viewers even if nothing changed: the
    // source or the folder changed, or automatic sending was switched on.
    void writeNextFrame() { writeNext_ = true; }
    // The source changed: the next tick also refreshes the preview.
    void sourceChanged();

    void captureWindowTick();
    void captureScreenTick();
    // The screen source was chosen: where the desktop must allow a capture first, this
    // asks it (once; a capture allowed before goes on). The answer comes later; until the
    // first picture the ticks write nothing and the status strip says why.
    void prepareScreenCapture();
    // The screen source was left: the desktop stops sharing the screen.
    void endScreenCapture();
    void onClipboardChanged();

    // What the window source does after the common source-button step: offers to carry on
    // with the window chosen last time, or builds the picker.
    void chooseWindow();
    void buildWindowPicker();
    void onWindowChosen(QObject *sender);
    // The "another window" tile: the desktop's own chooser picks the window.
    void chooseOtherWindow();
    // Gives back what the window capture keeps on the server (the source was left).
    void releaseWindowCapture();

    WindowPicker *picker() const { return picker_; }

  private:
    // One capture tick of `target` (0: the screen). When the window system says nothing
    // was drawn there, nothing is grabbed. A frame equal to the one last shown is not
    // fitted again (repainting the preview would itself change the screen). In `ownMode`
    // it becomes the current bitmap. While automatic sending is on, a frame that differs
    // from the one last sent (on the screen: outside this program's own window) is handed
    // to the sending thread; the tick does not wait for its encoding and writing. A capture
    // that yields nothing changes nothing and says why (the window system's reason, else
    // `lostText`) until a capture works again.
    void captureTick(SourceMode ownMode, WindowId target,
                     const std::function<bool(QImage &)> &capture, const QString &lostText);
    // Starts the periodic capture of the captured window.
    void startWindowCapture();
    void showFitted(const QImage &frame);
    // This program's visible top-level windows on the captured screen, in the capture's
    // pixels.
    std::vector<QRect> ownWindowsOnScreen() const;
    // Drawing reported by the window system: a look soon, unless it lies only inside this
    // program's own windows (its preview repainting) or no source that sends is on.
    void onDrawn(WindowId target, QRect area);
    // The tick of the source that is on, now.
    void lookNow();
    // The main window stays above every other window, and the desktop's dialog of a
    // screen or window capture may not be able to sit above it: KDE Plasma on Wayland
    // takes no X11 window as its dialog's parent, and its dialog opened under the main
    // window. While the dialog may be open the main window is an ordinary one; after, it
    // stays on top again.
    void makeWayForDesktopDialog();

    SharedState &state_;
    Controls c_;
    std::function<void()> checkFolder_;
    WindowSystem &system_;
    WindowPicker *picker_ = nullptr;
    bool continueFlag_ = false;
    bool writeNext_ = true;
    bool lost_ = false;
    QImage shown_;          // the frame the preview shows, as captured
    QImage sent_;           // the frame last handed to the sending thread
    QTimer settle_;         // drawing seen: the look once it has settled
    QTimer frameGap_;       // a frame held back by the rate: the look when it may go
    QElapsedTimer drawing_; // since the first drawing of the look to come
    QElapsedTimer sinceSent_;
    bool owed_ = false;    // a change was seen but not sent yet: the next tick grabs anyway
    bool madeWay_ = false; // the main window left the top to the desktop's dialog
};

} // namespace quorix
