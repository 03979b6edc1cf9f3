#include "capture/WindowPicker.h"

#include "capture/ThumbnailImage.h"
#include "controls/Colours.h"
#include "core/Colour.h"
#include "core/Guard.h"
#include "core/QueuedEvents.h"

#include <algorithm>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>

namespace quorix {

namespace {

constexpr int kTileHeight = 145;
constexpr std::uint32_t kTileColour = colours::notebook;
// Inside a tile: the title at the top left, the thumbnail's square below it, and a line
// across the tile at its foot.
constexpr int kTileMargin = 5;
constexpr int kTitleTop = 1;
constexpr int kThumbnailTop = 18;
constexpr int kThumbnailSide = 115;
constexpr int kTileLineTop = 140;

void setTag(QObject *control, qint64 tag)
{
    control->setProperty("Tag", tag);
}

// A hint is shown as plain text: a window title is another program's text and must not
// be taken as markup. The exact hint stays readable as the "Hint" property.
void setHint(QWidget *control, const QString &hint)
{
    control->setProperty("Hint", hint);
    control->setToolTip(
        Qt::mightBeRichText(hint)
            ? QStringLiteral("<p style='white-space:pre'>%1</p>").arg(hint.toHtmlEscaped())
            : hint);
}

// The thumbnail of the "another window" tile: a window outline with a plus.
QImage otherWindowPicture()
{
    QImage picture(110, 82, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2, Qt::DashLine));
    p.drawRoundedRect(QRectF(2, 2, 106, 78), 6, 6);
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(QPointF(55, 24), QPointF(55, 58));
    p.drawLine(QPointF(38, 41), QPointF(72, 41));
    return picture;
}

} // namespace

WindowPicker::WindowPicker(QWidget *panel, WindowSystem &system, QObject *parent)
    : QObject(parent), panel_(panel), system_(system)
{
}

WindowPicker::~WindowPicker() = default;

void WindowPicker::destroyGallery()
{
    delete gallery_.data();
    column_ = nullptr;
    table_.clear();
    tiles_.clear();
    position_ = 0;
    otherWindows_ = WindowSystem::OtherWindows::None;
    ++generation_;
}

void WindowPicker::createGallery()
{
    gallery_ = new QScrollArea(panel_);
    gallery_->setObjectName(QStringLiteral("gallery"));
    gallery_->setFrameShape(QFrame::NoFrame);
    gallery_->setGeometry(panel_->rect());
    gallery_->setWidgetResizable(true);
    gallery_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget;
    column_ = new QVBoxLayout(content);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(0);
    column_->setAlignment(Qt::AlignTop);
    gallery_->setWidget(content);
    gallery_->show();
    table_.clear();
    tiles_.clear();
    position_ = 0;
}

void WindowPicker::enumerateWindows()
{
    for (const WindowInfo &window : system_.listTopLevelWindows())
        addWindowToTable(window);
}

void WindowPicker::addWindowToTable(const WindowInfo &window)
{
    if (window.viewable)
        table_.push_back(windowEntry(window));
}

WindowPicker::TileParts WindowPicker::makeTile(const QString &kind, const QString &suffix,
                                               const QString &title)
{
    auto *panel = new QFrame(column_->parentWidget());
    panel->setObjectName(kind + QStringLiteral("Tile") + suffix);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setAutoFillBackground(true);
    QPalette colours = panel->palette();
    colours.setColor(QPalette::Window, bgrColour(kTileColour));
    panel->setPalette(colours);
    panel->setFixedHeight(kTileHeight);

    auto *image = new ThumbnailImage(panel);
    image->setObjectName(kind + QStringLiteral("Thumbnail") + suffix);
    image->setGeometry(kTileMargin, kThumbnailTop, kThumbnailSide, kThumbnailSide);

    auto *line = new QFrame(panel);
    line->setObjectName(kind + QStringLiteral("TileLine") + suffix);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(0, kTileLineTop, panel_->window()->width(), 1);

    auto *label = new QLabel(panel);
    label->setObjectName(kind + QStringLiteral("Title") + suffix);
    label->setTextFormat(Qt::PlainText);
    label->setText(title);
    // The window's own font, not the big caption font of the panel the gallery is on.
    QFont bold = panel_->window()->font();
    bold.setBold(true);
    label->setFont(bold);
    QPalette white = label->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(white);
    label->move(kTileMargin, kTitleTop);
    label->adjustSize();
    // Where a long title reaches the thumbnail, the thumbnail takes the clicks.
    label->stackUnder(image);
    return {panel, image, line, label};
}

void WindowPicker::addNextTile()
{
    const int p = position_;
    const int generation = generation_;
    guarded([&] {
        if (!column_ || p >= count())
            return;
        const WindowEntry &entry = table_[std::size_t(p)];
        const TileParts tile = makeTile(QStringLiteral("window"), QString::number(p), entry.title);
        for (QWidget *control :
             std::initializer_list<QWidget *>{tile.panel, tile.image, tile.line, tile.label})
            setTag(control, p);
        setHint(tile.image, thumbnailHint(entry));
        setHint(tile.label, labelHint(entry));
        connect(tile.image, &ThumbnailImage::clicked, this, &WindowPicker::thumbnailClicked);
        column_->addWidget(tile.panel);

        if (tiles_.size() <= std::size_t(p))
            tiles_.resize(std::size_t(p) + 1);
        tiles_[std::size_t(p)] = Tile{tile.panel, tile.image};
    });
    runQueuedEvents();
    if (generation == generation_)
        position_ = p + 1;
}

void WindowPicker::addOtherWindowTile(WindowSystem::OtherWindows offer)
{
    if (!column_ || offer == WindowSystem::OtherWindows::None)
        return;
    guarded([&] {
        // A newer answer of the desktop replaces the tile.
        delete column_->parentWidget()->findChild<QFrame *>(QStringLiteral("otherWindowTile"));
        otherWindows_ = offer;
        QString title;
        switch (offer) {
        case WindowSystem::OtherWindows::Chooser:
            title = tr("Another window...");
            break;
        case WindowSystem::OtherWindows::Asking:
            title = tr("Asking the desktop...");
            break;
        case WindowSystem::OtherWindows::MonitorsOnly:
            title = tr("Monitors only here: use Screen Image");
            break;
        default:
            title = tr("No window capture on this desktop");
            break;
        }
        const TileParts tile = makeTile(QStringLiteral("otherWindow"), QString(), title);
        tile.image->setPixmap(QPixmap::fromImage(otherWindowPicture()));
        if (offer == WindowSystem::OtherWindows::Chooser) {
            setHint(tile.image, tr("Choose a window in the desktop's own window chooser"));
            connect(tile.image, &ThumbnailImage::clicked, this, &WindowPicker::otherWindowClicked);
        } else {
            tile.image->setCursor(Qt::ArrowCursor);
        }
        // First, where the presenter sees it without scrolling.
        column_->insertWidget(0, tile.panel);
    });
}

void WindowPicker::drawThumbnail(int index)
{
    if (index < 0 || index >= count())
        return;
    const WindowEntry entry = table_[std::size_t(index)];
    const int generation = generation_;
    const WindowId id = entry.handle.toULongLong();
    QImage bitmap;
    guarded([&] {
        if (entry.title != QLatin1String("Program Manager")) {
            runQueuedEvents();
            system_.captureWindow(id, bitmap);
            runQueuedEvents();
        }
    });
    // Another build ran meanwhile and took this gallery away.
    if (generation != generation_ || std::size_t(index) >= tiles_.size())
        return;
    const Tile tile = tiles_[std::size_t(index)];
    const QSize size(std::max(bitmap.width(), 1), std::max(bitmap.height(), 1));
    if (dropsTile(entry, size)) {
        delete tile.panel.data();
        return;
    }
    guarded([&] {
        const QImage thumbnail =
            bitmap.scaled(thumbnailSize(size), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (auto *image = qobject_cast<QLabel *>(tile.image.data())) {
            image->setPixmap(QPixmap::fromImage(thumbnail));
            setTag(image, qint64(id));
        }
    });
}

} // namespace quorix
