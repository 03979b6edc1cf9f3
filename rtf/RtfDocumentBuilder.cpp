#include "rtf/RtfDocumentBuilder.h"

#include "rtf/RtfMeasures.h"

#include <QAtomicInt>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace quorix::rtf {

namespace {

// Names of picture resources: unique in the process, so loading into a document that
// already holds pictures never replaces one of them.
QString nextImageName()
{
    static QAtomicInt counter;
    return QStringLiteral("rtfimage:%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument &doc, const RtfTables &tables)
    : m_doc(doc), m_tables(tables), m_cursor(&doc)
{
}

void RtfDocumentBuilder::appendText(QStringView text, const CharState &state)
{
    if (text.isEmpty() || state.hidden)
        return;
    if (!m_run.isEmpty() && !(state == m_runState))
        flushRun();
    if (m_run.isEmpty()) {
        m_runState = state;
        ensureBlock();
    }
    const qsizetype start = m_run.size();
    m_run.append(text);
    // Characters that would change the document's structure instead of being text.
    for (QChar *c = m_run.data() + start, *end = m_run.data() + m_run.size(); c != end; ++c) {
        const char16_t u = c->unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x2029 || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1)
            *c = QChar(u < 0x20 ? char16_t(0xFFFD)
                                : (u == 0x2029 ? char16_t(0x2028) : char16_t(0xFFFD)));
    }
    m_paraHasContent = true;
}

void RtfDocumentBuilder::appendImage(const QImage &image, qreal width, qreal height)
{
    flushRun();
    ensureBlock();
    const QString name = nextImageName();
    m_doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    if (width > 0)
        format.setWidth(width);
    if (height > 0)
        format.setHeight(height);
    m_cursor.insertImage(format);
    m_paraHasContent = true;
}

void RtfDocumentBuilder::endParagraph(const ParaState &para, const CharState &state)
{
    flushRun();
    ensureBlock();
    applyParagraph(para, state);
    m_pendingBlock = true;
    m_paraHasContent = false;
}

void RtfDocumentBuilder::finish(const ParaState &para, const CharState &state)
{
    flushRun();
    // Text after the last \par forms a last paragraph; an empty one after the last \par
    // is the end of the document, not a paragraph of its own.
    if (!m_pendingBlock)
        applyParagraph(para, state);
}

void RtfDocumentBuilder::flushRun()
{
    if (m_run.isEmpty())
        return;
    m_cursor.insertText(m_run, charFormat(m_runState));
    m_run.clear();
}

void RtfDocumentBuilder::ensureBlock()
{
    if (!m_pendingBlock)
        return;
    m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    m_pendingBlock = false;
}

QTextListFormat::Style RtfDocumentBuilder::listStyle(const ParaState &para, bool *isList) const
{
    *isList = false;
    if (para.listOverride != 0) {
        *isList = true;
        const auto over = m_tables.listOverrides.find(para.listOverride);
        if (over == m_tables.listOverrides.end())
            return QTextListFormat::ListDisc;
        const auto list = m_tables.lists.find(over->second);
        if (list == m_tables.lists.end() || list->second.empty())
            return QTextListFormat::ListDisc;
        const auto &levels = list->second;
        const size_t level =
            std::min<size_t>(static_cast<size_t>(std::max(para.listLevel, 0)), levels.size() - 1);
        const QTextListFormat::Style style = levels[level];
        *isList = style != QTextListFormat::ListStyleUndefined;
        return style;
    }
    switch (para.pnKind) {
    case PnKind::Bullet:
        *isList = true;
        return QTextListFormat::ListDisc;
    case PnKind::Body:
    case PnKind::Level:
        *isList = true;
        return para.pnStyle;
    default:
        return QTextListFormat::ListStyleUndefined;
    }
}

void RtfDocumentBuilder::applyParagraph(const ParaState &para, const CharState &state)
{
    bool isList = false;
    const QTextListFormat::Style style = listStyle(para, &isList);
    int level = 0;
    if (isList) {
        level = para.listOverride != 0
                    ? std::clamp(para.listLevel, 0, 8)
                    : (para.pnKind == PnKind::Level ? std::clamp(para.pnLevel - 1, 0, 8) : 0);
    }

    QTextBlockFormat block;
    switch (para.alignment) {
    case 1:
        block.setAlignment(Qt::AlignRight);
        break;
    case 2:
        block.setAlignment(Qt::AlignHCenter);
        break;
    case 3:
        block.setAlignment(Qt::AlignJustify);
        break;
    default:
        break;
    }
    // A QTextList indents its items by the document's indent width per level and hangs the
    // marker in front of the text; RTF gives the whole indent in \li and the marker's room as
    // a negative \fi. So the list's own part is taken off \li, and a hanging \fi is dropped.
    const int listIndent = isList ? (level + 1) * listIndentTwips(m_doc) : 0;
    const int left = std::max(0, para.leftIndent - listIndent);
    const int first = isList ? std::max(0, para.firstIndent) : para.firstIndent;
    if (left != 0)
        block.setLeftMargin(left / kTwipsPerPixel);
    if (para.rightIndent != 0)
        block.setRightMargin(para.rightIndent / kTwipsPerPixel);
    if (first != 0)
        block.setTextIndent(first / kTwipsPerPixel);
    if (para.spaceBefore != 0)
        block.setTopMargin(para.spaceBefore / kTwipsPerPixel);
    if (para.spaceAfter != 0)
        block.setBottomMargin(para.spaceAfter / kTwipsPerPixel);
    if (para.lineSpacing != 0) {
        if (para.lineMultiple && para.lineSpacing > 0)
            block.setLineHeight(para.lineSpacing * 100.0 / 240.0,
                                QTextBlockFormat::ProportionalHeight);
        else if (para.lineSpacing < 0)
            block.setLineHeight(-para.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
        else
            block.setLineHeight(para.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    }
    m_cursor.setBlockFormat(block);
    if (!m_paraHasContent)
        m_cursor.setBlockCharFormat(charFormat(state));

    if (!isList) {
        m_pnList = nullptr;
        m_pnKey = -1;
        return;
    }
    QTextListFormat listFormat;
    listFormat.setStyle(style);
    listFormat.setIndent(level + 1);
    if (para.listOverride != 0) {
        const long long key = (static_cast<long long>(para.listOverride) << 8) | level;
        QTextList *&list = m_listsByLevel[key];
        if (list && list->format().style() == style)
            list->add(m_cursor.block());
        else
            list = m_cursor.createList(listFormat);
        m_pnList = nullptr;
        m_pnKey = -1;
        return;
    }
    const int key = static_cast<int>(style) * 16 + level;
    if (m_pnList && m_pnKey == key)
        m_pnList->add(m_cursor.block());
    else
        m_pnList = m_cursor.createList(listFormat);
    m_pnKey = key;
}

QTextCharFormat RtfDocumentBuilder::charFormat(const CharState &state)
{
    if (m_lastValid && state == m_lastState)
        return m_lastFormat;
    QTextCharFormat f;
    const auto font = m_tables.fonts.find(state.font);
    if (font != m_tables.fonts.end() && !font->second.family.isEmpty())
        f.setFontFamilies(QStringList{font->second.family});
    f.setFontPointSize(state.halfPoints / 2.0);
    f.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(state.italic);
    f.setFontUnderline(state.underline);
    f.setFontStrikeOut(state.strike);
    const auto colour = [this](int index) {
        return index >= 0 && static_cast<size_t>(index) < m_tables.colours.size()
                   ? m_tables.colours[static_cast<size_t>(index)]
                   : QColor();
    };
    if (const QColor fg = colour(state.foreground); fg.isValid())
        f.setForeground(fg);
    if (const QColor bg = state.background > 0 ? colour(state.background) : QColor(); bg.isValid())
        f.setBackground(bg);
    if (state.vertical == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.vertical == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    m_lastState = state;
    m_lastFormat = f;
    m_lastValid = true;
    return f;
}

} // namespace quorix::rtf
