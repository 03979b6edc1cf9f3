// The editor's file commands: New, Open, Save, Save As and Print, and the questions they
// ask.
#include "rtf/RichTextFile.h"
#include "text/RichTextView.h"
#include "text/TextEditor.h"

#include <QFileInfo>

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>

namespace quorix {

int TextEditor::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, tr("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("confirm"));
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

bool TextEditor::askSaveChanges(bool onlyWhenSaved)
{
    if (!textEdit_->document()->isModified())
        return true;
    switch (confirm(tr("Save changes to %1?").arg(fileName_))) {
    case QMessageBox::Yes:
        return saveText() || !onlyWhenSaved;
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void TextEditor::newText()
{
    showFileName(untitled());
    textEdit_->clear();
    textEdit_->document()->setModified(false);
}

void TextEditor::openText()
{
    // The opened file replaces the text: a text the presenter wanted saved and that was
    // not (its save dialog cancelled) stays, and the Open ends.
    if (!askSaveChanges(true))
        return;
    openDialog_->setDirectory(dialogFolder_);
    if (openDialog_->exec() == QDialog::Accepted) {
        const QString path = openDialog_->selectedFiles().value(0);
        if (!path.isEmpty())
            openTextFile(path);
    }
    // The open dialog offers no read-only choice, so the text is always writable.
    textEdit_->setReadOnly(false);
}

void TextEditor::openTextFile(const QString &path)
{
    loadRichTextView(*textEdit_, path);
    showFileName(path);
    dialogFolder_ = QFileInfo(path).absolutePath();
    textEdit_->setFocus();
    textEdit_->document()->setModified(false);
}

void TextEditor::save()
{
    saveText();
}

bool TextEditor::saveText()
{
    if (fileName_ == untitled())
        return saveTextAs();
    saveRichTextFile(*textEdit_->document(), fileName_);
    textEdit_->document()->setModified(false);
    return true;
}

bool TextEditor::saveTextAs()
{
    saveDialog_->setDirectory(dialogFolder_);
    if (saveDialog_->exec() != QDialog::Accepted)
        return false;
    const QString path = saveDialog_->selectedFiles().value(0);
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path) && confirm(tr("OK to overwrite %1").arg(path)) != QMessageBox::Yes)
        return false;
    // Whatever the name's extension, the file receives RTF.
    saveRichTextFile(*textEdit_->document(), path);
    showFileName(path);
    dialogFolder_ = QFileInfo(path).absolutePath();
    textEdit_->document()->setModified(false);
    return true;
}

void TextEditor::printText()
{
    QPrintDialog dialog(printer_.get(), this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    printer_->setDocName(fileName_);
    textEdit_->document()->print(printer_.get());
}

} // namespace quorix
