#include "rtf/RtfWriter.h"

#include "rtf/RtfCodePages.h"
#include "rtf/RtfMeasures.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <cmath>
#include <map>
#include <vector>

namespace quorix {

namespace {

struct RunState
{
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = 0;
    int background = 0;
    int vertical = 0;
    bool operator==(const RunState &) const = default;
};

int twips(qreal pixels)
{
    return static_cast<int>(std::lround(pixels * rtf::kTwipsPerPixel));
}

// Appends text as RTF: ASCII as it is, the rest as \uN with a 1252 fallback.
void appendEscaped(QByteArray &out, QStringView text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out.append('\\').append(static_cast<char>(c));
        } else if (c >= 0x20 && c < 0x7F) {
            out.append(static_cast<char>(c));
        } else if (c == '\t') {
            out.append("\\tab ");
        } else if (c == 0x2028) {
            out.append("\\line ");
        } else if (c == 0x00A0) {
            out.append("\\~");
        } else if (c == 0x00AD) {
            out.append("\\-");
        } else if (c == 0x2011) {
            out.append("\\_");
        } else if (c < 0x20 || c == 0xFFFC) {
            // control characters and object markers carry no text
        } else {
            out.append("\\u").append(QByteArray::number(static_cast<int>(static_cast<int16_t>(c))));
            const int fallback = rtf::toCp1252(c);
            if (fallback >= 0x80) {
                static const char hex[] = "0123456789abcdef";
                out.append("\\'").append(hex[fallback >> 4]).append(hex[fallback & 15]);
            } else if (fallback >= 0x20 && fallback < 0x7F && fallback != '\\' && fallback != '{' &&
                       fallback != '}') {
                out.append(static_cast<char>(fallback));
            } else {
                out.append('?');
            }
        }
    }
}

// A list style's bullet as \uN and the fallback for readers without Unicode. In
// \leveltext some readers take a \'hh fallback for a character of its own, so there the
// fallback is always a plain "?".
QByteArray bulletMarker(QTextListFormat::Style style, bool inLevelText)
{
    QByteArray marker = "\\u8226";
    QByteArray fallback = "\\'95";
    if (style == QTextListFormat::ListCircle) {
        marker = "\\u9702";
        fallback = " o";
    } else if (style == QTextListFormat::ListSquare) {
        marker = "\\u9642";
        fallback = " ?";
    }
    return marker + (inLevelText ? QByteArray(" ?") : fallback);
}

bool isBullet(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare || style == QTextListFormat::ListStyleUndefined;
}

const char *pnNumbering(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListUpperRoman:
        return "\\pnucrm";
    case QTextListFormat::ListLowerRoman:
        return "\\pnlcrm";
    case QTextListFormat::ListUpperAlpha:
        return "\\pnucltr";
    case QTextListFormat::ListLowerAlpha:
        return "\\pnlcltr";
    default:
        return "\\pndec";
    }
}

int levelNfc(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return 0;
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    default:
        return 23;
    }
}

class Writer
{
  public:
    explicit Writer(const QTextDocument &doc) : m_doc(doc)
    {
        const QFont font = doc.defaultFont();
        m_defaultFamily = font.family();
        m_defaultPoints = font.pointSizeF() > 0
                              ? font.pointSizeF()
                              : (font.pixelSize() > 0 ? font.pixelSize() * 0.75 : 12.0);
        fontIndex(m_defaultFamily);
    }

    QByteArray write();

  private:
    int fontIndex(const QString &name);
    int colourIndex(const QColor &colour);
    RunState resolve(const QTextCharFormat &f);
    void switchTo(const RunState &s);
    void writeBlock(const QTextBlock &block);
    void writeListParagraph(const QTextBlock &block, QTextList *list);
    void writeImage(const QTextImageFormat &f);
    QByteArray header() const;

    const QTextDocument &m_doc;
    QString m_defaultFamily;
    qreal m_defaultPoints = 12;
    std::vector<QString> m_fonts;
    std::map<QString, int> m_fontIndex;
    std::vector<QRgb> m_colours;
    std::map<QRgb, int> m_colourIndex;
    std::vector<QTextList *> m_lists;
    std::map<QTextList *, int> m_listIndex;
    RunState m_state;
    QByteArray m_body;
};

// Qt names a family that several makers ship "Family [Foundry]"; other readers know
// only the family.
QString familyAlone(const QString &name)
{
    if (!name.endsWith(QLatin1Char(']')))
        return name;
    const qsizetype open = name.lastIndexOf(QLatin1String(" ["));
    return open > 0 ? name.left(open).trimmed() : name;
}

int Writer::fontIndex(const QString &name)
{
    const QString family = familyAlone(name);
    const auto it = m_fontIndex.find(family);
    if (it != m_fontIndex.end())
        return it->second;
    const int index = static_cast<int>(m_fonts.size());
    m_fonts.push_back(family);
    m_fontIndex.emplace(family, index);
    return index;
}

int Writer::colourIndex(const QColor &colour)
{
    const QRgb rgb = colour.rgb() | 0xFF000000u;
    const auto it = m_colourIndex.find(rgb);
    if (it != m_colourIndex.end())
        return it->second;
    m_colours.push_back(rgb);
    const int index = static_cast<int>(m_colours.size()); // entry 0 is "automatic"
    m_colourIndex.emplace(rgb, index);
    return index;
}

RunState Writer::resolve(const QTextCharFormat &f)
{
    const QFont def = m_doc.defaultFont();
    RunState s;
    QString family;
    if (f.hasProperty(QTextFormat::FontFamilies))
        family = f.property(QTextFormat::FontFamilies).toStringList().value(0);
    if (family.isEmpty() && f.hasProperty(QTextFormat::FontFamily))
        family = f.property(QTextFormat::FontFamily).toString();
    s.font = fontIndex(family.isEmpty() ? m_defaultFamily : family);
    qreal points = m_defaultPoints;
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        points = f.fontPointSize();
    else if (f.hasProperty(QTextFormat::FontPixelSize) &&
             f.intProperty(QTextFormat::FontPixelSize) > 0)
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    s.halfPoints = std::clamp(static_cast<int>(std::lround(points * 2)), 1, 3276);
    s.bold =
        f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : def.bold();
    s.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : def.italic();
    s.underline =
        f.hasProperty(QTextFormat::FontUnderline) || f.hasProperty(QTextFormat::TextUnderlineStyle)
            ? f.fontUnderline()
            : def.underline();
    s.strike = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : def.strikeOut();
    if (f.foreground().style() != Qt::NoBrush)
        s.foreground = colourIndex(f.foreground().color());
    if (f.background().style() != Qt::NoBrush)
        s.background = colourIndex(f.background().color());
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        s.vertical = 1;
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        s.vertical = 2;
    return s;
}

void Writer::switchTo(const RunState &s)
{
    if (s == m_state)
        return;
    QByteArray &o = m_body;
    if (s.font != m_state.font)
        o.append("\\f").append(QByteArray::number(s.font));
    if (s.halfPoints != m_state.halfPoints)
        o.append("\\fs").append(QByteArray::number(s.halfPoints));
    if (s.bold != m_state.bold)
        o.append(s.bold ? "\\b" : "\\b0");
    if (s.italic != m_state.italic)
        o.append(s.italic ? "\\i" : "\\i0");
    if (s.underline != m_state.underline)
        o.append(s.underline ? "\\ul" : "\\ulnone");
    if (s.strike != m_state.strike)
        o.append(s.strike ? "\\strike" : "\\strike0");
    if (s.foreground != m_state.foreground)
        o.append("\\cf").append(QByteArray::number(s.foreground));
    if (s.background != m_state.background)
        o.append("\\highlight").append(QByteArray::number(s.background));
    if (s.vertical != m_state.vertical)
        o.append(s.vertical == 1 ? "\\super" : (s.vertical == 2 ? "\\sub" : "\\nosupersub"));
    o.append(' ');
    m_state = s;
}

void Writer::writeImage(const QTextImageFormat &f)
{
    const QVariant resource = m_doc.resource(QTextDocument::ImageResource, QUrl(f.name()));
    QImage image;
    if (resource.typeId() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.typeId() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.typeId() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        return;
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return;
    }
    qreal width = f.width() > 0 ? f.width() : image.width();
    qreal height = f.height() > 0 ? f.height() : image.height();
    if (f.width() > 0 && f.height() <= 0 && image.width() > 0)
        height = image.height() * width / image.width();
    else if (f.height() > 0 && f.width() <= 0 && image.height() > 0)
        width = image.width() * height / image.height();
    QByteArray &o = m_body;
    o.append("{\\pict\\pngblip\\picw").append(QByteArray::number(image.width()));
    o.append("\\pich").append(QByteArray::number(image.height()));
    o.append("\\picwgoal").append(QByteArray::number(twips(width)));
    o.append("\\pichgoal").append(QByteArray::number(twips(height)));
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        o.append('\n').append(hex.mid(i, 128));
    o.append("}");
}

void Writer::writeListParagraph(const QTextBlock &block, QTextList *list)
{
    auto it = m_listIndex.find(list);
    if (it == m_listIndex.end()) {
        m_lists.push_back(list);
        it = m_listIndex.emplace(list, static_cast<int>(m_lists.size())).first;
    }
    const QTextListFormat lf = list->format();
    const int level = std::clamp(lf.indent(), 1, 9) - 1;
    QByteArray &o = m_body;
    // The old form first: a reader that knows both takes the \ls that follows it.
    if (isBullet(lf.style())) {
        o.append("{\\*\\pn\\pnlvlblt\\pnf0\\pnindent360{\\pntxtb ")
            .append(bulletMarker(lf.style(), false));
        o.append("}}");
    } else {
        o.append("{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1")
            .append(pnNumbering(lf.style()));
        o.append("{\\pntxta .}}");
    }
    o.append("\\ls").append(QByteArray::number(it->second));
    o.append("\\ilvl").append(QByteArray::number(level));
    // The marker as text, for readers that know neither list form.
    o.append("{\\pntext\\f0 ");
    if (isBullet(lf.style()))
        o.append(bulletMarker(lf.style(), false));
    else
        appendEscaped(o, list->itemText(block));
    o.append("\\tab}");
}

void Writer::writeBlock(const QTextBlock &block)
{
    const QTextBlockFormat bf = block.blockFormat();
    QByteArray &o = m_body;
    o.append("\\pard");
    const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        o.append("\\qc");
    else if (align & Qt::AlignJustify)
        o.append("\\qj");
    else if (align & Qt::AlignRight)
        o.append("\\qr");
    QTextList *list = block.textList();
    const int listIndent =
        list ? std::clamp(list->format().indent(), 1, 9) * rtf::listIndentTwips(m_doc) : 0;
    const auto measure = [&o](const char *word, int value) {
        if (value != 0)
            o.append(word).append(QByteArray::number(value));
    };
    // In a list a first-line indent of 0 leaves the marker its hanging room.
    const int first = twips(bf.textIndent());
    measure("\\fi", list && first <= 0 ? -rtf::kMarkerTwips : first);
    measure("\\li", twips(bf.leftMargin()) + listIndent);
    measure("\\ri", twips(bf.rightMargin()));
    measure("\\sb", twips(bf.topMargin()));
    measure("\\sa", twips(bf.bottomMargin()));
    switch (bf.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        o.append("\\sl").append(QByteArray::number(std::lround(bf.lineHeight() * 240 / 100)));
        o.append("\\slmult1");
        break;
    case QTextBlockFormat::FixedHeight:
        o.append("\\sl-").append(QByteArray::number(twips(bf.lineHeight()))).append("\\slmult0");
        break;
    case QTextBlockFormat::MinimumHeight:
        o.append("\\sl").append(QByteArray::number(twips(bf.lineHeight()))).append("\\slmult0");
        break;
    default:
        break;
    }
    if (list)
        writeListParagraph(block, list);
    if (!o.endsWith('}'))
        o.append(' '); // ends the last control word

    bool empty = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        empty = false;
        const QTextCharFormat cf = fragment.charFormat();
        switchTo(resolve(cf));
        if (cf.isImageFormat()) {
            const QString text = fragment.text();
            for (const QChar c : text) {
                if (c == QChar::ObjectReplacementCharacter)
                    writeImage(cf.toImageFormat());
            }
            continue;
        }
        appendEscaped(o, fragment.text());
    }
    if (empty) // the empty paragraph keeps the size of its line
        switchTo(resolve(block.charFormat()));
    o.append("\\par\n");
}

QByteArray Writer::header() const
{
    QByteArray h = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        h.append("{\\f")
            .append(QByteArray::number(static_cast<int>(i)))
            .append("\\fnil\\fcharset0 ");
        appendEscaped(h, m_fonts[i]);
        h.append(";}");
    }
    h.append("}\n{\\colortbl ;");
    for (const QRgb rgb : m_colours) {
        h.append("\\red").append(QByteArray::number(qRed(rgb)));
        h.append("\\green").append(QByteArray::number(qGreen(rgb)));
        h.append("\\blue").append(QByteArray::number(qBlue(rgb))).append(';');
    }
    h.append("}\n");
    if (!m_lists.empty()) {
        h.append("{\\*\\listtable");
        for (size_t n = 0; n < m_lists.size(); ++n) {
            const QTextListFormat::Style style = m_lists[n]->format().style();
            h.append("\n{\\list\\listtemplateid")
                .append(QByteArray::number(static_cast<int>(n + 1)));
            h.append("\\listsimple0");
            for (int level = 0; level < 9; ++level) {
                h.append("{\\listlevel\\levelnfc").append(QByteArray::number(levelNfc(style)));
                h.append("\\levelnfcn").append(QByteArray::number(levelNfc(style)));
                h.append("\\leveljc0\\levelstartat1\\levelfollow0{\\leveltext");
                if (isBullet(style))
                    h.append("\\'01")
                        .append(bulletMarker(style, true))
                        .append(";}{\\levelnumbers;}");
                else
                    h.append("\\'02\\'0")
                        .append(QByteArray::number(level))
                        .append(".;}{\\levelnumbers\\'01;}");
                h.append("\\fi-360\\li")
                    .append(QByteArray::number((level + 1) * rtf::listIndentTwips(m_doc)));
                h.append("}");
            }
            h.append("\\listid").append(QByteArray::number(static_cast<int>(n + 1))).append("}");
        }
        h.append("}\n{\\*\\listoverridetable");
        for (size_t n = 0; n < m_lists.size(); ++n) {
            const QByteArray id = QByteArray::number(static_cast<int>(n + 1));
            h.append("{\\listoverride\\listid")
                .append(id)
                .append("\\listoverridecount0\\ls")
                .append(id)
                .append("}");
        }
        h.append("}\n");
    }
    h.append("{\\*\\generator Quorix;}\\viewkind4\n");
    return h;
}

QByteArray Writer::write()
{
    for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next())
        writeBlock(b);
    QByteArray out = header();
    out.append(m_body);
    out.append("}\n");
    return out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &doc)
{
    Writer writer(doc);
    return writer.write();
}

} // namespace quorix
