// The editor's clipboard, character and paragraph commands and the toolbar's state.
#include "core/Colour.h"
#include "core/Guard.h"
#include "text/CustomColours.h"
#include "text/FontComboBox.h"
#include "text/TextEditor.h"

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

// Set on a run whose colour came from the default attributes rather than from a colour
// of its own: the next default colour replaces it.
constexpr int kDefaultColour = QTextFormat::UserProperty + 1;

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

} // namespace

int TextEditor::sizeCounter()
{
    return sizeCounter_;
}

QTextCharFormat TextEditor::currentAttributes() const
{
    const QTextCursor cursor = textEdit_->textCursor();
    const QFont def = textEdit_->document()->defaultFont();
    if (cursor.hasSelection())
        return effective(selectionFormat(cursor), def);
    QTextCharFormat f;
    f.setFont(def);
    return f;
}

void TextEditor::setCurrentAttributes(const QTextCharFormat &change)
{
    if (!textEdit_->textCursor().hasSelection()) {
        setDefaultAttributes(change);
        return;
    }
    QTextCharFormat own = change;
    if (own.hasProperty(QTextFormat::ForegroundBrush))
        own.setProperty(kDefaultColour, false);
    textEdit_->mergeCurrentCharFormat(own);
}

// The default attributes govern all text that carries no format of its own: the face,
// size and style through the document's default font, the colour on every run without
// a colour of its own and on what is typed next.
void TextEditor::setDefaultAttributes(const QTextCharFormat &change)
{
    QTextDocument *doc = textEdit_->document();
    QTextCharFormat font = change;
    font.clearForeground();
    if (!font.properties().isEmpty()) {
        QTextCharFormat merged;
        merged.setFont(doc->defaultFont());
        merged.merge(font);
        textEdit_->setFont(merged.font());
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
    QTextCursor typing = textEdit_->textCursor();
    typing.mergeCharFormat(colour);
    textEdit_->setTextCursor(typing);
}

void TextEditor::setFontStyle(FontStyle style, bool on)
{
    // All three are written, the two not changed as the current attributes have them.
    const QFont font = currentAttributes().font();
    bool bold = font.bold();
    bool italic = font.italic();
    bool underline = font.underline();
    switch (style) {
    case FontStyle::Bold:
        bold = on;
        break;
    case FontStyle::Italic:
        italic = on;
        break;
    case FontStyle::Underline:
        underline = on;
        break;
    }
    QTextCharFormat change;
    change.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    change.setFontItalic(italic);
    change.setFontUnderline(underline);
    setCurrentAttributes(change);
}

void TextEditor::applySizeCounter()
{
    // Text cannot be 0 points or smaller: below 1 the text keeps 1 point while the
    // counter goes on.
    QTextCharFormat change;
    change.setFontPointSize(qMax(1, sizeCounter_));
    setCurrentAttributes(change);
}

void TextEditor::cut()
{
    textEdit_->cut();
}

void TextEditor::copy()
{
    textEdit_->copy();
}

void TextEditor::paste()
{
    textEdit_->paste();
}

void TextEditor::undo()
{
    textEdit_->undo();
}

void TextEditor::applyFontName()
{
    if (updating_)
        return;
    QTextCharFormat change;
    change.setFontFamilies({fontBox_->currentText()});
    setCurrentAttributes(change);
}

void TextEditor::increaseSize()
{
    ++sizeCounter_;
    if (!updating_)
        applySizeCounter();
}

void TextEditor::decreaseSize()
{
    --sizeCounter_;
    if (!updating_)
        applySizeCounter();
}

void TextEditor::chooseColour()
{
    if (updating_)
        return;
    const CustomColourSlots before = parseCustomColours(customColours_);
    const QColor emptySlot = Qt::white;
    for (int i = 0; i < kCustomColourSlots; ++i)
        QColorDialog::setCustomColor(i, before[i] < 0 ? emptySlot
                                                      : bgrColour(std::uint32_t(before[i])));
    if (colourDialog_->exec() != QDialog::Accepted)
        return;
    CustomColourSlots after = before;
    for (int i = 0; i < kCustomColourSlots; ++i) {
        const QColor chosen = QColorDialog::customColor(i);
        const bool unchangedEmpty = before[i] < 0 && chosen.rgb() == emptySlot.rgb();
        after[i] = unchangedEmpty ? kEmptySlot : std::int64_t(bgrValue(chosen));
    }
    customColours_ = formatCustomColours(after);
    QTextCharFormat change;
    change.setForeground(colourDialog_->selectedColor());
    setCurrentAttributes(change);
}

void TextEditor::toggleBold()
{
    if (!updating_)
        setFontStyle(FontStyle::Bold, boldAction_->isChecked());
}

void TextEditor::toggleItalic()
{
    if (!updating_)
        setFontStyle(FontStyle::Italic, italicAction_->isChecked());
}

void TextEditor::toggleUnderline()
{
    if (!updating_)
        setFontStyle(FontStyle::Underline, underlineAction_->isChecked());
}

void TextEditor::setParagraphAlignment(Qt::Alignment alignment)
{
    if (!updating_)
        textEdit_->setAlignment(alignment);
}

void TextEditor::alignLeft()
{
    setParagraphAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
}

void TextEditor::alignCentre()
{
    setParagraphAlignment(Qt::AlignHCenter);
}

void TextEditor::alignRight()
{
    setParagraphAlignment(Qt::AlignRight | Qt::AlignAbsolute);
}

void TextEditor::toggleBullets()
{
    if (updating_)
        return;
    QTextDocument *doc = textEdit_->document();
    const QTextCursor cursor = textEdit_->textCursor();
    const QTextBlock first = doc->findBlock(cursor.selectionStart());
    const QTextBlock last = doc->findBlock(cursor.selectionEnd());
    const bool on = bulletsAction_->isChecked();
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

void TextEditor::syncToolbar()
{
    updating_ = true;
    guarded([this] {
        const QTextCursor cursor = textEdit_->textCursor();
        const QFont font =
            effective(cursor.charFormat(), textEdit_->document()->defaultFont()).font();
        boldAction_->setChecked(font.bold());
        italicAction_->setChecked(font.italic());
        underlineAction_->setChecked(font.underline());
        bulletsAction_->setChecked(cursor.currentList() != nullptr);
        const Qt::Alignment a = cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignRight)
            alignRightAction_->setChecked(true);
        else if (a & Qt::AlignHCenter)
            alignCentreAction_->setChecked(true);
        else
            alignLeftAction_->setChecked(true);
    });
    updating_ = false;
}

} // namespace quorix
