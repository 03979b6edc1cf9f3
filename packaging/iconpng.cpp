// Build step: writes the program icon as hicolor PNGs.
//   quorix_iconpng ICON.svg OUTDIR SIZE...  ->  OUTDIR/<size>x<size>/apps/<icon name>.png
#include "packaging/IconRender.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: quorix_iconpng ICON.svg OUTDIR SIZE...\n");
        return 2;
    }
    const QString svg = args.at(1);
    const QString name = QFileInfo(svg).completeBaseName();
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        const QImage icon = ok ? quorix::renderIcon(svg, size) : QImage();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(2)).arg(size);
        const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (icon.isNull() || !QDir().mkpath(folder) || !icon.save(file, "PNG")) {
            std::fprintf(stderr, "quorix_iconpng: cannot make %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
