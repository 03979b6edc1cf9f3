// The slide page's layout, and the two slide steps: writing a slide for the viewers
// (risisliko) and showing it on the page (risiprikaz).
#include "slideshow/SlidePage.h"

#include "controls/ColourPanel.h"
#include "controls/Colours.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "controls/RestartOnChangeTimer.h"
#include "platform/ImageDecoder.h"
#include "platform/SharedState.h"
#include "rtf/RichTextFile.h"
#include "rtf/RtfWriter.h"
#include "slideshow/SlideGlyphs.h"
#include "slideshow/SlideKind.h"
#include "slideshow/SlidePictures.h"
#include "slideshow/uss.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>

namespace quorix {

namespace {

constexpr int kDefaultDuration = 6; // seconds

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

SlidePage::SlidePage(SharedState &state, QWidget *area, QTextEdit *red, QObject *parent)
    : QObject(parent), state_(state), red_(red)
{
    if (red) {
        redHome_ = red->parentWidget();
        redHomeGeometry_ = red->geometry();
    }
    p7 = place(new ColourPanel(area), "p7", 1, 16, 407, 264);
    p7->setColor(colours::background);
    p7->hide();
    Timerstep = new RestartOnChangeTimer(parent ? parent : this, kDefaultDuration * 1000);
    Timerstep->setObjectName(QStringLiteral("Timerstep"));
    setupLayout();
    connectHandlers();
}

void SlidePage::setupLayout()
{
    p7->setFont(layoutFont());
    Panel3 = place(new ColourPanel(p7), "Panel3", 59, 8, 289, 201);
    Panel3->setColor(0);
    slika2 = place(new QLabel(Panel3), "slika2", 0, 0, 289, 201);
    // Centred, not scaled: a picture larger than the frame is cut.
    slika2->setAlignment(Qt::AlignCenter);

    // The tool buttons sit on a light strip, so their glyphs read on the dark page.
    Panel7 = place(new ColourPanel(p7), "Panel7", 59, 221, 214, 32);
    Panel7->setColor(0xE0E0E0);
    SpeedButtonFirstOne =
        toolButton(Panel7, "SpeedButtonFirstOne", tr("First Image"), SlideGlyph::First, 6, 25);
    SpeedButton2 = toolButton(Panel7, "SpeedButton2", tr("Previous"), SlideGlyph::Previous, 31, 25);
    SpeedButtonPlayForward =
        toolButton(Panel7, "SpeedButtonPlayForward", tr("Show"), SlideGlyph::Play, 56, 50);
    SpeedButton3 = toolButton(Panel7, "SpeedButton3", tr("Next"), SlideGlyph::Next, 105, 25);
    SpeedButtonLastOne =
        toolButton(Panel7, "SpeedButtonLastOne", tr("Last Image"), SlideGlyph::Last, 131, 25);
    SpeedButtonPause =
        toolButton(Panel7, "SpeedButtonPause", tr("Stop"), SlideGlyph::Stop, 158, 25);
    SpeedButton1 = toolButton(Panel7, "SpeedButton1", tr("Set Up"), SlideGlyph::SetUp, 184, 25);

    cbloop = place(new QCheckBox(tr("Loop"), p7), "cbloop", 10, 225, 57, 17);
    cbloop->setChecked(true);
    l_td = new QLabel(tr("Duration (s)"), p7);
    l_td->setObjectName(QStringLiteral("l_td"));
    l_td->setAlignment(Qt::AlignCenter);
    l_td->adjustSize();
    l_td->move(280, 227);
    for (QWidget *w : {static_cast<QWidget *>(cbloop), static_cast<QWidget *>(l_td)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        w->setPalette(pal);
    }
    tbr = place(new DurationField(p7), "tbr", 344, 224, 49, 22);
    tbr->setRange(1, 5000);
    tbr->setValue(kDefaultDuration);
    tbr->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

void SlidePage::connectHandlers()
{
    const struct
    {
        QToolButton *button;
        void (SlidePage::*handler)();
    } buttons[] = {
        {SpeedButtonFirstOne, &SlidePage::SpeedButtonFirstOneClick},
        {SpeedButton2, &SlidePage::SpeedButton2Click},
        {SpeedButtonPlayForward, &SlidePage::SpeedButtonPlayForwardClick},
        {SpeedButton3, &SlidePage::SpeedButton3Click},
        {SpeedButtonLastOne, &SlidePage::SpeedButtonLastOneClick},
        {SpeedButtonPause, &SlidePage::SpeedButtonPauseClick},
        {SpeedButton1, &SlidePage::SpeedButton1Click},
    };
    for (const auto &b : buttons) {
        auto handler = b.handler;
        connect(b.button, &QToolButton::clicked, this,
                reported([this, handler] { (this->*handler)(); }));
    }
    connect(static_cast<DurationField *>(tbr)->lineEdit(), &QLineEdit::textChanged, this,
            reported([this] { tbrChange(); }));
    connect(tbr, &QSpinBox::valueChanged, this, reported([this] { tbrChange(); }));
    connect(Timerstep, &RestartOnChangeTimer::OnTimer, this,
            reported([this] { TimerstepTimer(); }));
}

void SlidePage::enter()
{
    p7->show();
    p7->raise();
    Timerstep->setInterval(durationMs());
}

int SlidePage::durationMs() const
{
    bool ok = false;
    const int seconds = tbr->text().toInt(&ok);
    if (!ok)
        return 1000;
    // Typing beyond the field's range is brought back when it loses the focus; the
    // interval meanwhile stays within what a timer can hold.
    return std::clamp(seconds, 0, 5000) * 1000;
}

void SlidePage::tbrChange()
{
    Timerstep->setInterval(durationMs());
}

void SlidePage::borrowRed()
{
    if (!red_ || red_->parentWidget() == Panel3)
        return;
    red_->setParent(Panel3);
    red_->setGeometry(0, 0, Panel3->width(), Panel3->height());
    red_->show();
}

void SlidePage::giveBackRed()
{
    if (!red_ || !redHome_ || red_->parentWidget() == redHome_)
        return;
    red_->setParent(redHome_);
    red_->setGeometry(redHomeGeometry_);
    red_->show();
}

void SlidePage::showTextSlide(const QString &path)
{
    if (!red_)
        return;
    loadRichTextFile(*red_->document(), path);
    borrowRed();
    slika2->hide();
    state_.sendRtf(RtfWriter::write(*red_->document()));
}

void SlidePage::risisliko(const QString &path)
{
    const int kind = FileKind(path);
    switch (kind) {
    case skText:
    case skRtf:
        showTextSlide(path);
        break;
    case skJpeg: {
        // Straight from the decoder's rows into a 24-bit file: no picture is built.
        const Bmp24File bmp = decodeJpegAsBmp24(path);
        state_.sendPieces(QStringLiteral("shar.bmp"),
                          {{bmp.headers.constData(), std::size_t(bmp.headers.size())},
                           {reinterpret_cast<const char *>(bmp.pixels.get()), bmp.pixelBytes}});
        break;
    }
    case skPng:
        state_.sendBitmap(decodeImage(path, ImageFormat::Png));
        break;
    case skBmp:
        // A bitmap slide becomes the current bitmap, which Send then sends again.
        state_.currentBitmap = decodeImage(path, ImageFormat::Bmp);
        state_.sendCurrentBitmap();
        break;
    default:
        break;
    }
}

void SlidePage::risiprikaz(const QString &path)
{
    const int kind = FileKind(path);
    if (isTextKind(kind)) {
        showTextSlide(path);
    } else if (isPictureKind(kind)) {
        giveBackRed();
        slika2->show();
        slika2->setPixmap(QPixmap::fromImage(fittedSlidePicture(path, kind, SlideFit::Page)));
    }
}

void SlidePage::ShowSlide(const QString &path)
{
    if (state_.autoSend)
        risisliko(path);
    risiprikaz(path);
}

} // namespace quorix
