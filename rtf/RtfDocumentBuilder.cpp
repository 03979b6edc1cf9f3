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

// The characters that QTextDocument keeps for the start and end of a frame.
constexpr char16_t kFrameStart = 0xFDD0;
constexpr char16_t kFrameEnd = 0xFDD1;

// Names of picture resources: unique in the process, so loading into a document that
// already holds pictures never replaces one of them.
QString nextImageName()
{
    static QAtomicInt counter;
    return QStringLiteral("rtfimage:%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

// The block format of a paragraph. A QTextList indents its items by the document's indent
// width per level and hangs the marker in front of the text; RTF gives the whole indent in
// \li and the marker's room as a negative \fi. So the list's own part is taken off \li, and
// a hanging \fi is dropped.
QTextBlockFormat blockFormat(const ParaState &para, bool isList, int level, int indentTwips)
{
    QTextBlockFormat block;
    switch (para.alignment) {
    case Alignment::Right:
        block.setAlignment(Qt::AlignRight);
        break;
    case Alignment::Centre:
        block.setAlignment(Qt::AlignHCenter);
        break;
    case Alignment::Justify:
        block.setAlignment(Qt::AlignJustify);
        break;
    case Alignment::Left:
        break;
    }
    const int listIndent = isList ? (level + 1) * indentTwips : 0;
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
            block.setLineHeight(para.lineSpacing * 100.0 / kSingleLineTwips,
                                QTextBlockFormat::ProportionalHeight);
        else if (para.lineSpacing < 0)
            block.setLineHeight(-para.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
        else
            block.setLineHeight(para.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    }
    return block;
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument &doc, const RtfTables &tables)
    : doc_(doc), tables_(tables), cursor_(&doc)
{
}

void RtfDocumentBuilder::appendText(QStringView text, const CharState &state)
{
    if (text.isEmpty() || state.hidden)
        return;
    if (!run_.isEmpty() && !(state == runState_))
        flushRun();
    if (run_.isEmpty()) {
        runState_ = state;
        ensureBlock();
    }
    const qsizetype start = run_.size();
    run_.append(text);
    // Characters that would change the document's structure instead of being text: a
    // paragraph separator becomes a line break, the others a replacement character.
    for (QChar *c = run_.data() + start, *end = run_.data() + run_.size(); c != end; ++c) {
        const char16_t u = c->unicode();
        if ((u < 0x20 && u != u'\t') || u == QChar::ParagraphSeparator ||
            u == QChar::ObjectReplacementCharacter || u == kFrameStart || u == kFrameEnd)
            *c = u == QChar::ParagraphSeparator ? QChar(QChar::LineSeparator)
                                                : QChar(QChar::ReplacementCharacter);
    }
    paraHasContent_ = true;
}

void RtfDocumentBuilder::appendImage(const QImage &image, qreal width, qreal height)
{
    flushRun();
    ensureBlock();
    const QString name = nextImageName();
    doc_.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    if (width > 0)
        format.setWidth(width);
    if (height > 0)
        format.setHeight(height);
    cursor_.insertImage(format);
    paraHasContent_ = true;
}

void RtfDocumentBuilder::endParagraph(const ParaState &para, const CharState &state)
{
    flushRun();
    ensureBlock();
    applyParagraph(para, state);
    pendingBlock_ = true;
    paraHasContent_ = false;
}

void RtfDocumentBuilder::finish(const ParaState &para, const CharState &state)
{
    flushRun();
    // Text after the last \par forms a last paragraph; an empty one after the last \par
    // is the end of the document, not a paragraph of its own.
    if (!pendingBlock_)
        applyParagraph(para, state);
}

void RtfDocumentBuilder::flushRun()
{
    if (run_.isEmpty())
        return;
    cursor_.insertText(run_, charFormat(runState_));
    run_.clear();
}

void RtfDocumentBuilder::ensureBlock()
{
    if (!pendingBlock_)
        return;
    cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
    pendingBlock_ = false;
}

QTextListFormat::Style RtfDocumentBuilder::listStyle(const ParaState &para, bool *isList) const
{
    *isList = false;
    if (para.listOverride != 0) {
        *isList = true;
        const auto over = tables_.listOverrides.find(para.listOverride);
        if (over == tables_.listOverrides.end())
            return QTextListFormat::ListDisc;
        const auto list = tables_.lists.find(over->second);
        if (list == tables_.lists.end() || list->second.empty())
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
        level = para.listOverride != 0 ? std::clamp(para.listLevel, 0, kListLevels - 1)
                                       : (para.pnKind == PnKind::Level
                                              ? std::clamp(para.pnLevel - 1, 0, kListLevels - 1)
                                              : 0);
    }
    cursor_.setBlockFormat(blockFormat(para, isList, level, listIndentTwips(doc_)));
    if (!paraHasContent_)
        cursor_.setBlockCharFormat(charFormat(state));

    if (!isList) {
        pnList_ = nullptr;
        pnKey_ = -1;
        return;
    }
    applyList(para, style, level);
}

void RtfDocumentBuilder::applyList(const ParaState &para, QTextListFormat::Style style, int level)
{
    QTextListFormat listFormat;
    listFormat.setStyle(style);
    listFormat.setIndent(level + 1);
    if (para.listOverride != 0) {
        const long long key = (static_cast<long long>(para.listOverride) << 8) | level;
        QTextList *&list = listsByLevel_[key];
        if (list && list->format().style() == style)
            list->add(cursor_.block());
        else
            list = cursor_.createList(listFormat);
        pnList_ = nullptr;
        pnKey_ = -1;
        return;
    }
    const int key = static_cast<int>(style) * 16 + level;
    if (pnList_ && pnKey_ == key)
        pnList_->add(cursor_.block());
    else
        pnList_ = cursor_.createList(listFormat);
    pnKey_ = key;
}

QTextCharFormat RtfDocumentBuilder::charFormat(const CharState &state)
{
    if (lastValid_ && state == lastState_)
        return lastFormat_;
    QTextCharFormat f;
    const auto font = tables_.fonts.find(state.font);
    if (font != tables_.fonts.end() && !font->second.family.isEmpty())
        f.setFontFamilies(QStringList{font->second.family});
    f.setFontPointSize(state.halfPoints / 2.0);
    f.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(state.italic);
    f.setFontUnderline(state.underline);
    f.setFontStrikeOut(state.strike);
    const auto colour = [this](int index) {
        return index >= 0 && static_cast<size_t>(index) < tables_.colours.size()
                   ? tables_.colours[static_cast<size_t>(index)]
                   : QColor();
    };
    if (const QColor fg = colour(state.foreground); fg.isValid())
        f.setForeground(fg);
    if (const QColor bg = state.background > 0 ? colour(state.background) : QColor(); bg.isValid())
        f.setBackground(bg);
    if (state.vertical == VerticalPosition::Superscript)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (state.vertical == VerticalPosition::Subscript)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    lastState_ = state;
    lastFormat_ = f;
    lastValid_ = true;
    return f;
}

} // namespace quorix::rtf
