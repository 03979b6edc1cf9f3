#include "capture/CaptureSources.h"

#include "capture/PreviewFit.h"
#include "controls/ClipboardWatcher.h"
#include "controls/ColourPanel.h"
#include "controls/RestartOnChangeTimer.h"
#include "core/Guard.h"
#include "core/QueuedEvents.h"
#include "imaging/FrameCompare.h"
#include "presenter/SharedState.h"

#include <cstring>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QtMath>
#include <QWidget>
#include <QWindow>

namespace quorix {

namespace {

// The clipboard's picture; null when it holds none or one that cannot be decoded.
QImage clipboardImage()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return {};
    return qvariant_cast<QImage>(data->imageData());
}

bool sameFrame(const QImage &a, const QImage &b)
{
    if (a.isNull() || b.isNull() || a.size() != b.size() || a.format() != b.format() ||
        a.bytesPerLine() != b.bytesPerLine())
        return false;
    return a.constBits() == b.constBits() ||
           std::memcmp(a.constBits(), b.constBits(), std::size_t(a.sizeInBytes())) == 0;
}

} // namespace

CaptureSources::CaptureSources(SharedState &state, const Controls &controls,
                               std::function<void()> checkFolder, WindowSystem &system,
                               QObject *parent)
    : QObject(parent), state_(state), c_(controls), checkFolder_(std::move(checkFolder)),
      system_(system)
{
    connect(&state_, &SharedState::sharedFolderChanged, this, [this] { writeNext_ = true; });
    // A frame the sending thread could not write is written again at the next tick,
    // changed or not.
    connect(&state_, &SharedState::frameNotWritten, this, [this] { writeNext_ = true; });
    settle_.setSingleShot(true);
    frameGap_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &CaptureSources::lookNow);
    connect(&frameGap_, &QTimer::timeout, this, &CaptureSources::lookNow);
    connect(&system_, &WindowSystem::drawn, this, &CaptureSources::onDrawn);
    connect(&system_, &WindowSystem::captureStateChanged, this,
            &CaptureSources::makeWayForDesktopDialog);
}

void CaptureSources::makeWayForDesktopDialog()
{
    QWindow *window = c_.owner ? c_.owner->window()->windowHandle() : nullptr;
    if (!window)
        return;
    const bool dialog = system_.desktopDialogMayBeOpen();
    if (dialog && !madeWay_ && window->flags().testFlag(Qt::WindowStaysOnTopHint)) {
        madeWay_ = true;
        window->setFlags(window->flags() & ~Qt::WindowStaysOnTopHint);
    } else if (!dialog && madeWay_) {
        madeWay_ = false;
        window->setFlags(window->flags() | Qt::WindowStaysOnTopHint);
    }
}

void CaptureSources::onDrawn(WindowId target, QRect area)
{
    if (!state_.autoSend)
        return;
    if (!(state_.mode == SourceMode::Screen && target == 0) &&
        !(state_.mode == SourceMode::Window && target != 0 && target == state_.capturedWindow))
        return;
    if (target == 0 && !area.isEmpty()) {
        QRegion outside(area);
        for (const QRect &own : ownWindowsOnScreen())
            outside -= own;
        if (outside.isEmpty())
            return;
    }
    if (!settle_.isActive())
        drawing_.start();
    const qint64 left = kSettleMaxMs - drawing_.elapsed();
    settle_.start(int(qBound(qint64(0), left, qint64(kQuietMs))));
}

void CaptureSources::lookNow()
{
    settle_.stop();
    if (state_.mode == SourceMode::Screen)
        captureScreenTick();
    else if (state_.mode == SourceMode::Window)
        captureWindowTick();
}

std::vector<QRect> CaptureSources::ownWindowsOnScreen() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // The capture is in the primary screen's device pixels, from its top-left corner.
    const qreal ratio = screen->devicePixelRatio();
    std::vector<QRect> own;
    for (const QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible() || top->isMinimized())
            continue;
        const QRect r = top->frameGeometry().translated(-screen->geometry().topLeft());
        own.emplace_back(
            QPoint(qFloor(r.left() * ratio), qFloor(r.top() * ratio)),
            QPoint(qCeil((r.right() + 1) * ratio) - 1, qCeil((r.bottom() + 1) * ratio) - 1));
    }
    return own;
}

void CaptureSources::showPreview(const QImage &source)
{
    shown_ = QImage();
    c_.preview->setPixmap(QPixmap::fromImage(fitPreview(source)));
}

void CaptureSources::showFitted(const QImage &frame)
{
    c_.preview->setPixmap(QPixmap::fromImage(fitPreview(frame)));
    shown_ = frame;
}

void CaptureSources::showPreviewPage()
{
    c_.showPreviewPage();
    c_.captionStrip->setCaption(tr("Preview"));
}

void CaptureSources::sourceChanged()
{
    writeNext_ = true;
    shown_ = QImage();
    sent_ = QImage();
    if (lost_) {
        lost_ = false;
        state_.clearProblem();
    }
}

void CaptureSources::captureTick(SourceMode ownMode, WindowId target,
                                 const std::function<bool(QImage &)> &capture,
                                 const QString &lostText)
{
    guarded([&] {
        const bool mustWrite = writeNext_ && state_.autoSend;
        if (!mustWrite && !owed_ && !shown_.isNull() && !system_.mayHaveChanged(target))
            return;
        QImage picture;
        if (!capture(picture) || picture.isNull()) {
            // The viewers keep the last good picture (or get none, never a black one), and
            // the presenter learns why it does not change.
            lost_ = true;
            const QString why = system_.captureProblem(target);
            state_.reportProblem(why.isEmpty() ? lostText : why);
            return;
        }
        if (lost_) {
            lost_ = false;
            state_.clearProblem();
        }
        if (state_.mode == ownMode)
            state_.currentBitmap = picture;
        // On the screen, what changed only inside this program's own window (its preview
        // repainting itself after the last frame) is no news for the viewers.
        const bool news = target == 0 ? !sameOutside(picture, sent_, ownWindowsOnScreen())
                                      : !sameFrame(picture, sent_);
        // Mostly the preview shows the frame last sent: news there is a change here too,
        // without comparing eight megabytes again.
        const bool shownIsSent = !sent_.isNull() && sent_.constBits() == shown_.constBits();
        const bool same = shownIsSent && news ? false : sameFrame(picture, shown_);
        const qint64 gapLeft =
            sinceSent_.isValid() ? kFrameGapMs - sinceSent_.elapsed() : qint64(0);
        owed_ = false;
        if (state_.autoSend && news && !writeNext_ && gapLeft > 0) {
            // Too soon after the last frame: the look again when the rest of the gap is
            // over grabs what the screen shows then. (A frame that must be written, for a
            // new source or folder or after a failed write, goes at once.)
            owed_ = true;
            if (!frameGap_.isActive())
                frameGap_.start(int(gapLeft));
        } else if (state_.autoSend && (news || writeNext_)) {
            // The sending thread encodes and writes it; a failed write sets writeNext_ again.
            writeNext_ = false;
            if (state_.sendFrame(state_.currentBitmap) == Sent::Written) {
                sent_ = picture;
                sinceSent_.start();
            }
        }
        runQueuedEvents();
        if (!same)
            showFitted(picture);
        runQueuedEvents();
    });
    runQueuedEvents();
}

void CaptureSources::prepareScreenCapture()
{
    system_.prepareCapture(0, c_.owner ? c_.owner->window()->windowHandle() : nullptr);
}

void CaptureSources::endScreenCapture()
{
    system_.endCapture(0);
}

void CaptureSources::captureScreenTick()
{
    captureTick(
        SourceMode::Screen, 0, [this](QImage &picture) { return system_.captureScreen(picture); },
        tr("The screen cannot be captured"));
}

void CaptureSources::captureWindowTick()
{
    captureTick(
        SourceMode::Window, state_.capturedWindow,
        [this](QImage &picture) { return system_.captureWindow(state_.capturedWindow, picture); },
        tr("The window is gone: choose another"));
}

void CaptureSources::onClipboardChanged()
{
    if (state_.mode != SourceMode::Clipboard)
        return;
    guarded([this] {
        // Text, files and pictures that cannot be decoded leave everything as it is: an
        // undecodable picture must not replace what the viewers show with an empty one.
        const QImage copied = clipboardImage();
        if (copied.isNull())
            return;
        state_.currentBitmap = copied;
        if (checkFolder_)
            checkFolder_();
        if (state_.autoSend)
            state_.sendCurrentBitmap();
        runQueuedEvents();
        showPreviewPage();
        const QImage again = clipboardImage();
        runQueuedEvents();
        showPreview(again);
        runQueuedEvents();
    });
}

void CaptureSources::releaseWindowCapture()
{
    system_.releaseWindowCapture();
}

} // namespace quorix
