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

void RtfParser::controlSymbol(char c)
{
    if (c == '*') {
        m_star = true;
        return;
    }
    m_star = false;
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
            m_builder.endParagraph(m_para, top().chars);
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
        m_builder.appendText(QStringView(&c, 1), g.chars);
}

void RtfParser::text(std::string_view data)
{
    Group &g = top();
    g.fresh = false;
    m_star = false;
    size_t i = 0;
    while (m_skip > 0 && i < data.size()) {
        --m_skip;
        ++i;
    }
    if (i >= data.size())
        return;
    data.remove_prefix(i);
    switch (g.dest) {
    case Dest::Normal: {
        const int cp = codePage();
        if (isDoubleByteCodePage(cp)) {
            if (!m_pendingBytes.isEmpty() && m_pendingCodePage != cp)
                flushBytes();
            m_pendingCodePage = cp;
            m_pendingState = g.chars;
            m_pendingBytes.append(data.data(), static_cast<qsizetype>(data.size()));
            return;
        }
        const char16_t *table = singleByteTable(cp);
        m_textBuffer.resize(static_cast<qsizetype>(data.size()));
        QChar *out = m_textBuffer.data();
        qsizetype n = 0;
        for (const char ch : data) {
            const auto b = static_cast<unsigned char>(ch);
            if (b >= 0x20)
                out[n++] = QChar(table[b]);
            else if (b == '\t')
                out[n++] = QChar(u'\t');
        }
        m_builder.appendText(QStringView(out, n), g.chars);
        return;
    }
    case Dest::FontTable:
        for (const char ch : data) {
            if (ch == ';')
                commitFont();
            else if (m_fontName.size() + m_fontText.size() < kMaxFontName) {
                m_fontName.append(ch);
            }
        }
        return;
    case Dest::ColorTable:
        for (const char ch : data) {
            if (ch != ';' || m_tables.colours.size() >= kMaxTableEntries)
                continue;
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_tables.colours.emplace_back();
            else
                m_tables.colours.emplace_back(std::max(m_red, 0), std::max(m_green, 0),
                                              std::max(m_blue, 0));
            m_red = m_green = m_blue = -1;
        }
        return;
    case Dest::LevelText:
        if (m_levelText.size() < 64)
            decodeAppend(1252, data.data(), static_cast<qsizetype>(data.size()), m_levelText);
        return;
    case Dest::Pict:
        for (const char ch : data) {
            int v;
            if (ch >= '0' && ch <= '9')
                v = ch - '0';
            else if (ch >= 'a' && ch <= 'f')
                v = ch - 'a' + 10;
            else if (ch >= 'A' && ch <= 'F')
                v = ch - 'A' + 10;
            else
                continue;
            if (m_pictNibble < 0) {
                m_pictNibble = v;
            } else {
                m_pictData.append(static_cast<char>(m_pictNibble * 16 + v));
                m_pictNibble = -1;
            }
        }
        return;
    default:
        return;
    }
}

void RtfParser::hexByte(unsigned char b)
{
    Group &g = top();
    g.fresh = false;
    m_star = false;
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (g.dest == Dest::FontTable) {
        if (m_fontName.size() + m_fontText.size() < kMaxFontName)
            m_fontName.append(static_cast<char>(b));
        return;
    }
    if (g.dest == Dest::LevelText) {
        if (m_levelText.size() < 64)
            m_levelText.append(QChar(singleByteTable(1252)[b]));
        return;
    }
    if (g.dest != Dest::Normal)
        return;
    const int cp = codePage();
    if (isDoubleByteCodePage(cp)) {
        if (!m_pendingBytes.isEmpty() && m_pendingCodePage != cp)
            flushBytes();
        m_pendingCodePage = cp;
        m_pendingState = g.chars;
        m_pendingBytes.append(static_cast<char>(b));
        return;
    }
    appendChar(singleByteTable(cp)[b]);
}

void RtfParser::binary(std::string_view data)
{
    top().fresh = false;
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    if (top().dest == Dest::Pict)
        m_pictData.append(data.data(), static_cast<qsizetype>(data.size()));
}

void RtfParser::decodeFontBytes()
{
    decodeAppend(m_fontCodePage > 0 ? m_fontCodePage : m_ansiCodePage, m_fontName.constData(),
                 m_fontName.size(), m_fontText);
    m_fontName.clear();
}

void RtfParser::commitFont()
{
    if (m_fontIndex >= 0 &&
        (!m_fontName.isEmpty() || !m_fontText.isEmpty() || !m_tables.fonts.count(m_fontIndex)) &&
        m_tables.fonts.size() < kMaxTableEntries) {
        decodeFontBytes();
        m_tables.fonts[m_fontIndex] = RtfFont{m_fontText.trimmed(), m_fontCodePage};
    }
    m_fontName.clear();
    m_fontText.clear();
}

void RtfParser::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    m_textBuffer.clear();
    decodeAppend(m_pendingCodePage, m_pendingBytes.constData(), m_pendingBytes.size(),
                 m_textBuffer);
    m_pendingBytes.clear();
    m_textBuffer.removeIf([](QChar ch) { return ch.unicode() < 0x20 && ch != u'\t'; });
    m_builder.appendText(m_textBuffer, m_pendingState);
}

void RtfParser::finishPicture()
{
    if (m_pictKind != PictKind::Png && m_pictKind != PictKind::Jpeg)
        return;
    if (m_groups.empty() || top().dest != Dest::Normal)
        return;
    QBuffer buffer(&m_pictData);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, m_pictKind == PictKind::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return;
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > RtfReader::kMaxPicturePixels ||
        m_picturePixels + pixels > 2 * RtfReader::kMaxPicturePixels)
        return;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return;
    m_picturePixels += pixels;
    const auto scale = [](int value, int percent) {
        return percent > 0 && percent <= 10000 ? value * (percent / 100.0) : double(value);
    };
    const qreal width = m_picWGoal > 0 && m_picWGoal < 0x7FFF * 15
                            ? scale(m_picWGoal, m_scaleX) / kTwipsPerPixel
                            : 0;
    const qreal height = m_picHGoal > 0 && m_picHGoal < 0x7FFF * 15
                             ? scale(m_picHGoal, m_scaleY) / kTwipsPerPixel
                             : 0;
    m_builder.appendImage(image, width, height);
    m_pictData = QByteArray();
}

} // namespace quorix::rtf
