#pragma once
// The slide page: the panel that covers the main window's preview area in the
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
class SetupWindow;
class ColourPanel;
class RestartOnChangeTimer;

class SlidePage : public QObject
{
    Q_OBJECT

  public:
    // Builds the page inside `area` (the preview frame), hidden. `textView` is the text
    // page's rich-text view, which text slides borrow and picture slides give back.
    SlidePage(SharedState &state, QWidget *area, QTextEdit *textView, QObject *parent = nullptr);

    // The set-up window whose slide-list lines are played.
    void setSetupWindow(SetupWindow *window) { setupWindow_ = window; }

    // Shows the page; the main window has done the common source-button step.
    void enter();

    // Writes a slide into the shared folder for the viewers.
    void sendSlide(const QString &path);
    // Shows a slide on the page.
    void showSlideOnPage(const QString &path);
    // sendSlide while automatic sending is on, then showSlideOnPage.
    void showSlide(const QString &path);

    // Handlers -------------------------------------------------------------------------
    void startShow();
    void stopShow();
    void openSetup();
    void goToFirstSlide();
    void goToLastSlide();
    void goToPreviousSlide();
    void goToNextSlide();
    void applyDuration();
    // A tick of timed playback: the slide at the slide position, then the next position.
    void showNextSlide();

    // The page's panel, which the main window shows and hides with the source.
    ColourPanel *panel() const { return panel_; }
    // The timer of timed playback, named "slideTimer".
    RestartOnChangeTimer *playbackTimer() const { return slideTimer_; }

  private:
    void setupLayout();
    void connectHandlers();
    void playForward();
    bool slidesPresent() const;
    QString slideLine(int index) const;
    int lastLine() const;
    // The duration field's value in milliseconds: the integer in its text, else 1 s.
    int durationMs() const;
    // A text slide: loaded into `textView`, which moves into the slide frame, and written as
    // shar.rtf.
    void showTextSlide(const QString &path);
    void borrowTextView();
    void giveBackTextView();
    void advance();
    // Previous and Next: playback stops and the page moves by `slides` from the slide
    // position; a failure ends the step silently.
    void stepBy(int slides);

    // The widgets are named as their members without the trailing underscore, except the
    // panel ("slidePanel") and the button strip ("slideButtons").
    ColourPanel *panel_ = nullptr;
    ColourPanel *slideFrame_ = nullptr;
    QLabel *slidePicture_ = nullptr;
    ColourPanel *buttonStrip_ = nullptr;
    QToolButton *firstButton_ = nullptr, *previousButton_ = nullptr, *showButton_ = nullptr,
                *nextButton_ = nullptr, *lastButton_ = nullptr, *stopButton_ = nullptr,
                *setUpButton_ = nullptr;
    QCheckBox *loopBox_ = nullptr;
    QLabel *durationLabel_ = nullptr;
    QSpinBox *durationField_ = nullptr;
    RestartOnChangeTimer *slideTimer_ = nullptr;

    SharedState &state_;
    QPointer<QTextEdit> textView_;
    QPointer<QWidget> textViewHome_;
    QRect textViewHomeGeometry_;
    SetupWindow *setupWindow_ = nullptr;
};

} // namespace quorix
