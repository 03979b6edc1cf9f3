#pragma once
// The text editor: a small rich-text word processor in which the presenter writes or
// opens the text that the text source sends. One instance is made at program start and
// only shown (modally) and hidden afterwards, so its text, file name, toolbar and custom
// colours persist between showings. It ends with modal result 1 (OK) or 2 (Cancel,
// Escape, close box), and 0 before its first showing.
#include "controls/ModalDialog.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>

#include <memory>

class QAction;
class QActionGroup;
class QColorDialog;
class QFileDialog;
class QPrinter;
class QPushButton;
class QTextDocument;
class QTextEdit;
class QToolBar;
class QWindow;

namespace quorix {

class FontComboBox;
class ColourPanel;

class Tftext : public ModalDialog
{
    Q_OBJECT

  public:
    // The file dialogs start in `startFolder` until a file is opened or saved; from then on
    // in the folder of the file last opened or saved.
    explicit Tftext(const QString &startFolder, QWidget *parent = nullptr);
    ~Tftext() override;

    // Components, named as in the layout.
    QToolBar *StandardToolBar = nullptr;
    QTextEdit *Editor = nullptr;
    ColourPanel *Panel1 = nullptr, *Panel2 = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;
    QFileDialog *OpenDialog = nullptr, *SaveDialog = nullptr;
    QColorDialog *ColorDialog1 = nullptr;
    FontComboBox *fontname = nullptr;
    QAction *ToolButton1 = nullptr, *OpenButton = nullptr, *SaveButton = nullptr,
            *PrintButton = nullptr;
    QAction *CopyButton = nullptr, *PasteButton = nullptr, *UndoButton = nullptr,
            *CutButton = nullptr;
    QAction *aplus = nullptr, *aminus = nullptr, *ToolButton3 = nullptr;
    QAction *BoldButton = nullptr, *ItalicButton = nullptr, *UnderlineButton = nullptr;
    QAction *LeftAlign = nullptr, *CenterAlign = nullptr, *RightAlign = nullptr;
    QAction *BulletsButton = nullptr;
    QActionGroup *Alignment = nullptr;

    QTextDocument &document() const;
    // Full path of the file last opened or saved, or "Untitled".
    const QString &fileName() const { return fileName_; }
    // The name of a text that was never opened or saved.
    static QString untitled();
    // Where the presenter's texts belong: the documents folder, or the home folder when
    // there is none.
    static QString documentsFolder();
    // The printer the print dialog sets up (it keeps its settings between prints).
    QPrinter &printer() { return *printer_; }
    // The custom colour list as stored (empty until read or first confirmed).
    const QStringList &customColours() const { return customColours_; }
    // The point size the size buttons apply; program-wide, 10 at program start.
    static int sizeCounter();

    // Handlers ----------------------------------------------------------------------
    void FormActivate();
    // True when the window may close; writes the custom colours in every case.
    bool FormCloseQuery();
    void ToolButton1Click();
    void OpenButtonClick();
    void FileSave();
    void PrintButtonClick();
    void CopyButtonClick();
    void PasteButtonClick();
    void UndoButtonClick();
    void CutButtonClick();
    void fontnameChange();
    void aplusClick();
    void aminusClick();
    void ToolButton3Click();
    void BoldButtonClick();
    void ItalicButtonClick();
    void UnderlineButtonClick();
    void LeftAlignClick();
    void CenterAlignClick();
    void RightAlignClick();
    void BulletsButtonClick();

  protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;
    void reject() override;

  private:
    void setupLayout();
    void setupFileActions();
    void setupEditActions();
    void setupTextActions();
    void setupParagraphActions();
    void connectHandlers();
    void FormCreate(const QString &startFolder);

    // Character attributes at the selection, or the default ones when nothing is
    // selected: the face, size, style and colour that the character commands change.
    QTextCharFormat CurrentAttributes() const;
    void setCurrentAttributes(const QTextCharFormat &change);
    void setDefaultAttributes(const QTextCharFormat &change);
    void setStyleBit(int bit, bool on);
    void setAlignmentTag(int tag);
    void applySizeCounter();

    void ShowFileName(const QString &path);
    // The save-changes question; false when the calling command is abandoned: on Cancel,
    // and with `onlyWhenSaved` also when Yes did not save the text.
    bool AskSaveChanges(bool onlyWhenSaved = false);
    // Save (FileSave) and save-as; false when nothing was written (the save dialog or the
    // overwrite question declined).
    bool saveText();
    bool SaveTextAs();
    void OpenTextFile(const QString &path);
    void SyncToolbar();
    int confirm(const QString &text);

    QString fileName_;
    QString dialogFolder_; // where the next file dialog starts
    bool updating_ = false;
    // The program's window that last had the keyboard, and whether the editor had it when
    // the program lost it to another application.
    QPointer<QWindow> lastFocus_;
    bool leftFromEditor_ = false;
    QStringList customColours_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace quorix
