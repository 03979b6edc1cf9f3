// rtfcat: shows what Quorix's RTF reader makes of a file.
//   rtfcat FILE          the plain text
//   rtfcat --html FILE   the document as Qt's HTML
//   rtfcat --rtf FILE    the RTF that Quorix's writer makes of it
// Exit status 1 with the reader's message on stderr when the file cannot be loaded,
// 2 for a wrong command line.
#include "rtf/RichTextFile.h"
#include "rtf/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char **argv)
{
    // No window is shown: the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    enum class Mode
    {
        Text,
        Html,
        Rtf
    } mode = Mode::Text;
    const char *file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--html") == 0)
            mode = Mode::Html;
        else if (std::strcmp(argv[i], "--rtf") == 0)
            mode = Mode::Rtf;
        else if (std::strcmp(argv[i], "--text") == 0)
            mode = Mode::Text;
        else if (!file && argv[i][0] != '-')
            file = argv[i];
        else
            file = nullptr, i = argc;
    }
    if (!file) {
        std::fputs("usage: rtfcat [--html | --rtf] FILE\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    QTextDocument doc;
    try {
        quorix::loadRichTextFile(doc, QString::fromLocal8Bit(file));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "rtfcat: %s: %s\n", file, e.what());
        return 1;
    }
    QByteArray out;
    switch (mode) {
    case Mode::Text:
        out = doc.toPlainText().toUtf8() + '\n';
        break;
    case Mode::Html:
        out = doc.toHtml().toUtf8() + '\n';
        break;
    case Mode::Rtf:
        out = quorix::RtfWriter::write(doc);
        break;
    }
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
