// An outside client for the capture tests: one top-level window with a given title, class,
// size, place and colour pattern. The window is filled with --colour; a 40 x 40 square of
// --mark sits at its top-left corner, so that a capture shows where the window begins.
//
//   quorix_testwindow --title T --class C --size WxH [--pos X,Y] [--colour RRGGBB]
//                     [--mark RRGGBB] [--frame-size WxH] [--frameless] [--blink MS]
//
// --frame-size makes the window, title bar and border included, that size once the window
// manager has framed it. --blink gives the fill a new colour every MS milliseconds, a
// window that keeps changing. The program prints "ready <window id>" when the
// window is mapped and runs until it is killed or its window is closed.
#include <cstdio>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTimer>

namespace {

class PatternWindow : public QRasterWindow
{
  public:
    QColor colour = Qt::red;
    QColor mark = Qt::blue;

  protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(QRect(QPoint(0, 0), size()), colour);
        p.fillRect(QRect(0, 0, 40, 40), mark);
    }
};

QSize parseSize(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    return parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption title("title", "title", "text", "Test window");
    const QCommandLineOption cls("class", "class", "name", "QuorixTest");
    const QCommandLineOption size("size", "size", "WxH", "300x200");
    const QCommandLineOption pos("pos", "position", "X,Y");
    const QCommandLineOption colour("colour", "fill", "RRGGBB", "ff0000");
    const QCommandLineOption mark("mark", "corner mark", "RRGGBB", "0000ff");
    const QCommandLineOption frameSize("frame-size", "outer size", "WxH");
    const QCommandLineOption frameless("frameless", "no frame");
    const QCommandLineOption blink("blink", "a new fill colour every MS", "MS");
    parser.addOptions({title, cls, size, pos, colour, mark, frameSize, frameless, blink});
    parser.process(app);

    // The class part of WM_CLASS is the application name.
    QCoreApplication::setApplicationName(parser.value(cls));
    PatternWindow w;
    w.colour = QColor(QLatin1Char('#') + parser.value(colour));
    w.mark = QColor(QLatin1Char('#') + parser.value(mark));
    w.setTitle(parser.value(title));
    if (parser.isSet(frameless))
        w.setFlags(Qt::Window | Qt::FramelessWindowHint);
    w.resize(parseSize(parser.value(size)));
    if (parser.isSet(pos)) {
        const QStringList xy = parser.value(pos).split(QLatin1Char(','));
        if (xy.size() == 2)
            w.setFramePosition(QPoint(xy[0].toInt(), xy[1].toInt()));
    }
    w.show();
    if (const int ms = parser.value(blink).toInt(); ms > 0) {
        auto *swap = new QTimer(&app);
        QObject::connect(swap, &QTimer::timeout, &app, [&w] {
            w.colour = QColor::fromHsv((w.colour.hsvHue() + 7) % 360, 255, 255);
            w.update();
        });
        swap->start(ms);
    }

    const QSize outer = parseSize(parser.value(frameSize));
    auto announce = [&w] {
        std::printf("ready %llu\n", static_cast<unsigned long long>(w.winId()));
        std::fflush(stdout);
    };
    if (outer.isValid()) {
        // The frame's margins are known only once the window manager has framed the window.
        auto *poll = new QTimer(&app);
        QObject::connect(poll, &QTimer::timeout, &app, [&w, outer, poll, announce] {
            const QMargins m = w.frameMargins();
            if (m.isNull() || !w.isExposed())
                return;
            poll->stop();
            w.resize(outer.width() - m.left() - m.right(), outer.height() - m.top() - m.bottom());
            QTimer::singleShot(50, announce);
        });
        poll->start(10);
    } else {
        QTimer::singleShot(0, [&w, announce] {
            auto *poll = new QTimer(&w);
            QObject::connect(poll, &QTimer::timeout, &w, [&w, poll, announce] {
                if (w.isExposed()) {
                    poll->stop();
                    announce();
                }
            });
            poll->start(10);
        });
    }
    return app.exec();
}
