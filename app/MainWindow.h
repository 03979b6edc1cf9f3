#pragma once
// The main window: a small borderless, always-on-top window with rounded corners. It owns
// the state every source shares (platform/SharedState.h) and the pages of the sources,
// which are built in their own folders and see only that state.
#include "controls/RestartOnChangeTimer.h"
#include "platform/SharedState.h"

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
class Tftext;
class Tfss;

class MainWindow : public QWidget
{
    Q_OBJECT

  public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The Options dialog must exist before FormCreate, which may open it.
    void setOptionsDialog(OptionsDialog *dialog);
    // The text editor, made last at start-up; the text page shows it.
    void setTextEditor(Tftext *editor);
    // The slide-show set-up window, whose show the slide page plays.
    void setSetupWindow(Tfss *fss);

    // Runs the creation step (reads the configuration, restores the position, may open
    // the Options dialog). Call once, after the Options dialog exists.
    void FormCreate();

    // Shared state -------------------------------------------------------------------
    SharedState &state() { return state_; }
    int sourceMode() const { return state_.mode; }
    const QImage &currentBitmap() const { return state_.currentBitmap; }
    QString sharedFolder() const { return state_.sharedFolder(); }
    void setSharedFolder(const QString &path) { state_.setSharedFolder(path); }
    QString programFolder() const { return state_.programFolder; }
    bool stopFlag() const { return state_.stopFlag; }
    void setStopFlag(bool on) { state_.stopFlag = on; }
    std::uint32_t capturedWindow() const { return state_.capturedWindow; }

    // Pages of the sources ---------------------------------------------------------------
    CaptureSources &captureSources() { return *capture_; }
    SlidePage &slidePage() { return *slidePage_; }
    TextPage &textPage() { return *textPage_; }

    // Preview -------------------------------------------------------------------------
    void FitPreview(const QImage &source);
    static bool ResizeBmp(QImage &bitmap, int width, int height);

    // Handlers ------------------------------------------------------------------------
    void CBX1Click();
    void Label1Click();
    void x2Click();
    void x3Click();
    void x4Click();
    void RGPanel1DblClick();
    void preveriMapo();
    void Timer2Timer();
    void XiButton5Click();
    void XiButton2Click();
    void XiButton3Click();
    void XiButton1Click();
    void XiButton4Click();
    void XiButton6Click();
    void Timer1Timer();
    void Timer3Timer();
    void pcjbClipboardChanged();
    void LoadSettings();
    void SaveSettings();
    // Slide steps, published for the slide show.
    void risisliko(const QString &path);
    void risiprikaz(const QString &path);

    // Components, named as in the layout ------------------------------------------------
    DragPanel *RGPanel1 = nullptr;
    QLabel *Image1 = nullptr;
    QCheckBox *CBX1 = nullptr;
    ClickableLabel *Label1 = nullptr;
    QLabel *D2 = nullptr;
    GradientButton *x2 = nullptr, *x3 = nullptr, *x4 = nullptr;
    ColourPanel *Panel9 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    ColourPanel *pa1 = nullptr, *pa2 = nullptr, *pa3 = nullptr, *pa4 = nullptr, *p5 = nullptr;
    GradientButton *XiButton2 = nullptr, *XiButton3 = nullptr, *XiButton1 = nullptr,
                   *XiButton4 = nullptr, *XiButton6 = nullptr, *XiButton5 = nullptr;
    ColourPanel *Panel4 = nullptr, *Panel5 = nullptr, *Panel6 = nullptr;
    ColourPanel *Panel1 = nullptr;
    ColourPanel *pd = nullptr;
    QStackedWidget *nbook = nullptr;
    ColourPanel *Panel2 = nullptr;
    QLabel *SLIKA = nullptr;
    ColourPanel *p3 = nullptr;
    ColourPanel *p7 = nullptr;
    ColourPanel *p9 = nullptr;
    QTextEdit *red = nullptr;
    RestartOnChangeTimer *Timer1 = nullptr, *Timer2 = nullptr, *Timer3 = nullptr,
                         *Timerstep = nullptr;
    ClipboardWatcher *pcjb = nullptr;

    int savedHeight() const { return savedHeight_; }
    int savedWidth() const { return savedWidth_; }

  protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

  private:
    void setupLayout();
    void setupPages();
    void connectHandlers();
    void FormResize();
    void FormDestroy();
    void shapeWindow();
    void showSharedFolderMissing();
    void openOptions();
    void setCBX1(bool on);
    void sourceButtonStep(int mode);
    void setStatus(const QString &text);
    void showExchangeProblem(Sent reason);
    void showProblem(const QString &text);
    void clearExchangeProblem();
    static QString modeName(int mode);

    SharedState state_;
    CaptureSources *capture_ = nullptr;
    SlidePage *slidePage_ = nullptr;
    TextPage *textPage_ = nullptr;
    bool destroyed_ = false;
    bool problemShown_ = false;
    int savedHeight_ = 348;
    int savedWidth_ = 496;
    QPointer<OptionsDialog> foptions_;
};

} // namespace quorix
