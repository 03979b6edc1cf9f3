#pragma once
// The main window: a small borderless, always-on-top window with rounded corners. It holds
// the state that every source shares: the source mode, the current bitmap, the shared and
// program folder paths, the captured window and the stop flag.
#include "controls/TTimer.h"

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

class QCheckBox;
class QGroupBox;
class QStackedWidget;

namespace quorix {

class TClickLabel;
class TXiButton;
class TRGPanel;
class TPJCBViewer;
class TPanel;
class Tfoptions;
class WindowPicker;

class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // The Options dialog must exist before FormCreate, which may open it.
    void setOptionsDialog(Tfoptions *dialog);
    // Sends the editor's document as RTF to the given file; set by the text source.
    void setTextSender(std::function<void(const QString &)> sender) { textSender_ = std::move(sender); }

    // Runs the creation step (reads the configuration, restores the position, may open
    // the Options dialog). Call once, after the Options dialog exists.
    void FormCreate();

    // Shared state -------------------------------------------------------------------
    int sourceMode() const { return mode_; }
    const QImage &currentBitmap() const { return currentBitmap_; }
    QString sharedFolder() const { return sharedFolder_; }
    void setSharedFolder(const QString &path) { sharedFolder_ = path; }
    QString programFolder() const { return programFolder_; }
    bool stopFlag() const { return stopFlag_; }
    void setStopFlag(bool on) { stopFlag_ = on; }
    std::uint32_t capturedWindow() const { return capturedWindow_; }

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
    void Timer1Timer();
    void Timer3Timer();
    void pcjbClipboardChanged();
    void LoadSettings();
    void SaveSettings();

    // Components, named as in the layout ------------------------------------------------
    TRGPanel *RGPanel1 = nullptr;
    QLabel *Image1 = nullptr;
    QCheckBox *CBX1 = nullptr;
    TClickLabel *Label1 = nullptr;
    QLabel *D2 = nullptr;
    TXiButton *x2 = nullptr, *x3 = nullptr, *x4 = nullptr;
    TPanel *Panel9 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    TPanel *pa1 = nullptr, *pa2 = nullptr, *pa3 = nullptr, *pa4 = nullptr, *p5 = nullptr;
    TXiButton *XiButton2 = nullptr, *XiButton3 = nullptr, *XiButton1 = nullptr,
              *XiButton4 = nullptr, *XiButton6 = nullptr, *XiButton5 = nullptr;
    TPanel *Panel4 = nullptr, *Panel5 = nullptr, *Panel6 = nullptr;
    TPanel *Panel1 = nullptr;
    TPanel *pd = nullptr;
    QStackedWidget *nbook = nullptr;
    TPanel *Panel2 = nullptr;
    QLabel *SLIKA = nullptr;
    TPanel *p3 = nullptr;
    TPanel *p7 = nullptr;
    TPanel *p9 = nullptr;
    TTimer *Timer1 = nullptr, *Timer2 = nullptr, *Timer3 = nullptr, *Timerstep = nullptr;
    TPJCBViewer *pcjb = nullptr;

    int savedHeight() const { return savedHeight_; }
    int savedWidth() const { return savedWidth_; }

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void setupLayout();
    void connectHandlers();
    void FormResize();
    void FormDestroy();
    void shapeWindow();
    void setSourceMode(int mode);
    void colourSourcePanels(TPanel *chosen);
    void showPreviewPage();
    void writeCurrentBitmap();
    void showSharedFolderMissing();
    void openOptions();
    void setCBX1(bool on);
    void sourceButtonCommon(int mode);
    void setStatus(const QString &text);
    static QString modeName(int mode);
    void XiButton4Click();
    void XiButton6Click();
    void connectCaptureSources();
    void buildWindowPicker();
    void ImageClick(QObject *sender);

    int mode_ = 0;
    QImage currentBitmap_;
    QString sharedFolder_;
    QString programFolder_;
    std::uint32_t capturedWindow_ = 0;
    bool continueFlag_ = false;
    bool stopFlag_ = false;
    bool destroyed_ = false;
    int savedHeight_ = 348;
    int savedWidth_ = 496;
    QPointer<Tfoptions> foptions_;
    WindowPicker *picker_ = nullptr;
    std::function<void(const QString &)> textSender_;

};

} // namespace quorix
