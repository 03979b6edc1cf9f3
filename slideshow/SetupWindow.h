#pragma once
// The set-up window "Setup Slide Show": the presenter builds a show here (adds files by
// dialog or by dropping them, removes, moves and sorts them, looks at one entry), sets the
// loop flag and the slide duration, plays the list inside the window to check it, and
// saves and opens slide-list files. It is created once and shown modally by the slide
// page, which then plays the slide-list lines this window keeps.
#include "controls/ModalDialog.h"
#include "slideshow/SlideListFile.h"

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

class SetupWindow : public ModalDialog
{
    Q_OBJECT

  public:
    explicit SetupWindow(SharedState &state, QWidget *parent = nullptr);

    // The slide-list lines: loop flag, duration, then one path per slide.
    const QStringList &lines() const { return lines_; }
    bool slidesPresent() const { return lines_.size() > kFirstSlideLine; }

    // Commands ----------------------------------------------------------------------
    void addFiles();
    void addDroppedFiles(const QStringList &paths);
    // Open Files List and Save Files List, each through its dialog.
    void openList();
    void saveList();
    void openSlideList(const QString &path);
    void removeSelected();
    void moveUp();
    void moveDown();
    // Sorts by a column given by its logical index, the other way round from last time.
    void sortByColumn(int column);
    // The entry preview of the one selected row.
    void showSelectedEntry();
    // Builds the slide-list lines afresh from the loop box, the slider and the rows.
    void rebuildLines();
    // Preview plays the list inside the window until Stop.
    void playPreview();
    void stopPreview();
    void onCloseClicked();
    void showDuration();
    void selectAllSlides();

  protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void reject() override;

  private:
    void setupLayout();
    // The menu bar, and the client area below it that holds the rest; returns the latter.
    QWidget *setupMenuAndClient();
    void setupListButtons(QWidget *client);
    void setupListAndEntry(QWidget *client);
    void setupOtherControls(QWidget *client);
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

    // Each widget has an object name of its own name without the trailing underscore.
    QMenuBar *menuBar_ = nullptr;
    QAction *selectAllAction_ = nullptr;
    GradientButton *addFilesButton_ = nullptr, *openListButton_ = nullptr,
                   *saveListButton_ = nullptr, *removeButton_ = nullptr;
    QTreeWidget *slideList_ = nullptr;
    ColourPanel *entryFrame_ = nullptr;
    QLabel *entryPicture_ = nullptr;
    QTextEdit *entryText_ = nullptr;
    QPushButton *moveUpButton_ = nullptr, *moveDownButton_ = nullptr;
    QCheckBox *loopBox_ = nullptr;
    QLabel *durationLabel_ = nullptr;
    QSlider *durationSlider_ = nullptr;
    QPushButton *previewButton_ = nullptr, *stopButton_ = nullptr, *closeButton_ = nullptr,
                *rebuildButton_ = nullptr;
    QPlainTextEdit *linesView_ = nullptr;
    QFileDialog *addFilesDialog_ = nullptr, *openDialog_ = nullptr, *saveDialog_ = nullptr;

    SharedState &state_;
    QStringList lines_;
    bool descending_ = false;
    bool closingByFrame_ = false;
};

} // namespace quorix
