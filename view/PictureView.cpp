#include "view/PictureView.h"

#include "view/PictureLayout.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QPaintEvent>

#include <chrono>
#include <cstdio>

namespace quorix {

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::setPicture(const QImage &picture, qint64 mtimeNs, qint64 decodeUs)
{
    picture_ = picture;
    scaled_ = QImage();
    mtimeNs_ = mtimeNs;
    decodeUs_ = decodeUs;
    tracePending_ = trace_;
    update();
}

void PictureView::setSettings(const ViewerSettings &settings, bool fullScreen)
{
    if (settings == settings_ && fullScreen == fullScreen_)
        return;
    settings_ = settings;
    fullScreen_ = fullScreen;
    update();
}

void PictureView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect target = pictureRect(picture_.size(), size(), settings_, fullScreen_);
    const QRegion around = QRegion(event->rect()) - target;
    for (const QRect &r : around)
        painter.fillRect(r, Qt::black);
    if (target.isEmpty())
        return;

    QElapsedTimer clock;
    clock.start();
    if (target.size() == picture_.size()) {
        scaled_ = QImage();
    } else if (scaled_.size() != target.size()) {
        scaled_ = picture_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const qint64 scaleUs = clock.nsecsElapsed() / 1000;
    painter.drawImage(target.topLeft(), scaled_.isNull() ? picture_ : scaled_);

    if (tracePending_) {
        tracePending_ = false;
        const auto nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
        std::fprintf(
            stderr,
            "quorix-view: painted mtime_ns=%lld paint_ns=%lld decode_us=%lld scale_us=%lld\n",
            static_cast<long long>(mtimeNs_), static_cast<long long>(nowNs),
            static_cast<long long>(decodeUs_), static_cast<long long>(scaleUs));
        std::fflush(stderr);
    }
}

} // namespace quorix
