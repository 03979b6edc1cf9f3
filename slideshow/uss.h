#pragma once
// The set-up window "Setup Slide Show": the presenter builds a show here (adds files by
// dialog or by dropping them, removes, moves and sorts them, looks at one entry), sets the
// loop flag and the slide duration, plays the list inside the window to check it, and
// saves and opens slide-list files. It is created once and shown modally by the slide
// page, which then plays the slide-list lines this window keeps.
#include "controls/ModalDialog.h"

#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QCheckBox;
class QFileDialog;
class QLabel;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTextEdit;
class QTreeWidget;

namespace quorix {

class SharedState;
class ColourPanel;
class GradientButton;

class Tfss : public ModalDialog
{
    Q_OBJECT

  public:
    explicit Tfss(SharedState &state, QWidget *parent = nullptr);

    // The slide-list lines: loop flag, duration, then one path per slide. A line outside
    // them reads as empty text.
    const QStringList &lines() const { return lines_; }
    QString line(int index) const;
    bool slidesPresent() const { return lines_.size() > 2; }

    // Commands ----------------------------------------------------------------------
    void XiButton6Click();                     // Add Files
    void aceptFiles(const QStringList &paths); // dropped files
    void XiButton2Click();                     // Open Files List
    void XiButton3Click();                     // Save Files List
    void openSlideList(const QString &path);   // Open Files List, after its dialog
    void XiButton4Click();                     // Remove
    void SB3Click();                           // Move Up
    void sb4Click();                           // Move Down
    void tabelaColumnClick(int column);        // Sort
    void tabelaDblClick();                     // entry preview
    void Button1Click();                       // rebuild the slide-list lines
    void BitBtn1Click();                       // Preview
    void BitBtn3Click();                       // Stop
    void BitBtn2Click();                       // Close
    void tbrChange();
    void SelecttAllClick();

    // Components, named as in the layout ------------------------------------------------
    QMenuBar *MainMenu = nullptr;
    QAction *SelecttAll = nullptr;
    GradientButton *XiButton6 = nullptr, *XiButton2 = nullptr, *XiButton3 = nullptr,
                   *XiButton4 = nullptr;
    QTreeWidget *tabela = nullptr;
    ColourPanel *Panel5 = nullptr;
    QLabel *slika = nullptr;
    QTextEdit *Editor = nullptr;
    QPushButton *SB3 = nullptr, *sb4 = nullptr;
    QCheckBox *cbloop = nullptr;
    QLabel *l_td = nullptr;
    QSlider *tbr = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn3 = nullptr, *BitBtn2 = nullptr, *Button1 = nullptr;
    QPlainTextEdit *mm = nullptr;
    QFileDialog *od = nullptr, *OpenDialog = nullptr, *SaveDialog = nullptr;

  protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void reject() override;

  private:
    void setupLayout();
    void setupDialogs();
    void connectHandlers();
    void setLines(const QStringList &lines);
    // The window the presenter sees, over which dialogs and messages go: this one, or the
    // main window when the slide page opens a list while this one is hidden (a message
    // parented to a hidden window lands below the main window, which stays on top).
    QWidget *dialogOwner();
    // Shows a file dialog over dialogOwner().
    bool runFileDialog(QFileDialog *dialog);
    int firstSelectedRow() const;
    // Shows a slide in the preview frame; a picture with the given fit.
    void showEntry(const QString &path, bool previewFit);
    // Lets messages run until `milliseconds` (read afresh) have passed since the call;
    // false when the stop flag is found set.
    bool waitUnlessStopped(const std::function<qint64()> &milliseconds);

    SharedState &state_;
    QStringList lines_;
    bool descending_ = false;
    bool closingByFrame_ = false;
};

} // namespace quorix
