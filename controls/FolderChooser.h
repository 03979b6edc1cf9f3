#pragma once
// A folder chooser: a title, a status line with the selected folder's path, a
// "New Folder..." button that creates a folder under the selected one, and placement
// over the form that owns it.
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
    enum BrowseOption
    {
        boStatusText = 0x1,
        boNewFolder = 0x2,
        boCenter = 0x4
    };
    Q_DECLARE_FLAGS(BrowseOptions, BrowseOption)
    enum ShellFolder
    {
        foDesktop,
        foDesktopExpanded,
        foPrograms,
        foControlPanel,
        foPrinters,
        foPersonal,
        foFavorites,
        foStartup,
        foRecent,
        foSendto,
        foRecycleBin,
        foStartMenu,
        foDesktopFolder,
        foMyComputer,
        foNetwork,
        foNetworkNeighborhood,
        foFonts,
        foTemplates
    };
    Q_ENUM(ShellFolder)
    enum BrowseKind
    {
        btComputer,
        btPrinter,
        btNoBellowDomain,
        btSysAncestors,
        btSysDirs
    };
    Q_ENUM(BrowseKind)

    explicit FolderChooser(QWidget *owner);

    QString directory;
    QString title;
    BrowseOptions options;
    ShellFolder rootFolder = foDesktopExpanded;
    BrowseKind browseKind = btSysDirs;

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

Q_DECLARE_OPERATORS_FOR_FLAGS(quorix::FolderChooser::BrowseOptions)
