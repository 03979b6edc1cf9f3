#pragma once
// The main window: a small borderless, always-on-top window with rounded corners. It owns
// the state every source shares (presenter/SharedState.h) and the pages of the sources,
// which are built in their own folders and see only that state.
#include "app/MainWindowLayout.h"
#include "controls/RestartOnChangeTimer.h"
#include "presenter/SharedState.h"

#include <cstdint>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QStackedWidget;
class QTextEdit;

namespace quorix {

class CaptureSources;
class SlidePage;
class ClickableLabel;
class TextPage;
class GradientButton;
class DragPanel;
class ClipboardWatcher;
class ColourPanel;
class OptionsDialog;
class TextEditor;
class SetupWindow;

class MainWindow : public QWidget
{
    Q_OBJECT

  public:
    // The pages of the notebook, in their stacking order. The slide show and the text
    // source show their own panels over the notebook instead.
    enum class Page
    {
        Picker,  // the window source's gallery of windows
        Preview, // the captured picture, fitted
        Slides,
        Options,
        Blank, // until start-up has run
    };
    Q_ENUM(Page)

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The Options dialog must exist before startUp, which may open it.
    void setOptionsDialog(OptionsDialog *dialog);
    // The text editor, made last at start-up; the text page shows it.
    void setTextEditor(TextEditor *editor);
    // The slide-show set-up window, whose show the slide page plays.
    void setSetupWindow(SetupWindow *setupWindow);

    // Runs the creation step (reads the configuration, restores the position, may open
    // the Options dialog). Call once, after the Options dialog exists.
    void startUp();

    // Shared state -------------------------------------------------------------------
    SharedState &state() { return state_; }
    SourceMode sourceMode() const { return state_.mode; }
    const QImage &currentBitmap() const { return state_.currentBitmap; }
    QString sharedFolder() const { return state_.sharedFolder(); }
    void setSharedFolder(const QString &path) { state_.setSharedFolder(path); }
    QString programFolder() const { return state_.programFolder; }
    bool stopFlag() const { return state_.stopFlag; }
    void setStopFlag(bool on) { state_.stopFlag = on; }
    WindowId capturedWindow() const { return state_.capturedWindow; }

    // Pages of the sources ---------------------------------------------------------------
    CaptureSources &captureSources() { return *capture_; }
    SlidePage &slidePage() { return *slidePage_; }
    TextPage &textPage() { return *textPage_; }

    // Preview -------------------------------------------------------------------------
    void showPreview(const QImage &source);

    // Handlers ------------------------------------------------------------------------
    void onAutoSendToggled();
    void toggleAutoSend();
    void send();
    // Sends `picture` to the viewers as Send does, with automatic sending turned off
    // first so that the next tick does not cover it.
    void sendPicture(const QImage &picture);
    void onCloseClicked();
    void toggleFolded();
    void onBackgroundDoubleClicked();
    void checkSharedFolder();
    void onAutoSendWatchTick();
    void openOptionsPausingSources();
    void selectClipboardSource();
    void selectScreenSource();
    void selectWindowSource();
    void selectSlideShowSource();
    void selectTextSource();
    void captureWindowTick();
    void captureScreenTick();
    void onClipboardChanged();
    void restorePlacement();
    void storePlacement();

    int savedHeight() const { return savedHeight_; }
    int savedWidth() const { return savedWidth_; }
    // The notebook page in front.
    Page shownPage() const;

  protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

  private:
    void setupLayout();
    void setupTitleStrip();
    void setupSourceButtons();
    void setupNotebook();
    void setupTimers();
    void setupPages();
    QWidget *pageWidget(Page page) const;
    void showPage(Page page);
    void connectHandlers();
    void reshape();
    void shutDown();
    void shapeWindow();
    void showSharedFolderMissing();
    void openOptions();
    void setAutoSend(bool on);
    void sourceButtonStep(SourceMode mode);
    void setStatus(const QString &text);
    void showProblem(const QString &text);
    void clearExchangeProblem();
    static QString modeName(SourceMode mode);

    // The widgets, each with the object name of its member without the underscore.
    DragPanel *background_ = nullptr;
    QLabel *logo_ = nullptr;
    QCheckBox *autoSendBox_ = nullptr;
    ClickableLabel *autoSendLabel_ = nullptr;
    QLabel *statusLabel_ = nullptr;
    GradientButton *sendButton_ = nullptr, *closeButton_ = nullptr, *foldButton_ = nullptr;
    ColourPanel *sourceCaption_ = nullptr;
    QGroupBox *sourceBox_ = nullptr;
    ColourPanel *clipboardFrame_ = nullptr, *screenFrame_ = nullptr, *windowFrame_ = nullptr,
                *slideShowFrame_ = nullptr, *textFrame_ = nullptr;
    GradientButton *clipboardButton_ = nullptr, *screenButton_ = nullptr, *windowButton_ = nullptr,
                   *slideShowButton_ = nullptr, *textButton_ = nullptr, *optionsButton_ = nullptr;
    ColourPanel *optionsFrame_ = nullptr;
    ColourPanel *pageFrame_ = nullptr;
    ColourPanel *captionStrip_ = nullptr;
    QStackedWidget *pages_ = nullptr;
    ColourPanel *pickerPanel_ = nullptr;
    QLabel *preview_ = nullptr;
    ColourPanel *blankPage_ = nullptr;
    // The slide and text pages' own panels, text view and slide timer.
    ColourPanel *slidePanel_ = nullptr;
    ColourPanel *textPanel_ = nullptr;
    QTextEdit *textView_ = nullptr;
    RestartOnChangeTimer *windowCaptureTimer_ = nullptr, *autoSendWatch_ = nullptr,
                         *screenCaptureTimer_ = nullptr, *slideTimer_ = nullptr;
    ClipboardWatcher *clipboardWatcher_ = nullptr;

    SharedState state_;
    CaptureSources *capture_ = nullptr;
    SlidePage *slidePage_ = nullptr;
    TextPage *textPage_ = nullptr;
    bool destroyed_ = false;
    bool problemShown_ = false;
    int savedHeight_ = mainlayout::kHeight;
    int savedWidth_ = mainlayout::kWidth;
    QPointer<OptionsDialog> optionsDialog_;
};

} // namespace quorix
