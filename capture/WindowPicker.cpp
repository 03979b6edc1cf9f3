#include "capture/WindowPicker.h"

#include "capture/ThumbnailImage.h"
#include "controls/Colours.h"
#include "platform/Colour.h"
#include "platform/Guard.h"
#include "platform/PendingMessages.h"

#include <algorithm>
#include <QFrame>
#include <QLabel>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>

namespace quorix {

namespace {

constexpr int kTileHeight = 145;
constexpr std::uint32_t kTileColour = colours::notebook;

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
        if (!CollectWindow(window))
            break;
}

bool WindowPicker::CollectWindow(const WindowInfo &window)
{
    if (window.viewable)
        table_.push_back(windowEntry(window));
    return true;
}

void WindowPicker::xadd()
{
    const int p = position_;
    const int generation = generation_;
    guarded([&] {
        if (!column_ || p >= count())
            return;
        const WindowEntry &entry = table_[std::size_t(p)];
        const QString number = QString::number(p);

        auto *panel = new QFrame(column_->parentWidget());
        panel->setObjectName(QStringLiteral("windowTile") + number);
        setTag(panel, p);
        panel->setFrameShape(QFrame::NoFrame);
        panel->setAutoFillBackground(true);
        QPalette colours = panel->palette();
        colours.setColor(QPalette::Window, bgrColour(kTileColour));
        panel->setPalette(colours);
        panel->setFixedHeight(kTileHeight);
        column_->addWidget(panel);

        auto *image = new ThumbnailImage(panel);
        image->setObjectName(QStringLiteral("windowThumbnail") + number);
        setTag(image, p);
        image->setGeometry(5, 18, 115, 115);
        setHint(image, thumbnailHint(entry));
        connect(image, &ThumbnailImage::clicked, this, &WindowPicker::thumbnailClicked);

        auto *line = new QFrame(panel);
        line->setObjectName(QStringLiteral("windowTileLine") + number);
        setTag(line, p);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Plain);
        line->setGeometry(0, 140, panel_->window()->width(), 1);

        auto *label = new QLabel(panel);
        label->setObjectName(QStringLiteral("windowTitle") + number);
        setTag(label, p);
        label->setTextFormat(Qt::PlainText);
        label->setText(entry.title);
        // The window's own font, not the big caption font of the panel the gallery is on.
        QFont bold = panel_->window()->font();
        bold.setBold(true);
        label->setFont(bold);
        QPalette white = label->palette();
        white.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(white);
        label->move(5, 1);
        setHint(label, labelHint(entry));
        label->adjustSize();
        // Where a long title reaches the thumbnail, the thumbnail takes the clicks.
        label->stackUnder(image);

        if (tiles_.size() <= std::size_t(p))
            tiles_.resize(std::size_t(p) + 1);
        tiles_[std::size_t(p)] = Tile{panel, image};
    });
    letPendingMessagesRun();
    if (generation == generation_)
        position_ = p + 1;
}

void WindowPicker::risiBmp(int index)
{
    if (index < 0 || index >= count())
        return;
    const WindowEntry entry = table_[std::size_t(index)];
    const int generation = generation_;
    const WindowId id = entry.handle.toUInt();
    QImage bitmap;
    guarded([&] {
        if (entry.title != QLatin1String("Program Manager")) {
            letPendingMessagesRun();
            system_.captureWindow(id, bitmap);
            letPendingMessagesRun();
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
