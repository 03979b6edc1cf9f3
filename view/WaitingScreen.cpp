#include "view/WaitingScreen.h"

#include <QPainter>

namespace quorix {

WaitingScreen::WaitingScreen(const QString &folder, QWidget *parent)
    : QWidget(parent), folder_(folder)
{
    setObjectName(QStringLiteral("waitingScreen"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WaitingScreen::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), background());
    p.setRenderHint(QPainter::TextAntialiasing);

    QFont big = font();
    big.setPixelSize(qBound(14, height() / 20, 64));
    p.setFont(big);
    p.setPen(QColor(200, 208, 220));
    const int line = QFontMetrics(big).height();
    const QRect middle(0, height() / 2 - line, width(), line);
    p.drawText(middle, Qt::AlignCenter, tr("Waiting for the presenter…"));

    QFont small = font();
    small.setPixelSize(qBound(10, height() / 60, 20));
    p.setFont(small);
    p.setPen(QColor(120, 130, 146));
    p.drawText(QRect(0, middle.bottom() + line / 2, width(), QFontMetrics(small).height()),
               Qt::AlignCenter, folder_);
}

} // namespace quorix
