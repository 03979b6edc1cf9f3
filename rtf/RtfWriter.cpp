#include "rtf/RtfWriter.h"

#include "rtf/RtfCodePages.h"
#include "rtf/RtfFormats.h"
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

// Points per pixel at 96 dots per inch, and the size of a document that gives none.
constexpr qreal kPointsPerPixel = 0.75;
constexpr qreal kDefaultPoints = rtf::kDefaultHalfPoints / 2.0;
// Hex digits per line of a picture's data.
constexpr qsizetype kHexDigitsPerLine = 128;

struct RunState
{
    int font = 0;
    int halfPoints = rtf::kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = 0;
    int background = 0;
    rtf::VerticalPosition vertical = rtf::VerticalPosition::Normal;
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

rtf::LevelNumbering levelNumbering(QTextListFormat::Style style)
{
    using rtf::LevelNumbering;
    switch (style) {
    case QTextListFormat::ListDecimal:
        return LevelNumbering::Decimal;
    case QTextListFormat::ListUpperRoman:
        return LevelNumbering::UpperRoman;
    case QTextListFormat::ListLowerRoman:
        return LevelNumbering::LowerRoman;
    case QTextListFormat::ListUpperAlpha:
        return LevelNumbering::UpperAlpha;
    case QTextListFormat::ListLowerAlpha:
        return LevelNumbering::LowerAlpha;
    default:
        return LevelNumbering::Bullet;
    }
}

const char *verticalWord(rtf::VerticalPosition position)
{
    switch (position) {
    case rtf::VerticalPosition::Superscript:
        return "\\super";
    case rtf::VerticalPosition::Subscript:
        return "\\sub";
    case rtf::VerticalPosition::Normal:
        break;
    }
    return "\\nosupersub";
}

class Writer
{
  public:
    explicit Writer(const QTextDocument &doc) : doc_(doc)
    {
        const QFont font = doc.defaultFont();
        defaultFamily_ = font.family();
        defaultPoints_ =
            font.pointSizeF() > 0
                ? font.pointSizeF()
                : (font.pixelSize() > 0 ? font.pixelSize() * kPointsPerPixel : kDefaultPoints);
        fontIndex(defaultFamily_);
    }

    QByteArray write();

  private:
    int fontIndex(const QString &name);
    int colourIndex(const QColor &colour);
    RunState resolve(const QTextCharFormat &f);
    void switchTo(const RunState &s);
    void writeParagraphFormat(const QTextBlockFormat &bf, const QTextList *list);
    void writeBlock(const QTextBlock &block);
    void writeListParagraph(const QTextBlock &block, QTextList *list);
    void writeImage(const QTextImageFormat &f);
    QByteArray header() const;
    void appendListTables(QByteArray &h) const;
    void appendListLevel(QByteArray &h, QTextListFormat::Style style, int level) const;

    const QTextDocument &doc_;
    QString defaultFamily_;
    qreal defaultPoints_ = kDefaultPoints;
    std::vector<QString> fonts_;
    std::map<QString, int> fontIndices_;
    std::vector<QRgb> colours_;
    std::map<QRgb, int> colourIndices_;
    std::vector<QTextList *> lists_;
    std::map<QTextList *, int> listIndices_;
    RunState state_;
    QByteArray body_;
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
    const auto it = fontIndices_.find(family);
    if (it != fontIndices_.end())
        return it->second;
    const int index = static_cast<int>(fonts_.size());
    fonts_.push_back(family);
    fontIndices_.emplace(family, index);
    return index;
}

int Writer::colourIndex(const QColor &colour)
{
    const QRgb rgb = colour.rgb() | 0xFF000000u;
    const auto it = colourIndices_.find(rgb);
    if (it != colourIndices_.end())
        return it->second;
    colours_.push_back(rgb);
    const int index = static_cast<int>(colours_.size()); // entry 0 is "automatic"
    colourIndices_.emplace(rgb, index);
    return index;
}

RunState Writer::resolve(const QTextCharFormat &f)
{
    const QFont def = doc_.defaultFont();
    RunState s;
    QString family;
    if (f.hasProperty(QTextFormat::FontFamilies))
        family = f.property(QTextFormat::FontFamilies).toStringList().value(0);
    if (family.isEmpty() && f.hasProperty(QTextFormat::FontFamily))
        family = f.property(QTextFormat::FontFamily).toString();
    s.font = fontIndex(family.isEmpty() ? defaultFamily_ : family);
    qreal points = defaultPoints_;
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        points = f.fontPointSize();
    else if (f.hasProperty(QTextFormat::FontPixelSize) &&
             f.intProperty(QTextFormat::FontPixelSize) > 0)
        points = f.intProperty(QTextFormat::FontPixelSize) * kPointsPerPixel;
    s.halfPoints = std::clamp(static_cast<int>(std::lround(points * 2)), 1, rtf::kMaxHalfPoints);
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
        s.vertical = rtf::VerticalPosition::Superscript;
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        s.vertical = rtf::VerticalPosition::Subscript;
    return s;
}

void Writer::switchTo(const RunState &s)
{
    if (s == state_)
        return;
    QByteArray &o = body_;
    if (s.font != state_.font)
        o.append("\\f").append(QByteArray::number(s.font));
    if (s.halfPoints != state_.halfPoints)
        o.append("\\fs").append(QByteArray::number(s.halfPoints));
    if (s.bold != state_.bold)
        o.append(s.bold ? "\\b" : "\\b0");
    if (s.italic != state_.italic)
        o.append(s.italic ? "\\i" : "\\i0");
    if (s.underline != state_.underline)
        o.append(s.underline ? "\\ul" : "\\ulnone");
    if (s.strike != state_.strike)
        o.append(s.strike ? "\\strike" : "\\strike0");
    if (s.foreground != state_.foreground)
        o.append("\\cf").append(QByteArray::number(s.foreground));
    if (s.background != state_.background)
        o.append("\\highlight").append(QByteArray::number(s.background));
    if (s.vertical != state_.vertical)
        o.append(verticalWord(s.vertical));
    o.append(' ');
    state_ = s;
}

void Writer::writeImage(const QTextImageFormat &f)
{
    const QVariant resource = doc_.resource(QTextDocument::ImageResource, QUrl(f.name()));
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
    QByteArray &o = body_;
    o.append("{\\pict\\pngblip\\picw").append(QByteArray::number(image.width()));
    o.append("\\pich").append(QByteArray::number(image.height()));
    o.append("\\picwgoal").append(QByteArray::number(twips(width)));
    o.append("\\pichgoal").append(QByteArray::number(twips(height)));
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += kHexDigitsPerLine)
        o.append('\n').append(hex.mid(i, kHexDigitsPerLine));
    o.append("}");
}

void Writer::writeListParagraph(const QTextBlock &block, QTextList *list)
{
    auto it = listIndices_.find(list);
    if (it == listIndices_.end()) {
        lists_.push_back(list);
        it = listIndices_.emplace(list, static_cast<int>(lists_.size())).first;
    }
    const QTextListFormat lf = list->format();
    const int level = std::clamp(lf.indent(), 1, rtf::kListLevels) - 1;
    QByteArray &o = body_;
    // The old form first: a reader that knows both takes the \ls that follows it.
    const QByteArray indent = QByteArray::number(rtf::kMarkerTwips);
    if (isBullet(lf.style())) {
        o.append("{\\*\\pn\\pnlvlblt\\pnf0\\pnindent").append(indent).append("{\\pntxtb ");
        o.append(bulletMarker(lf.style(), false)).append("}}");
    } else {
        o.append("{\\*\\pn\\pnlvlbody\\pnf0\\pnindent").append(indent).append("\\pnstart1");
        o.append(pnNumbering(lf.style())).append("{\\pntxta .}}");
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

void Writer::writeParagraphFormat(const QTextBlockFormat &bf, const QTextList *list)
{
    QByteArray &o = body_;
    o.append("\\pard");
    const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        o.append("\\qc");
    else if (align & Qt::AlignJustify)
        o.append("\\qj");
    else if (align & Qt::AlignRight)
        o.append("\\qr");
    const int listIndent =
        list ? std::clamp(list->format().indent(), 1, rtf::kListLevels) * rtf::listIndentTwips(doc_)
             : 0;
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
        o.append("\\sl").append(
            QByteArray::number(std::lround(bf.lineHeight() * rtf::kSingleLineTwips / 100)));
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
}

void Writer::writeBlock(const QTextBlock &block)
{
    QTextList *list = block.textList();
    writeParagraphFormat(block.blockFormat(), list);
    QByteArray &o = body_;
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
    for (size_t i = 0; i < fonts_.size(); ++i) {
        h.append("{\\f")
            .append(QByteArray::number(static_cast<int>(i)))
            .append("\\fnil\\fcharset0 ");
        appendEscaped(h, fonts_[i]);
        h.append(";}");
    }
    h.append("}\n{\\colortbl ;");
    for (const QRgb rgb : colours_) {
        h.append("\\red").append(QByteArray::number(qRed(rgb)));
        h.append("\\green").append(QByteArray::number(qGreen(rgb)));
        h.append("\\blue").append(QByteArray::number(qBlue(rgb))).append(';');
    }
    h.append("}\n");
    if (!lists_.empty())
        appendListTables(h);
    h.append("{\\*\\generator Quorix;}\\viewkind4\n");
    return h;
}

// Every list of the document with its nine levels, and an override (\ls) for each.
void Writer::appendListTables(QByteArray &h) const
{
    h.append("{\\*\\listtable");
    for (size_t n = 0; n < lists_.size(); ++n) {
        const QTextListFormat::Style style = lists_[n]->format().style();
        h.append("\n{\\list\\listtemplateid").append(QByteArray::number(static_cast<int>(n + 1)));
        h.append("\\listsimple0");
        for (int level = 0; level < rtf::kListLevels; ++level)
            appendListLevel(h, style, level);
        h.append("\\listid").append(QByteArray::number(static_cast<int>(n + 1))).append("}");
    }
    h.append("}\n{\\*\\listoverridetable");
    for (size_t n = 0; n < lists_.size(); ++n) {
        const QByteArray id = QByteArray::number(static_cast<int>(n + 1));
        h.append("{\\listoverride\\listid")
            .append(id)
            .append("\\listoverridecount0\\ls")
            .append(id)
            .append("}");
    }
    h.append("}\n");
}

void Writer::appendListLevel(QByteArray &h, QTextListFormat::Style style, int level) const
{
    const QByteArray numbering = QByteArray::number(static_cast<int>(levelNumbering(style)));
    h.append("{\\listlevel\\levelnfc").append(numbering);
    h.append("\\levelnfcn").append(numbering);
    h.append("\\leveljc0\\levelstartat1\\levelfollow0{\\leveltext");
    if (isBullet(style))
        h.append("\\'01").append(bulletMarker(style, true)).append(";}{\\levelnumbers;}");
    else
        h.append("\\'02\\'0").append(QByteArray::number(level)).append(".;}{\\levelnumbers\\'01;}");
    h.append("\\fi-").append(QByteArray::number(rtf::kMarkerTwips));
    h.append("\\li").append(QByteArray::number((level + 1) * rtf::listIndentTwips(doc_)));
    h.append("}");
}

QByteArray Writer::write()
{
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next())
        writeBlock(b);
    QByteArray out = header();
    out.append(body_);
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
