#pragma once
// The slide page: the panel `p7` that covers the main window's preview area in the
// slide-show source, with the slide preview, the seven tool buttons, the Loop box and the
// duration field, and the timer of timed playback. It reaches the main window only
// through the shared state; the show itself is the set-up window's slide-list lines.
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QCheckBox;
class QLabel;
class QSpinBox;
class QTextEdit;
class QToolButton;
class QWidget;

namespace quorix {

class SharedState;
class Tfss;
class ColourPanel;
class RestartOnChangeTimer;

class SlidePage : public QObject
{
    Q_OBJECT

  public:
    // Builds `p7` inside `area` (the preview frame), hidden. `red` is the text page's
    // rich-text view, which text slides borrow and picture slides give back.
    SlidePage(SharedState &state, QWidget *area, QTextEdit *red, QObject *parent = nullptr);

    // The set-up window whose slide-list lines are played.
    void setSetupWindow(Tfss *fss) { fss_ = fss; }

    // Shows the page; the main window has done the common source-button step.
    void enter();

    // Writes a slide into the shared folder for the viewers.
    void risisliko(const QString &path);
    // Shows a slide on the page.
    void risiprikaz(const QString &path);
    // risisliko while automatic sending is on, then risiprikaz.
    void ShowSlide(const QString &path);

    // Handlers -------------------------------------------------------------------------
    void SpeedButtonPlayForwardClick(); // Show
    void SpeedButtonPauseClick();       // Stop
    void SpeedButton1Click();           // Set Up
    void SpeedButtonFirstOneClick();    // First Image
    void SpeedButtonLastOneClick();     // Last Image
    void SpeedButton2Click();           // Previous
    void SpeedButton3Click();           // Next
    void tbrChange();
    void TimerstepTimer();

    // Components, named as in the layout ------------------------------------------------
    ColourPanel *p7 = nullptr;
    ColourPanel *Panel3 = nullptr;
    QLabel *slika2 = nullptr;
    ColourPanel *Panel7 = nullptr;
    QToolButton *SpeedButtonFirstOne = nullptr, *SpeedButton2 = nullptr,
                *SpeedButtonPlayForward = nullptr, *SpeedButton3 = nullptr,
                *SpeedButtonLastOne = nullptr, *SpeedButtonPause = nullptr, *SpeedButton1 = nullptr;
    QCheckBox *cbloop = nullptr;
    QLabel *l_td = nullptr;
    QSpinBox *tbr = nullptr;
    RestartOnChangeTimer *Timerstep = nullptr;

  private:
    void setupLayout();
    void connectHandlers();
    void playForward();
    bool slidesPresent() const;
    QString slideLine(int index) const;
    int lastLine() const;
    // The duration field's value in milliseconds: the integer in its text, else 1 s.
    int durationMs() const;
    // A text slide: loaded into `red`, which moves into the slide frame, and written as
    // shar.rtf.
    void showTextSlide(const QString &path);
    void borrowRed();
    void giveBackRed();
    void advance();

    SharedState &state_;
    QPointer<QTextEdit> red_;
    QPointer<QWidget> redHome_;
    QRect redHomeGeometry_;
    Tfss *fss_ = nullptr;
};

} // namespace quorix
