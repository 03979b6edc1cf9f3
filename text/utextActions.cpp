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

namespace quorix {

namespace {

// Program-wide: it is not tied to the text at the caret and is never reset.
int sizeCounter_ = 10;

constexpr int kBold = 1, kItalic = 2, kUnderline = 4;

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
        return effective(cursor.charFormat(), def);
    QTextCharFormat f;
    f.setFont(def);
    return f;
}

void Tftext::setCurrentAttributes(const QTextCharFormat &change)
{
    if (Editor->textCursor().hasSelection())
        Editor->mergeCurrentCharFormat(change);
    else
        setDefaultAttributes(change);
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
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().hasProperty(QTextFormat::ForegroundBrush))
                continue;
            QTextCursor c(doc);
            c.setPosition(fragment.position());
            c.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            c.mergeCharFormat(colour);
        }
    }
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
    QTextCursor cursor = Editor->textCursor();
    if (BulletsButton->isChecked()) {
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        if (QTextList *list = cursor.currentList())
            list->setFormat(bullets);
        else
            cursor.createList(bullets);
        return;
    }
    const QTextBlock first = Editor->document()->findBlock(cursor.selectionStart());
    const QTextBlock last = Editor->document()->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        if (QTextList *list = b.textList()) {
            list->remove(b);
            QTextCursor c(b);
            QTextBlockFormat plain = b.blockFormat();
            plain.setIndent(0);
            c.setBlockFormat(plain);
        }
        if (b == last)
            break;
    }
    cursor.endEditBlock();
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
