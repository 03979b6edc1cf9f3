#include "capture/CaptureSources.h"

#include "capture/PreviewFit.h"
#include "controls/Panel.h"
#include "controls/PJCBViewer.h"
#include "controls/TTimer.h"
#include "platform/Guard.h"
#include "platform/PendingMessages.h"
#include "platform/SharedState.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPixmap>
#include <QStackedWidget>

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

} // namespace

CaptureSources::CaptureSources(SharedState &state, const Controls &controls,
                               std::function<void()> checkFolder, WindowSystem &system,
                               QObject *parent)
    : QObject(parent), state_(state), c_(controls), checkFolder_(std::move(checkFolder)),
      system_(system)
{
}

void CaptureSources::FitPreview(const QImage &source)
{
    c_.SLIKA->setPixmap(QPixmap::fromImage(fitPreview(source)));
}

void CaptureSources::showPreviewPage()
{
    c_.nbook->setCurrentIndex(1);
    c_.pd->setCaption(tr("Preview"));
}

void CaptureSources::captureTick(int ownMode, const std::function<void(QImage &)> &capture)
{
    guarded([&] {
        QImage picture;
        capture(picture);
        if (state_.mode == ownMode)
            state_.currentBitmap = picture;
        if (state_.autoSend)
            state_.sendCurrentBitmap();
        letPendingMessagesRun();
        FitPreview(picture);
        letPendingMessagesRun();
    });
    letPendingMessagesRun();
}

void CaptureSources::Timer3Timer()
{
    captureTick(smScreen, [this](QImage &picture) { system_.captureScreen(picture); });
}

void CaptureSources::Timer1Timer()
{
    captureTick(smWindow,
                [this](QImage &picture) { system_.captureWindow(state_.capturedWindow, picture); });
}

void CaptureSources::pcjbClipboardChanged()
{
    if (state_.mode != smClipboard)
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
        letPendingMessagesRun();
        showPreviewPage();
        const QImage again = clipboardImage();
        letPendingMessagesRun();
        FitPreview(again);
        letPendingMessagesRun();
    });
}

void CaptureSources::releaseWindowCapture()
{
    system_.releaseWindowCapture();
}

} // namespace quorix
