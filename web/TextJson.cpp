#include "web/TextJson.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

namespace quorix {

namespace {

constexpr qsizetype kMaxFamily = 64;

QString alignmentName(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("right");
    if (alignment & Qt::AlignJustify)
        return QStringLiteral("justify");
    return QStringLiteral("left");
}

// A family name the page may hand to the style object as it is: letters, digits,
// spaces, hyphens and underscores only.
QString safeFamily(const QString &family)
{
    QString out;
    for (QChar c : family.left(kMaxFamily))
        if (c.isLetterOrNumber() || c == u' ' || c == u'-' || c == u'_')
            out += c;
    return out.trimmed();
}

QString runText(QString text)
{
    text.replace(QChar::LineSeparator, u'\n');
    text.remove(QChar::ObjectReplacementCharacter);
    text.remove(QChar::Null);
    return text;
}

QJsonObject run(const QTextFragment &fragment)
{
    const QTextCharFormat format = fragment.charFormat();
    QJsonObject out{{QStringLiteral("text"), runText(fragment.text())}};
    if (format.fontWeight() >= QFont::DemiBold)
        out.insert(QStringLiteral("bold"), true);
    if (format.fontItalic())
        out.insert(QStringLiteral("italic"), true);
    if (format.fontUnderline())
        out.insert(QStringLiteral("underline"), true);
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        out.insert(QStringLiteral("color"), format.foreground().color().name(QColor::HexRgb));
    if (format.hasProperty(QTextFormat::BackgroundBrush) &&
        format.background().style() != Qt::NoBrush)
        out.insert(QStringLiteral("background"), format.background().color().name(QColor::HexRgb));
    if (format.hasProperty(QTextFormat::FontPointSize)) {
        const double size = qBound(4.0, format.fontPointSize(), 400.0);
        out.insert(QStringLiteral("size"), qRound(size * 2) / 2.0);
    }
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = safeFamily(families.isEmpty() ? QString() : families.first());
    if (!family.isEmpty())
        out.insert(QStringLiteral("font"), family);
    return out;
}

QJsonObject picture(const QTextDocument &document, const QTextImageFormat &format,
                    const TextPictureAddress &pictureAddress)
{
    const QImage image =
        document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
    if (image.isNull() || !pictureAddress)
        return {};
    const QString address = pictureAddress(image);
    if (address.isEmpty())
        return {};
    // The size it has in the document (points at the document's 96 dpi = pixels).
    const double width = format.width() > 0 ? format.width() : image.width();
    const double height = format.height() > 0 ? format.height() : image.height();
    return {{QStringLiteral("image"), address},
            {QStringLiteral("width"), qBound(1.0, width, 4000.0)},
            {QStringLiteral("height"), qBound(1.0, height, 4000.0)}};
}

} // namespace

QByteArray textToJson(const QTextDocument &document, const TextPictureAddress &pictureAddress)
{
    QJsonArray paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QJsonArray runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            if (!fragment.charFormat().isImageFormat()) {
                runs.append(run(fragment));
                continue;
            }
            // One picture per object character of the fragment.
            const QJsonObject shown =
                picture(document, fragment.charFormat().toImageFormat(), pictureAddress);
            if (!shown.isEmpty())
                for (qsizetype i = 0; i < fragment.text().size(); ++i)
                    runs.append(shown);
        }
        const QTextBlockFormat format = block.blockFormat();
        QJsonObject paragraph{{QStringLiteral("align"), alignmentName(format.alignment())},
                              {QStringLiteral("runs"), runs}};
        if (block.textList())
            paragraph.insert(QStringLiteral("bullet"), true);
        const int indent = qBound(0, format.indent() + (block.textList() ? 1 : 0), 10);
        if (indent > 0)
            paragraph.insert(QStringLiteral("indent"), indent);
        paragraphs.append(paragraph);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("paragraphs"), paragraphs}})
        .toJson(QJsonDocument::Compact);
}

} // namespace quorix
