// build/slidecat: what the slide show makes of files, with the program's own code.
//
//   slidecat FILE...              kind, TAB, dimensions, TAB, type name, TAB, size
//   slidecat --shar OUT FILE      the bytes playback writes for the slide (shar.bmp/.rtf)
//   slidecat --preview OUT.png FILE   the set-up window's fitted picture
//   slidecat --page OUT.png FILE      the slide page's fitted picture
//
// Exits 1 with the reason on stderr when a file cannot be read or decoded.
#include "controls/Layout.h"
#include "core/WholeFile.h"
#include "imaging/BmpFile.h"
#include "rtf/RichTextFile.h"
#include "rtf/RtfWriter.h"
#include "slideshow/SlideExchange.h"
#include "slideshow/SlideKind.h"
#include "slideshow/SlidePictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <exception>
#include <memory>
#include <stdexcept>

using namespace quorix;

namespace {

int usage()
{
    std::fputs("usage: slidecat FILE...\n"
               "       slidecat --shar OUT FILE\n"
               "       slidecat --preview OUT.png FILE\n"
               "       slidecat --page OUT.png FILE\n",
               stderr);
    return 2;
}

// Text slides need fonts; pictures need no window system at all, so they start faster.
std::unique_ptr<QGuiApplication> guiFor(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

void list(const QString &path)
{
    const SlideKind kind = slideKindOf(path);
    if (!QFile::exists(path))
        throw std::runtime_error(QStringLiteral("File does not exist %1").arg(path).toStdString());
    if (isTextKind(kind)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(
                QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    }
    const QByteArray line = QStringLiteral("%1\t%2\t%3\t%4\n")
                                .arg(int(kind))
                                .arg(slideDimensionsText(path, kind), slideTypeName(path))
                                .arg(slideFileSize(path))
                                .toLocal8Bit();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
}

void shar(const QString &out, const QString &path, int &argc, char **argv)
{
    const bool slide = writeSlideExchange(
        path, {[&](const Bmp24File &bmp) { writeWholeFile(out, bmp24Pieces(bmp)); },
               [&](const QImage &picture, SlideKind) { writeBmpFile(out, picture); },
               [&](const QString &text) {
                   const auto app = guiFor(argc, argv);
                   QTextDocument doc;
                   doc.setDefaultFont(layoutFont());
                   loadRichTextFile(doc, text);
                   writeWholeFile(out, RtfWriter::write(doc));
               }});
    if (!slide)
        throw std::runtime_error(QStringLiteral("%1 is not a slide file").arg(path).toStdString());
}

void picture(const QString &out, const QString &path, SlideFit fit)
{
    const SlideKind kind = slideKindOf(path);
    if (!isPictureKind(kind))
        throw std::runtime_error(
            QStringLiteral("%1 is not a picture slide").arg(path).toStdString());
    const QImage image = fittedSlidePicture(path, kind, fit);
    if (!image.save(out, "PNG"))
        throw std::runtime_error(QStringLiteral("Cannot write %1").arg(out).toStdString());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const QString first = QString::fromLocal8Bit(argv[1]);
    try {
        if (first.startsWith(QLatin1String("--"))) {
            if (argc != 4)
                return usage();
            const QString out = QString::fromLocal8Bit(argv[2]);
            const QString path = QString::fromLocal8Bit(argv[3]);
            if (first == QLatin1String("--shar"))
                shar(out, path, argc, argv);
            else if (first == QLatin1String("--preview"))
                picture(out, path, SlideFit::Setup);
            else if (first == QLatin1String("--page"))
                picture(out, path, SlideFit::Page);
            else
                return usage();
            return 0;
        }
        for (int i = 1; i < argc; ++i)
            list(QString::fromLocal8Bit(argv[i]));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "slidecat: %s\n", e.what());
        return 1;
    }
    return 0;
}
