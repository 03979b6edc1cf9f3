#pragma once
// A folder chooser: a title and, as its options say, a status line with the selected
// folder's path, a "New Folder..." button that creates a folder under the selected one, and
// placement over the form that owns it.
#include <QFlags>
#include <QObject>
#include <QString>

class QFileDialog;
class QWidget;

namespace quorix {

class FolderChooser : public QObject
{
    Q_OBJECT

  public:
    enum class Option
    {
        ShowPath = 0x1,        // a status line under the folders with the selected one's path
        NewFolderButton = 0x2, // "New Folder..." makes a folder under the selected one
        Centred = 0x4          // over the owner's window, or the screen without an owner
    };
    Q_DECLARE_FLAGS(Options, Option)

    explicit FolderChooser(QWidget *owner);

    // The folder the chooser starts in and, once chosen, the one chosen. When it is empty
    // or not there, the chooser starts in the desktop folder, or in the home folder when
    // there is no desktop folder.
    QString directory;
    QString title;
    Options options;

    // Shows the chooser modally; true when a folder was chosen (then in directory),
    // false when the presenter cancelled. Throws std::runtime_error("Unable to create
    // folder ...") when a new folder cannot be made.
    bool choose();

    // The folder last selected in the open chooser, and the chooser while it is open.
    QString statusPath() const { return statusPath_; }
    QFileDialog *browser() const { return browser_; }

    // Creates `path` with any missing parent folders; true when it exists afterwards.
    static bool createFolder(const QString &path);

  signals:
    // Emitted once the chooser is shown, so callers (and tests) can reach it.
    void browserOpened(QFileDialog *browser);

  private:
    void addNewFolderButton(QFileDialog &dialog);
    void centre(QFileDialog &dialog) const;
    QString startFolder() const;

    QWidget *owner_;
    QString statusPath_;
    QString pendingNewFolder_;
    QFileDialog *browser_ = nullptr;
};

} // namespace quorix

Q_DECLARE_OPERATORS_FOR_FLAGS(quorix::FolderChooser::Options)
