// The slide page's layout, and the two slide steps: writing a slide for the viewers
// and showing it on the page.
#include "slideshow/SlidePage.h"

#include "controls/ColourPanel.h"
#include "controls/Colours.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "controls/RestartOnChangeTimer.h"
#include "presenter/SharedState.h"
#include "rtf/RichTextFile.h"
#include "rtf/RtfWriter.h"
#include "slideshow/SetupWindow.h"
#include "slideshow/SlideExchange.h"
#include "slideshow/SlideGlyphs.h"
#include "slideshow/SlideKind.h"
#include "slideshow/SlidePictures.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>

namespace quorix {

namespace {

constexpr int kDefaultDuration = 6;       // seconds
constexpr int kMaxDuration = 5000;        // seconds
constexpr int kFallbackDurationMs = 1000; // while the field holds no number

// The slide frame is black, the strip behind the tool buttons light grey.
constexpr std::uint32_t kSlideFrameColour = 0x000000;
constexpr std::uint32_t kButtonStripColour = 0xE0E0E0;
constexpr int kSlideFrameWidth = 289;
constexpr int kSlideFrameHeight = 201;
// The tool buttons: one glyph wide, Show two.
constexpr int kToolButtonWidth = 25;
constexpr int kShowButtonWidth = 50;

// The duration field. Its interval follows every edit of its text, also one that is not
// yet a value within its range (0, say, which stops the timer until it changes).
class DurationField : public QSpinBox
{
  public:
    using QSpinBox::lineEdit;
    using QSpinBox::QSpinBox;
};

QToolButton *toolButton(QWidget *parent, const char *name, const QString &hint, SlideGlyph glyph,
                        int left, int width)
{
    auto *b = place(new QToolButton(parent), name, left, 0, width, 25);
    b->setToolTip(hint);
    b->setIcon(slideGlyph(glyph));
    b->setIconSize(glyph == SlideGlyph::Play ? QSize(32, 16) : QSize(16, 16));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

SlidePage::SlidePage(SharedState &state, QWidget *area, QTextEdit *textView, QObject *parent)
    : QObject(parent), state_(state), textView_(textView)
{
    if (textView) {
        textViewHome_ = textView->parentWidget();
        textViewHomeGeometry_ = textView->geometry();
    }
    panel_ = place(new ColourPanel(area), "slidePanel", 1, 16, 407, 264);
    panel_->setColour(colours::background);
    panel_->hide();
    slideTimer_ = new RestartOnChangeTimer(parent ? parent : this, kDefaultDuration * 1000);
    slideTimer_->setObjectName(QStringLiteral("slideTimer"));
    setupLayout();
    connectHandlers();
}

void SlidePage::setupLayout()
{
    panel_->setFont(layoutFont());
    slideFrame_ =
        place(new ColourPanel(panel_), "slideFrame", 59, 8, kSlideFrameWidth, kSlideFrameHeight);
    slideFrame_->setColour(kSlideFrameColour);
    slidePicture_ =
        place(new QLabel(slideFrame_), "slidePicture", 0, 0, kSlideFrameWidth, kSlideFrameHeight);
    // Centred, not scaled: a picture larger than the frame is cut.
    slidePicture_->setAlignment(Qt::AlignCenter);

    // The tool buttons sit on a light strip, so their glyphs read on the dark page.
    buttonStrip_ = place(new ColourPanel(panel_), "slideButtons", 59, 221, 214, 32);
    buttonStrip_->setColour(kButtonStripColour);
    firstButton_ = toolButton(buttonStrip_, "firstButton", tr("First Image"), SlideGlyph::First, 6,
                              kToolButtonWidth);
    previousButton_ = toolButton(buttonStrip_, "previousButton", tr("Previous"),
                                 SlideGlyph::Previous, 31, kToolButtonWidth);
    showButton_ =
        toolButton(buttonStrip_, "showButton", tr("Show"), SlideGlyph::Play, 56, kShowButtonWidth);
    nextButton_ =
        toolButton(buttonStrip_, "nextButton", tr("Next"), SlideGlyph::Next, 105, kToolButtonWidth);
    lastButton_ = toolButton(buttonStrip_, "lastButton", tr("Last Image"), SlideGlyph::Last, 131,
                             kToolButtonWidth);
    stopButton_ =
        toolButton(buttonStrip_, "stopButton", tr("Stop"), SlideGlyph::Stop, 158, kToolButtonWidth);
    setUpButton_ = toolButton(buttonStrip_, "setUpButton", tr("Set Up"), SlideGlyph::SetUp, 184,
                              kToolButtonWidth);

    loopBox_ = place(new QCheckBox(tr("Loop"), panel_), "loopBox", 10, 225, 57, 17);
    loopBox_->setChecked(true);
    durationLabel_ = new QLabel(tr("Duration (s)"), panel_);
    durationLabel_->setObjectName(QStringLiteral("durationLabel"));
    durationLabel_->setAlignment(Qt::AlignCenter);
    durationLabel_->adjustSize();
    durationLabel_->move(280, 227);
    for (QWidget *w : {static_cast<QWidget *>(loopBox_), static_cast<QWidget *>(durationLabel_)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        w->setPalette(pal);
    }
    durationField_ = place(new DurationField(panel_), "durationField", 344, 224, 49, 22);
    durationField_->setRange(1, kMaxDuration);
    durationField_->setValue(kDefaultDuration);
    durationField_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

void SlidePage::connectHandlers()
{
    const struct
    {
        QToolButton *button;
        void (SlidePage::*handler)();
    } buttons[] = {
        {firstButton_, &SlidePage::goToFirstSlide},
        {previousButton_, &SlidePage::goToPreviousSlide},
        {showButton_, &SlidePage::startShow},
        {nextButton_, &SlidePage::goToNextSlide},
        {lastButton_, &SlidePage::goToLastSlide},
        {stopButton_, &SlidePage::stopShow},
        {setUpButton_, &SlidePage::openSetup},
    };
    for (const auto &b : buttons) {
        auto handler = b.handler;
        connect(b.button, &QToolButton::clicked, this,
                reported([this, handler] { (this->*handler)(); }));
    }
    connect(static_cast<DurationField *>(durationField_)->lineEdit(), &QLineEdit::textChanged, this,
            reported([this] { applyDuration(); }));
    connect(durationField_, &QSpinBox::valueChanged, this, reported([this] { applyDuration(); }));
    connect(slideTimer_, &RestartOnChangeTimer::timeout, this,
            reported([this] { showNextSlide(); }));
}

void SlidePage::enter()
{
    panel_->show();
    panel_->raise();
    slideTimer_->setInterval(durationMs());
}

int SlidePage::durationMs() const
{
    bool ok = false;
    const int seconds = durationField_->text().toInt(&ok);
    if (!ok)
        return kFallbackDurationMs;
    // Typing beyond the field's range is brought back when it loses the focus; the
    // interval meanwhile stays within what a timer can hold.
    return std::clamp(seconds, 0, kMaxDuration) * 1000;
}

void SlidePage::applyDuration()
{
    slideTimer_->setInterval(durationMs());
}

void SlidePage::borrowTextView()
{
    if (!textView_ || textView_->parentWidget() == slideFrame_)
        return;
    textView_->setParent(slideFrame_);
    textView_->setGeometry(0, 0, slideFrame_->width(), slideFrame_->height());
    textView_->show();
}

void SlidePage::giveBackTextView()
{
    if (!textView_ || !textViewHome_ || textView_->parentWidget() == textViewHome_)
        return;
    textView_->setParent(textViewHome_);
    textView_->setGeometry(textViewHomeGeometry_);
    textView_->show();
}

void SlidePage::showTextSlide(const QString &path)
{
    if (!textView_)
        return;
    loadRichTextFile(*textView_->document(), path);
    borrowTextView();
    slidePicture_->hide();
    state_.sendRtf(RtfWriter::write(*textView_->document()));
}

void SlidePage::sendSlide(const QString &path)
{
    writeSlideExchange(path, {[this](const Bmp24File &bmp) { state_.sendBitmapFile(bmp); },
                              [this](const QImage &picture, SlideKind kind) {
                                  if (kind != SlideKind::Bmp) {
                                      state_.sendBitmap(picture);
                                      return;
                                  }
                                  // A bitmap slide becomes the current bitmap, which Send then
                                  // sends again.
                                  state_.currentBitmap = picture;
                                  state_.sendCurrentBitmap();
                              },
                              [this](const QString &text) { showTextSlide(text); }});
}

void SlidePage::showSlideOnPage(const QString &path)
{
    const SlideKind kind = slideKindOf(path);
    if (isTextKind(kind)) {
        showTextSlide(path);
    } else if (isPictureKind(kind)) {
        giveBackTextView();
        slidePicture_->show();
        slidePicture_->setPixmap(
            QPixmap::fromImage(fittedSlidePicture(path, kind, SlideFit::Page)));
    }
}

void SlidePage::showSlide(const QString &path)
{
    if (state_.autoSend)
        sendSlide(path);
    showSlideOnPage(path);
}

} // namespace quorix
