#include "view/ScrollTicker.h"

#include <QPainter>
#include <QResizeEvent>

#include <cmath>

namespace quorix {

namespace {
const QColor kBand(16, 20, 28);
const QColor kInk(240, 240, 240);
} // namespace

ScrollTicker::ScrollTicker(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("scrollText"));
    frame_.setTimerType(Qt::PreciseTimer);
    frame_.setInterval(16);
    connect(&frame_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void ScrollTicker::setText(const QString &text)
{
    if (text == text_)
        return;
    text_ = text;
    render();
    clock_.start();
    update();
}

int ScrollTicker::bandHeight(int windowHeight) const
{
    return qBound(24, windowHeight / 18, 96);
}

double ScrollTicker::speed() const
{
    return 4.0 * height(); // about a line's height every quarter second
}

void ScrollTicker::render()
{
    if (height() <= 0) {
        line_ = QPixmap();
        return;
    }
    QFont f = font();
    f.setPixelSize(qMax(10, height() * 3 / 5));
    f.setBold(true);
    const QFontMetrics metrics(f);
    const int width = qMax(1, metrics.horizontalAdvance(text_));
    line_ = QPixmap(width * devicePixelRatio(), height() * devicePixelRatio());
    line_.setDevicePixelRatio(devicePixelRatio());
    line_.fill(kBand);
    QPainter p(&line_);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRect(0, 0, width, height()), Qt::AlignVCenter | Qt::AlignLeft, text_);
}

void ScrollTicker::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kBand);
    if (text_.isEmpty() || line_.isNull())
        return;
    // The line enters at the right edge and has left at the left edge after
    // (width + line) pixels; then it starts again.
    const double travel = width() + line_.width() / line_.devicePixelRatio();
    const double elapsed = clock_.isValid() ? clock_.nsecsElapsed() / 1e9 : 0.0;
    const double done = std::fmod(elapsed * speed(), travel);
    p.drawPixmap(QPointF(width() - done, 0), line_);
}

void ScrollTicker::resizeEvent(QResizeEvent *event)
{
    if (event->size().height() != event->oldSize().height())
        render();
}

void ScrollTicker::showEvent(QShowEvent *)
{
    if (!clock_.isValid())
        clock_.start();
    frame_.start();
}

void ScrollTicker::hideEvent(QHideEvent *)
{
    frame_.stop();
}

} // namespace quorix
