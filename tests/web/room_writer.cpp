// Writes into a shared folder exactly as Quorix does (its own SharedState and sending
// thread), one command a line from standard input, so the browser tests and the web
// benchmark drive the real writer:
//   picture R G B W H    a filled picture (shar.bmp and the compact picture); waits
//   frame R G B W H      the same, handed over as a capture tick does, without waiting
//   screen N W H         a picture like a screen (text, gradients, boxes) that differs per N
//   rtf FILE             FILE's bytes as shar.rtf
//   run                  quorixlog.cfg
//   settings L1 .. L7    quorix.cfg (line 6, the scroll text, may hold spaces: it is last)
// Each command answers "ok MS" (the wall clock in milliseconds when it was written) or
// "error TEXT".
#include "core/WholeFile.h"
#include "presenter/SharedState.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

using quorix::withTrailingSlash;

namespace {

// Something with a screen's mix of flat areas, gradients and text, so that the compact
// picture has a screen's size rather than a flat colour's.
QImage screenLike(int n, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor::fromHsv(n * 23 % 360, 90, 240));
    sky.setColorAt(1, QColor::fromHsv((n * 23 + 120) % 360, 160, 120));
    p.fillRect(image.rect(), sky);
    p.fillRect(width / 10, height / 8, width * 8 / 10, height * 6 / 8, Qt::white);
    p.setPen(Qt::black);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
    for (int line = 0; line < 30; ++line)
        p.drawText(width / 10 + 20, height / 8 + 30 + line * 26,
                   QStringLiteral("Frame %1, line %2: the quick brown fox jumps over the lazy dog")
                       .arg(n)
                       .arg(line));
    p.fillRect(width * 7 / 10, height / 4, width / 8, height / 6,
               QColor::fromHsv(n * 47 % 360, 200, 200));
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: room_writer FOLDER\n");
        return 2;
    }
    quorix::SharedState state;
    state.setSharedFolder(withTrailingSlash(QString::fromLocal8Bit(argv[1])));
    std::string line;
    while (std::getline(std::cin, line)) {
        const QString command = QString::fromStdString(line);
        QStringList words = command.split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        const QString verb = words.takeFirst();
        try {
            if ((verb == u"picture" || verb == u"frame") && words.size() == 5) {
                QImage image(words[3].toInt(), words[4].toInt(), QImage::Format_RGB32);
                image.fill(QColor(words[0].toInt(), words[1].toInt(), words[2].toInt()));
                if (verb == u"picture")
                    state.sendBitmap(image);
                else
                    state.sendFrame(image);
            } else if (verb == u"screen" && words.size() == 3) {
                state.sendBitmap(screenLike(words[0].toInt(), words[1].toInt(), words[2].toInt()));
            } else if (verb == u"rtf" && words.size() == 1) {
                QFile file(words[0]);
                if (!file.open(QIODevice::ReadOnly))
                    throw std::runtime_error("cannot open the text");
                state.sendRtf(file.readAll());
            } else if (verb == u"run") {
                state.writeRunState();
            } else if (verb == u"settings" && words.size() >= 5) {
                QStringList lines{state.sharedFolder() + "shar.bmp"};
                lines += words.mid(0, 5);
                lines += QStringList(words.mid(5)).join(u' ');
                lines += QStringLiteral("0");
                state.writeViewerSettings(lines);
            } else {
                throw std::runtime_error("unknown command");
            }
            QCoreApplication::processEvents();
            std::cout << "ok " << QDateTime::currentMSecsSinceEpoch() << std::endl;
        } catch (const std::exception &e) {
            std::cout << "error " << e.what() << std::endl;
        }
    }
    state.finishSending();
    return 0;
}
