#pragma once
// Helpers shared by the RTF tests: a document described as comparable text (per paragraph
// its format, per run its text and resolved character format), and pseudo-random input.
#include <QFont>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>

namespace rtftest {

inline QString family(const QTextCharFormat &f)
{
    const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty())
        return families.first();
    return f.property(QTextFormat::FontFamily).toString();
}

inline QString describeRun(const QTextCharFormat &f, const QString &text)
{
    QString d = QStringLiteral("[%1|%2pt").arg(family(f)).arg(f.fontPointSize());
    if (f.fontWeight() >= QFont::DemiBold)
        d += QLatin1String("|b");
    if (f.fontItalic())
        d += QLatin1String("|i");
    if (f.fontUnderline())
        d += QLatin1String("|u");
    if (f.fontStrikeOut())
        d += QLatin1String("|s");
    if (f.foreground().style() != Qt::NoBrush)
        d += QLatin1String("|fg=") + f.foreground().color().name();
    if (f.background().style() != Qt::NoBrush)
        d += QLatin1String("|bg=") + f.background().color().name();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        d += QLatin1String("|sup");
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        d += QLatin1String("|sub");
    if (f.isImageFormat()) {
        const QTextImageFormat img = f.toImageFormat();
        d += QStringLiteral("|img %1x%2").arg(img.width()).arg(img.height());
        return d + QLatin1Char(']');
    }
    return d + QLatin1String("]") + text;
}

inline QString describeBlock(const QTextBlock &b)
{
    const QTextBlockFormat bf = b.blockFormat();
    QString d = QStringLiteral("{align=%1 l=%2 r=%3 fi=%4 t=%5 b=%6 lh=%7/%8")
                    .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
                    .arg(bf.leftMargin())
                    .arg(bf.rightMargin())
                    .arg(bf.textIndent())
                    .arg(bf.topMargin())
                    .arg(bf.bottomMargin())
                    .arg(bf.lineHeight())
                    .arg(bf.lineHeightType());
    if (QTextList *list = b.textList())
        d += QStringLiteral(" list=%1/%2")
                 .arg(int(list->format().style()))
                 .arg(list->format().indent());
    d += QLatin1Char('}');
    for (auto it = b.begin(); !it.atEnd(); ++it)
        d += describeRun(it.fragment().charFormat(), it.fragment().text());
    return d;
}

// One line per paragraph.
inline QStringList describe(const QTextDocument &doc)
{
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        lines << describeBlock(b);
    return lines;
}

// Pseudo-random bytes after an RTF header, `length` of them from the characters that matter
// to the reader; `state` carries the generator from one call to the next.
inline QByteArray randomRtf(quint32 &state, int length)
{
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < length; ++i) {
        state = state * 1103515245u + 12345u;
        static const char alphabet[] = "{}\\\\\\'*abcdefu0123456789- ;\xE9\x82\x00";
        rtf.append(alphabet[(state >> 16) % (sizeof alphabet - 1)]);
    }
    return rtf;
}

} // namespace rtftest
