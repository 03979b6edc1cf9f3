#pragma once
// The text editor: a small rich-text word processor in which the presenter writes or
// opens the text that the text source sends. One instance is made at program start and
// only shown (modally) and hidden afterwards, so its text, file name, toolbar and custom
// colours persist between showings. It ends with modal result Ok or Cancel (Cancel,
// Escape, close box), and None before its first showing.
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

class TextEditor : public ModalDialog
{
    Q_OBJECT

  public:
    // The file dialogs start in `startFolder` until a file is opened or saved; from then on
    // in the folder of the file last opened or saved.
    explicit TextEditor(const QString &startFolder, QWidget *parent = nullptr);
    ~TextEditor() override;

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
    void onActivated();
    // True when the window may close; writes the custom colours in every case.
    bool mayClose();
    void newText();
    void openText();
    void save();
    void printText();
    void cut();
    void copy();
    void paste();
    void undo();
    void applyFontName();
    void increaseSize();
    void decreaseSize();
    void chooseColour();
    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void alignLeft();
    void alignCentre();
    void alignRight();
    void toggleBullets();

  protected:
    void showEvent(QShowEvent *e) override;
    // Escape and the close box.
    void reject() override;

  private:
    // Widgets and actions; tests reach them by object name.
    QToolBar *toolBar_ = nullptr;
    QTextEdit *textEdit_ = nullptr;
    ColourPanel *bottomPanel_ = nullptr, *buttonPanel_ = nullptr;
    QPushButton *cancelButton_ = nullptr, *okButton_ = nullptr;
    QFileDialog *openDialog_ = nullptr, *saveDialog_ = nullptr;
    QColorDialog *colourDialog_ = nullptr;
    FontComboBox *fontBox_ = nullptr;
    QAction *newAction_ = nullptr, *openAction_ = nullptr, *saveAction_ = nullptr,
            *printAction_ = nullptr;
    QAction *cutAction_ = nullptr, *copyAction_ = nullptr, *pasteAction_ = nullptr,
            *undoAction_ = nullptr;
    QAction *largerAction_ = nullptr, *smallerAction_ = nullptr, *colourAction_ = nullptr;
    QAction *boldAction_ = nullptr, *italicAction_ = nullptr, *underlineAction_ = nullptr;
    QAction *alignLeftAction_ = nullptr, *alignCentreAction_ = nullptr,
            *alignRightAction_ = nullptr;
    QAction *bulletsAction_ = nullptr;
    QActionGroup *alignmentGroup_ = nullptr;

    void setupLayout();
    void setupBottomPanel();
    void setupDialogs();
    void setupFileActions();
    void setupEditActions();
    void setupTextActions();
    void setupParagraphActions();
    void connectHandlers();
    // Every way of closing ends here: the window closes with `result` once the text is
    // saved or given up.
    void closeWith(ModalResult result);
    void setInitialState(const QString &startFolder);

    // Character attributes at the selection, or the default ones when nothing is
    // selected: the face, size, style and colour that the character commands change.
    QTextCharFormat currentAttributes() const;
    void setCurrentAttributes(const QTextCharFormat &change);
    void setDefaultAttributes(const QTextCharFormat &change);
    enum class FontStyle
    {
        Bold,
        Italic,
        Underline
    };
    void setFontStyle(FontStyle style, bool on);
    void setParagraphAlignment(Qt::Alignment alignment);
    void applySizeCounter();

    void showFileName(const QString &path);
    // The save-changes question; false when the calling command is abandoned: on Cancel,
    // and with `onlyWhenSaved` also when Yes did not save the text.
    bool askSaveChanges(bool onlyWhenSaved = false);
    // Save and save-as; false when nothing was written (the save dialog or the
    // overwrite question declined).
    bool saveText();
    bool saveTextAs();
    void openTextFile(const QString &path);
    void syncToolbar();
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
