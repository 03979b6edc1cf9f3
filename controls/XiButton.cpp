#include "controls/XiButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace quorix {

TXiButton::TXiButton(QWidget *parent) : QWidget(parent)
{
    resize(75, 25);
}

void TXiButton::setGlyph(const QImage &glyph)
{
    glyph_ = glyph;
    update();
}

void TXiButton::setCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

void TXiButton::click()
{
    emit clicked();
}

void TXiButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!glyph_.isNull())
        p.drawImage((width() - glyph_.width()) / 2, (height() - glyph_.height()) / 2, glyph_);
    if (!caption_.isEmpty())
        p.drawText(rect(), Qt::AlignCenter, caption_);
}

void TXiButton::mousePressEvent(QMouseEvent *e)
{
    held_ = e->button() == Qt::LeftButton;
}

void TXiButton::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click = held_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    held_ = false;
    if (click)
        emit clicked();
}

} // namespace quorix
