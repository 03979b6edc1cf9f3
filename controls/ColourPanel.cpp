#include "controls/ColourPanel.h"

#include "core/Colour.h"

#include <QPainter>

namespace quorix {

ColourPanel::ColourPanel(QWidget *parent) : QFrame(parent)
{
    setAutoFillBackground(true);
    setColour(colour_);
}

void ColourPanel::setColour(std::uint32_t bgr)
{
    colour_ = bgr;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, bgrColour(bgr));
    setPalette(pal);
    update();
}

void ColourPanel::setCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

void ColourPanel::paintEvent(QPaintEvent *e)
{
    QFrame::paintEvent(e);
    if (caption_.isEmpty())
        return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    p.drawText(contentsRect(), Qt::AlignCenter, caption_);
}

} // namespace quorix
