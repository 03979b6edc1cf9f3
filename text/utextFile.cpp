// The editor's file commands: New, Open, Save, Save As and Print, and the questions they
// ask.
#include "rtf/RichTextFile.h"
#include "text/RichTextView.h"
#include "text/utext.h"

#include <QFileInfo>

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>

namespace quorix {

int Tftext::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, tr("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("confirm"));
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

bool Tftext::AskSaveChanges(bool onlyWhenSaved)
{
    if (!Editor->document()->isModified())
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

void Tftext::ToolButton1Click()
{
    ShowFileName(untitled());
    Editor->clear();
    Editor->document()->setModified(false);
}

void Tftext::OpenButtonClick()
{
    // The opened file replaces the text: a text the presenter wanted saved and that was
    // not (its save dialog cancelled) stays, and the Open ends.
    if (!AskSaveChanges(true))
        return;
    OpenDialog->setDirectory(dialogFolder_);
    if (OpenDialog->exec() == QDialog::Accepted) {
        const QString path = OpenDialog->selectedFiles().value(0);
        if (!path.isEmpty())
            OpenTextFile(path);
    }
    // The open dialog offers no read-only choice, so the text is always writable.
    Editor->setReadOnly(false);
}

void Tftext::OpenTextFile(const QString &path)
{
    loadRichTextView(*Editor, path);
    ShowFileName(path);
    dialogFolder_ = QFileInfo(path).absolutePath();
    Editor->setFocus();
    Editor->document()->setModified(false);
}

void Tftext::FileSave()
{
    saveText();
}

bool Tftext::saveText()
{
    if (fileName_ == untitled())
        return SaveTextAs();
    saveRichTextFile(*Editor->document(), fileName_);
    Editor->document()->setModified(false);
    return true;
}

bool Tftext::SaveTextAs()
{
    SaveDialog->setDirectory(dialogFolder_);
    if (SaveDialog->exec() != QDialog::Accepted)
        return false;
    const QString path = SaveDialog->selectedFiles().value(0);
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path) && confirm(tr("OK to overwrite %1").arg(path)) != QMessageBox::Yes)
        return false;
    // Whatever the name's extension, the file receives RTF.
    saveRichTextFile(*Editor->document(), path);
    ShowFileName(path);
    dialogFolder_ = QFileInfo(path).absolutePath();
    Editor->document()->setModified(false);
    return true;
}

void Tftext::PrintButtonClick()
{
    QPrintDialog dialog(printer_.get(), this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    printer_->setDocName(fileName_);
    Editor->document()->print(printer_.get());
}

} // namespace quorix
