// The set-up window's previews: the entry preview of the one selected row, and Preview,
// which plays the whole list inside the window; Stop and Close.
#include "core/Guard.h"
#include "core/LineFile.h"
#include "core/QueuedEvents.h"
#include "presenter/SharedState.h"
#include "rtf/RichTextFile.h"
#include "slideshow/SetupWindow.h"
#include "slideshow/SlideKind.h"
#include "slideshow/SlideListFile.h"
#include "slideshow/SlidePictures.h"
#include "slideshow/SlideRows.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPixmap>
#include <QSlider>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace quorix {

namespace {

// Lets window messages run for a short while, so that a wait keeps the window usable
// without spinning.
void runMessagesBriefly()
{
    QEventLoop loop;
    QTimer::singleShot(15, &loop, &QEventLoop::quit);
    loop.exec();
}

// The pause after a round in which no slide could be shown, so that a looping list of
// unreadable files does not keep a core busy until Stop.
constexpr qint64 kFailedRoundPauseMs = 500;

} // namespace

void SetupWindow::showEntry(const QString &path, bool previewFit)
{
    const SlideKind kind = slideKindOf(path);
    if (isTextKind(kind)) {
        loadRichTextFile(*entryText_->document(), path);
        entryText_->show();
        entryPicture_->hide();
    } else if (isPictureKind(kind)) {
        entryText_->hide();
        entryPicture_->show();
        const QImage picture =
            fittedSlidePicture(path, kind, previewFit ? SlideFit::SetupPreview : SlideFit::Setup);
        entryPicture_->setPixmap(QPixmap::fromImage(picture));
        if (!previewFit)
            runQueuedEvents();
    }
}

void SetupWindow::showSelectedEntry()
{
    entryPicture_->clear();
    const QList<QTreeWidgetItem *> selected = slideList_->selectedItems();
    if (selected.size() == 1)
        showEntry(rowPath(*selected.constFirst()), false);
}

bool SetupWindow::waitUnlessStopped(const std::function<qint64()> &milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds()) {
        if (state_.stopFlag)
            return false;
        runMessagesBriefly();
    }
    return !state_.stopFlag;
}

void SetupWindow::playPreview()
{
    state_.stopFlag = false;
    rebuildLines();
    int i = kFirstSlideLine;
    bool shownThisRound = false;
    for (;;) {
        // A slide that cannot be shown is passed over without its wait.
        const bool shown = guarded([&] { showEntry(lineAt(lines_, i), true); });
        shownThisRound = shownThisRound || shown;
        runQueuedEvents();
        if (state_.stopFlag)
            return;
        // The track bar is read afresh, so moving it changes the wait in progress.
        if (shown && !waitUnlessStopped([this] { return qint64(durationSlider_->value()) * 1000; }))
            return;
        ++i;
        if (i >= lines_.size() && loopBox_->isChecked()) {
            i = kFirstSlideLine;
            if (!shownThisRound && !waitUnlessStopped([] { return kFailedRoundPauseMs; }))
                return;
            shownThisRound = false;
        }
        if (i >= lines_.size())
            return;
    }
}

void SetupWindow::stopPreview()
{
    state_.stopFlag = true;
}

void SetupWindow::onCloseClicked()
{
    state_.slidePosition = kFirstSlideLine;
    state_.stopFlag = true;
    setModalResult(ModalResult::Cancel);
}

} // namespace quorix
