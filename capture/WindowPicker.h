#pragma once
// The window picker: a scrolling column of tiles, one per visible top-level window, each
// with the window's title and a thumbnail of its image. The main window runs the build
// step by step (it owns the timers and flags around it); a click on a thumbnail comes
// back as thumbnailClicked with the thumbnail as sender, whose "Tag" property holds the
// window id once its picture is set.
//
// Tiles are named "windowTile", "windowThumbnail", "windowTileLine" and "windowTitle"
// followed by the tile position; every tile control has the tile position as its "Tag".
#include "capture/PickerRules.h"
#include "windowsystem/WindowSystem.h"

#include <QObject>
#include <QPointer>
#include <QScrollArea>
#include <vector>

class QFrame;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace quorix {

class ThumbnailImage;

class WindowPicker : public QObject
{
    Q_OBJECT

  public:
    // The gallery is built inside `panel` (the main window's picker panel).
    WindowPicker(QWidget *panel, WindowSystem &system, QObject *parent = nullptr);
    ~WindowPicker() override;

    bool hasGallery() const { return !gallery_.isNull(); }
    // Destroys the gallery with all its tiles and releases the window table.
    void destroyGallery();
    // A new, empty gallery filling the panel, an empty table, tile position 0.
    void createGallery();
    // Puts every viewable top-level window into the table, frontmost first.
    void enumerateWindows();
    // Creates the tile at the current tile position and advances it.
    void addNextTile();
    // Captures the window of table entry `index` and draws its thumbnail, or drops its
    // tile.
    void drawThumbnail(int index);
    // On a desktop that lists only some of its windows (Wayland): the first tile, for the
    // windows beyond them, named "otherWindowTile", "otherWindowThumbnail" and
    // "otherWindowTitle". Where the desktop has a window chooser a click on it comes back
    // as otherWindowClicked; otherwise the tile says why there is none.
    void addOtherWindowTile(WindowSystem::OtherWindows offer);
    // What that tile says; None when there is none.
    WindowSystem::OtherWindows otherWindows() const { return otherWindows_; }

    int count() const { return int(table_.size()); }
    const std::vector<WindowEntry> &table() const { return table_; }
    QScrollArea *gallery() const { return gallery_; }
    // Changes whenever a gallery is destroyed, so that a build interrupted by another
    // build (pending messages run inside it) can tell and stop.
    int generation() const { return generation_; }

  signals:
    void thumbnailClicked(QObject *sender);
    void otherWindowClicked();

  private:
    // Adds the window to the table when it is viewable.
    void addWindowToTable(const WindowInfo &window);

    struct TileParts
    {
        QFrame *panel;
        ThumbnailImage *image;
        QFrame *line;
        QLabel *label;
    };
    // The four controls of a tile, named `kind` + "Tile", "Thumbnail", "TileLine" and
    // "Title", each followed by `suffix`.
    TileParts makeTile(const QString &kind, const QString &suffix, const QString &title);

    struct Tile
    {
        QPointer<QWidget> panel;
        QPointer<QWidget> image;
    };

    QWidget *panel_;
    WindowSystem &system_;
    QPointer<QScrollArea> gallery_;
    QVBoxLayout *column_ = nullptr;
    std::vector<WindowEntry> table_;
    std::vector<Tile> tiles_;
    int position_ = 0;
    int generation_ = 0;
    WindowSystem::OtherWindows otherWindows_ = WindowSystem::OtherWindows::None;
};

} // namespace quorix
