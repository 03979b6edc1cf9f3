#pragma once
// Helpers for windows laid out by hand from their layout tables: naming and placing a
// control, centring a window, and the font every window of the program is laid out in.
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QWidget>

namespace quorix {

// Names a control after its layout name (so tests can find it) and places it.
template <class W> W *place(W *w, const char *name, int left, int top, int width, int height)
{
    w->setObjectName(QLatin1String(name));
    w->setGeometry(left, top, width, height);
    return w;
}

// Centres a window on the primary screen, halves rounded towards zero.
inline void centreOnPrimaryScreen(QWidget *window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window->move(area.left() + (area.width() - window->width()) / 2,
                     area.top() + (area.height() - window->height()) / 2);
    }
}

// "MS Sans Serif", 8 points (11 pixels): fontconfig substitutes a sans face.
inline QFont layoutFont()
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    return f;
}

} // namespace quorix
