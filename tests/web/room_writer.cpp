// Writes into a shared folder exactly as Quorix does (its own SharedState and sending
// thread), one command a line from standard input, so the browser tests and the web
// benchmark drive the real writer:
//   picture R G B W H    a filled picture (shar.bmp and the compact picture); waits
//   frame R G B W H      the same, handed over as a capture tick does, without waiting
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
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

using quorix::withTrailingSlash;

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
