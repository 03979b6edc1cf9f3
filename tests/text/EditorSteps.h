#pragma once
// Steps the editor's tests share: the editor shown modally, its dialogs answered, a
// selection made, and what a document's paragraphs and characters carry.
#include "controls/ModalDialog.h"
#include "EditorControls.h"
#include "support/ModalAnswerer.h"
#include "support/TextFormats.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include <functional>

// Shows the editor modally and runs `inside` from its own event loop.
inline quorix::ModalResult showWith(quorix::TextEditor &editor,
                                    std::function<void(quorix::TextEditor *)> inside)
{
    answerModal<quorix::TextEditor>(std::move(inside));
    return editor.showModal();
}

// Answers the next confirmation box with `button`, noting its title and text.
inline void answerConfirm(QMessageBox::StandardButton button, QStringList *seen = nullptr)
{
    answerModal<QMessageBox>([button, seen](QMessageBox *box) {
        if (seen)
            *seen << box->windowTitle() + ": " + box->text();
        box->button(button)->click();
    });
}

inline void answerFile(const QString &path)
{
    answerModal<QFileDialog>([path](QFileDialog *d) {
        // Typed into the name field, as the presenter would.
        d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
}

inline void select(QTextEdit *edit, int from, int to)
{
    QTextCursor c(edit->document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
}

// Answers the next colour chooser with `colour`.
inline void answerColour(const QColor &colour)
{
    answerModal<QColorDialog>([colour](QColorDialog *d) {
        d->setCurrentColor(colour);
        d->accept();
    });
}

inline QColor colourAt(const QTextDocument &doc, int position)
{
    const QTextCharFormat f = formatAt(doc, position);
    return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor();
}

// Each paragraph's numbering: "-" for none, else the list's style and indent ("disc/1").
inline QStringList numbering(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextList *list = b.textList();
        if (!list) {
            out << QStringLiteral("-");
            continue;
        }
        const QTextListFormat f = list->format();
        out << QStringLiteral("%1/%2")
                   .arg(f.style() == QTextListFormat::ListDisc      ? "disc"
                        : f.style() == QTextListFormat::ListDecimal ? "decimal"
                                                                    : "other")
                   .arg(f.indent());
    }
    return out;
}

inline QString storedColours()
{
    return QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"))
        .value(QStringLiteral("CustomColors"))
        .toString();
}
