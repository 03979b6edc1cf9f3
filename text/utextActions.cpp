// The editor's clipboard, character and paragraph commands and the toolbar's state.
#include "platform/Colour.h"
#include "platform/Guard.h"
#include "text/CustomColours.h"
#include "text/FontComboBox.h"
#include "text/utext.h"

#include <QAction>
#include <QColorDialog>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include <map>
#include <utility>
#include <vector>

namespace quorix {

namespace {

// Program-wide: it is not tied to the text at the caret and is never reset.
int sizeCounter_ = 10;

constexpr int kBold = 1, kItalic = 2, kUnderline = 4;

// Set on a run whose colour came from the default attributes rather than from a colour
// of its own: the next default colour replaces it.
constexpr int kDefaultColour = QTextFormat::UserProperty + 1;

int styleOf(const QFont &f)
{
    return (f.bold() ? kBold : 0) | (f.italic() ? kItalic : 0) | (f.underline() ? kUnderline : 0);
}

// The attributes a character shows: its own format over the document's default font.
QTextCharFormat effective(const QTextCharFormat &own, const QFont &defaultFont)
{
    QTextCharFormat f;
    f.setFont(defaultFont);
    f.merge(own);
    return f;
}

// The format of the selection's first character. The cursor's own format is that of the
// character before its position, which lies outside a selection made backwards or one
// that ends at the start of the next line. Paragraph ends are passed over unless the
// selection holds nothing else.
QTextCharFormat selectionFormat(const QTextCursor &selection)
{
    const QTextDocument *doc = selection.document();
    int first = selection.selectionStart();
    while (first + 1 < selection.selectionEnd() &&
           doc->characterAt(first) == QChar::ParagraphSeparator)
        ++first;
    QTextCursor at(selection);
    at.setPosition(first + 1);
    return at.charFormat();
}

bool isBulletStyle(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

Qt::Alignment alignmentOfTag(int tag)
{
    switch (tag) {
    case 1:
        return Qt::AlignRight | Qt::AlignAbsolute;
    case 2:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    }
}

} // namespace

int Tftext::sizeCounter()
{
    return sizeCounter_;
}

QTextCharFormat Tftext::CurrentAttributes() const
{
    const QTextCursor cursor = Editor->textCursor();
    const QFont def = Editor->document()->defaultFont();
    if (cursor.hasSelection())
        return effective(selectionFormat(cursor), def);
    QTextCharFormat f;
    f.setFont(def);
    return f;
}

void Tftext::setCurrentAttributes(const QTextCharFormat &change)
{
    if (!Editor->textCursor().hasSelection()) {
        setDefaultAttributes(change);
        return;
    }
    QTextCharFormat own = change;
    if (own.hasProperty(QTextFormat::ForegroundBrush))
        own.setProperty(kDefaultColour, false);
    Editor->mergeCurrentCharFormat(own);
}

// The default attributes govern all text that carries no format of its own: the face,
// size and style through the document's default font, the colour on every run without
// a colour of its own and on what is typed next.
void Tftext::setDefaultAttributes(const QTextCharFormat &change)
{
    QTextDocument *doc = Editor->document();
    QTextCharFormat font = change;
    font.clearForeground();
    if (!font.properties().isEmpty()) {
        QTextCharFormat merged;
        merged.setFont(doc->defaultFont());
        merged.merge(font);
        Editor->setFont(merged.font());
        doc->setDefaultFont(merged.font());
    }
    if (!change.hasProperty(QTextFormat::ForegroundBrush))
        return;
    QTextCharFormat colour;
    colour.setForeground(change.foreground());
    colour.setProperty(kDefaultColour, true);
    // The runs first, then the change: changing them splits and joins fragments.
    std::vector<std::pair<int, int>> runs;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            if (!f.hasProperty(QTextFormat::ForegroundBrush) || f.boolProperty(kDefaultColour))
                runs.emplace_back(fragment.position(), fragment.position() + fragment.length());
        }
    }
    // One colour change is one undo step.
    QTextCursor c(doc);
    c.beginEditBlock();
    for (const auto &[from, to] : runs) {
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        c.mergeCharFormat(colour);
    }
    c.endEditBlock();
    QTextCursor typing = Editor->textCursor();
    typing.mergeCharFormat(colour);
    Editor->setTextCursor(typing);
}

void Tftext::setStyleBit(int bit, bool on)
{
    int style = styleOf(CurrentAttributes().font());
    style = on ? style | bit : style & ~bit;
    QTextCharFormat change;
    change.setFontWeight(style & kBold ? QFont::Bold : QFont::Normal);
    change.setFontItalic(style & kItalic);
    change.setFontUnderline(style & kUnderline);
    setCurrentAttributes(change);
}

void Tftext::applySizeCounter()
{
    // Text cannot be 0 points or smaller: below 1 the text keeps 1 point while the
    // counter goes on.
    QTextCharFormat change;
    change.setFontPointSize(qMax(1, sizeCounter_));
    setCurrentAttributes(change);
}

void Tftext::CopyButtonClick()
{
    Editor->cut();
}

void Tftext::PasteButtonClick()
{
    Editor->copy();
}

void Tftext::UndoButtonClick()
{
    Editor->paste();
}

void Tftext::CutButtonClick()
{
    Editor->undo();
}

void Tftext::fontnameChange()
{
    if (updating_)
        return;
    QTextCharFormat change;
    change.setFontFamilies({fontname->currentText()});
    setCurrentAttributes(change);
}

void Tftext::aplusClick()
{
    ++sizeCounter_;
    if (!updating_)
        applySizeCounter();
}

void Tftext::aminusClick()
{
    --sizeCounter_;
    if (!updating_)
        applySizeCounter();
}

void Tftext::ToolButton3Click()
{
    if (updating_)
        return;
    const CustomColourSlots before = parseCustomColours(customColours_);
    const QColor emptySlot = Qt::white;
    for (int i = 0; i < kCustomColourSlots; ++i)
        QColorDialog::setCustomColor(i, before[i] < 0 ? emptySlot
                                                      : bgrColour(std::uint32_t(before[i])));
    if (ColorDialog1->exec() != QDialog::Accepted)
        return;
    CustomColourSlots after = before;
    for (int i = 0; i < kCustomColourSlots; ++i) {
        const QColor chosen = QColorDialog::customColor(i);
        const bool unchangedEmpty = before[i] < 0 && chosen.rgb() == emptySlot.rgb();
        after[i] = unchangedEmpty ? kEmptySlot : std::int64_t(bgrValue(chosen));
    }
    customColours_ = formatCustomColours(after);
    QTextCharFormat change;
    change.setForeground(ColorDialog1->selectedColor());
    setCurrentAttributes(change);
}

void Tftext::BoldButtonClick()
{
    if (!updating_)
        setStyleBit(kBold, BoldButton->isChecked());
}

void Tftext::ItalicButtonClick()
{
    if (!updating_)
        setStyleBit(kItalic, ItalicButton->isChecked());
}

void Tftext::UnderlineButtonClick()
{
    if (!updating_)
        setStyleBit(kUnderline, UnderlineButton->isChecked());
}

void Tftext::setAlignmentTag(int tag)
{
    if (!updating_)
        Editor->setAlignment(alignmentOfTag(tag));
}

void Tftext::LeftAlignClick()
{
    setAlignmentTag(0);
}

void Tftext::CenterAlignClick()
{
    setAlignmentTag(2);
}

void Tftext::RightAlignClick()
{
    setAlignmentTag(1);
}

void Tftext::BulletsButtonClick()
{
    if (updating_)
        return;
    QTextDocument *doc = Editor->document();
    const QTextCursor cursor = Editor->textCursor();
    const QTextBlock first = doc->findBlock(cursor.selectionStart());
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    const bool on = BulletsButton->isChecked();
    // Only the selected paragraphs change, each at its own level; lists around them keep
    // their other paragraphs. One undo step.
    QTextCursor edit(doc);
    edit.beginEditBlock();
    std::map<int, QTextList *> bulletsByLevel;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        QTextList *list = b.textList();
        if (on && list && isBulletStyle(list->format().style())) {
            // already a bullet
        } else if (on) {
            const int level = list ? list->format().indent() : 1;
            if (list) {
                // Leaving a list adds its indent to the paragraph's own: take it back.
                const int ownIndent = b.blockFormat().indent();
                list->remove(b);
                QTextBlockFormat f = b.blockFormat();
                f.setIndent(ownIndent);
                QTextCursor(b).setBlockFormat(f);
            }
            QTextList *&bullets = bulletsByLevel[level];
            if (bullets) {
                bullets->add(b);
            } else {
                QTextListFormat format;
                format.setStyle(QTextListFormat::ListDisc);
                format.setIndent(level);
                bullets = QTextCursor(b).createList(format);
            }
        } else if (list) {
            list->remove(b);
            QTextCursor c(b);
            QTextBlockFormat plain = b.blockFormat();
            plain.setIndent(0);
            c.setBlockFormat(plain);
        }
        if (b == last)
            break;
    }
    edit.endEditBlock();
}

void Tftext::SyncToolbar()
{
    updating_ = true;
    guarded([this] {
        const QTextCursor cursor = Editor->textCursor();
        const int style =
            styleOf(effective(cursor.charFormat(), Editor->document()->defaultFont()).font());
        BoldButton->setChecked(style & kBold);
        ItalicButton->setChecked(style & kItalic);
        UnderlineButton->setChecked(style & kUnderline);
        BulletsButton->setChecked(cursor.currentList() != nullptr);
        const Qt::Alignment a = cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignRight)
            RightAlign->setChecked(true);
        else if (a & Qt::AlignHCenter)
            CenterAlign->setChecked(true);
        else
            LeftAlign->setChecked(true);
    });
    updating_ = false;
}

} // namespace quorix
