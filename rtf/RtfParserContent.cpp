// The content side of the RTF parser: text bytes in their code page, control symbols, the
// text of the font, colour and list tables, and pictures.
#include "rtf/RtfParser.h"

#include "rtf/RtfCodePages.h"
#include "rtf/RtfMeasures.h"
#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace quorix::rtf {

namespace {

// A picture's shown size is taken from \picwgoal and \pichgoal below the largest that a
// picture of 32767 pixels has, and from a \picscalex and \picscaley of at most 100 times.
constexpr int kMaxGoalTwips = 0x7FFF * static_cast<int>(kTwipsPerPixel);
constexpr int kMaxScale = 100 * kFullScale;

} // namespace

void RtfParser::controlSymbol(char c)
{
    if (c == '*') {
        star_ = true;
        return;
    }
    star_ = false;
    switch (c) {
    case '\\':
    case '{':
    case '}': {
        const char byte = c;
        text(std::string_view(&byte, 1));
        break;
    }
    case '~':
        appendChar(u'\u00A0');
        break;
    case '-':
        appendChar(u'\u00AD');
        break;
    case '_':
        appendChar(u'\u2011');
        break;
    case '\n':
        if (top().dest == Dest::Normal)
            builder_.endParagraph(para_, top().chars);
        break;
    case '\t':
        appendChar(u'\t');
        break;
    default:
        break;
    }
}

void RtfParser::appendChar(char16_t c)
{
    Group &g = top();
    g.fresh = false;
    if (c < 0x20 && c != u'\t')
        return;
    if (g.dest == Dest::Normal)
        builder_.appendText(QStringView(&c, 1), g.chars);
}

void RtfParser::text(std::string_view data)
{
    Group &g = top();
    g.fresh = false;
    star_ = false;
    size_t i = 0;
    while (skip_ > 0 && i < data.size()) {
        --skip_;
        ++i;
    }
    if (i >= data.size())
        return;
    data.remove_prefix(i);
    switch (g.dest) {
    case Dest::Normal: {
        const int cp = codePage();
        if (queueDoubleBytes(cp, data))
            return;
        const char16_t *table = singleByteTable(cp);
        textBuffer_.resize(static_cast<qsizetype>(data.size()));
        QChar *out = textBuffer_.data();
        qsizetype n = 0;
        for (const char ch : data) {
            const auto b = static_cast<unsigned char>(ch);
            if (b >= 0x20)
                out[n++] = QChar(table[b]);
            else if (b == '\t')
                out[n++] = QChar(u'\t');
        }
        builder_.appendText(QStringView(out, n), g.chars);
        return;
    }
    case Dest::FontTable:
        fontNameText(data);
        return;
    case Dest::ColourTable:
        colourTableText(data);
        return;
    case Dest::LevelText:
        if (levelText_.size() < kMaxLevelText)
            decodeAppend(kCodePageWindowsLatin, data.data(), static_cast<qsizetype>(data.size()),
                         levelText_);
        return;
    case Dest::Picture:
        pictureText(data);
        return;
    default:
        return;
    }
}

// A font's name up to its ";", kept as bytes until the font's code page is known.
void RtfParser::fontNameText(std::string_view data)
{
    for (const char ch : data) {
        if (ch == ';')
            commitFont();
        else if (fontName_.size() + fontText_.size() < kMaxFontName) {
            fontName_.append(ch);
        }
    }
}

// Each ";" ends a colour; one without components is the automatic colour.
void RtfParser::colourTableText(std::string_view data)
{
    for (const char ch : data) {
        if (ch != ';' || tables_.colours.size() >= kMaxTableEntries)
            continue;
        if (red_ < 0 && green_ < 0 && blue_ < 0)
            tables_.colours.emplace_back();
        else
            tables_.colours.emplace_back(std::max(red_, 0), std::max(green_, 0),
                                         std::max(blue_, 0));
        red_ = green_ = blue_ = -1;
    }
}

// A picture's bytes in hex digits; anything between them is left out.
void RtfParser::pictureText(std::string_view data)
{
    for (const char ch : data) {
        const int v = hexDigitValue(ch);
        if (v < 0)
            continue;
        if (pictureNibble_ < 0) {
            pictureNibble_ = v;
        } else {
            pictureData_.append(static_cast<char>(pictureNibble_ * 16 + v));
            pictureNibble_ = -1;
        }
    }
}

void RtfParser::hexByte(unsigned char b)
{
    Group &g = top();
    g.fresh = false;
    star_ = false;
    if (skip_ > 0) {
        --skip_;
        return;
    }
    if (g.dest == Dest::FontTable) {
        if (fontName_.size() + fontText_.size() < kMaxFontName)
            fontName_.append(static_cast<char>(b));
        return;
    }
    if (g.dest == Dest::LevelText) {
        if (levelText_.size() < kMaxLevelText)
            levelText_.append(QChar(singleByteTable(kCodePageWindowsLatin)[b]));
        return;
    }
    if (g.dest != Dest::Normal)
        return;
    const int cp = codePage();
    const char byte = static_cast<char>(b);
    if (!queueDoubleBytes(cp, std::string_view(&byte, 1)))
        appendChar(singleByteTable(cp)[b]);
}

bool RtfParser::queueDoubleBytes(int cp, std::string_view bytes)
{
    if (!isDoubleByteCodePage(cp))
        return false;
    if (!pendingBytes_.isEmpty() && pendingCodePage_ != cp)
        flushBytes();
    pendingCodePage_ = cp;
    pendingState_ = top().chars;
    pendingBytes_.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return true;
}

void RtfParser::binary(std::string_view data)
{
    top().fresh = false;
    if (skip_ > 0) {
        --skip_;
        return;
    }
    if (top().dest == Dest::Picture)
        pictureData_.append(data.data(), static_cast<qsizetype>(data.size()));
}

void RtfParser::decodeFontBytes()
{
    decodeAppend(fontCodePage_ > 0 ? fontCodePage_ : ansiCodePage_, fontName_.constData(),
                 fontName_.size(), fontText_);
    fontName_.clear();
}

void RtfParser::commitFont()
{
    if (fontIndex_ >= 0 &&
        (!fontName_.isEmpty() || !fontText_.isEmpty() || !tables_.fonts.count(fontIndex_)) &&
        tables_.fonts.size() < kMaxTableEntries) {
        decodeFontBytes();
        tables_.fonts[fontIndex_] = RtfFont{fontText_.trimmed(), fontCodePage_};
    }
    fontName_.clear();
    fontText_.clear();
}

void RtfParser::flushBytes()
{
    if (pendingBytes_.isEmpty())
        return;
    textBuffer_.clear();
    decodeAppend(pendingCodePage_, pendingBytes_.constData(), pendingBytes_.size(), textBuffer_);
    pendingBytes_.clear();
    textBuffer_.removeIf([](QChar ch) { return ch.unicode() < 0x20 && ch != u'\t'; });
    builder_.appendText(textBuffer_, pendingState_);
}

void RtfParser::finishPicture()
{
    if (pictureKind_ != PictureKind::Png && pictureKind_ != PictureKind::Jpeg)
        return;
    if (groups_.empty() || top().dest != Dest::Normal)
        return;
    QBuffer buffer(&pictureData_);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, pictureKind_ == PictureKind::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return;
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > RtfReader::kMaxPicturePixels ||
        picturePixels_ + pixels > 2 * RtfReader::kMaxPicturePixels)
        return;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return;
    picturePixels_ += pixels;
    const auto scale = [](int value, int percent) {
        return percent > 0 && percent <= kMaxScale ? value * (percent / double(kFullScale))
                                                   : double(value);
    };
    const qreal width =
        picWGoal_ > 0 && picWGoal_ < kMaxGoalTwips ? scale(picWGoal_, scaleX_) / kTwipsPerPixel : 0;
    const qreal height =
        picHGoal_ > 0 && picHGoal_ < kMaxGoalTwips ? scale(picHGoal_, scaleY_) / kTwipsPerPixel : 0;
    builder_.appendImage(image, width, height);
    pictureData_ = QByteArray();
}

} // namespace quorix::rtf
