// The set-up window's previews: the entry preview of the one selected row, and Preview,
// which plays the whole list inside the window; Stop and Close.
#include "platform/Guard.h"
#include "platform/PendingMessages.h"
#include "platform/SharedState.h"
#include "rtf/RichTextFile.h"
#include "slideshow/SlideKind.h"
#include "slideshow/SlidePictures.h"
#include "slideshow/SlideRows.h"
#include "slideshow/uss.h"

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

void Tfss::showEntry(const QString &path, bool previewFit)
{
    const int kind = FileKind(path);
    if (isTextKind(kind)) {
        loadRichTextFile(*Editor->document(), path);
        Editor->show();
        slika->hide();
    } else if (isPictureKind(kind)) {
        Editor->hide();
        slika->show();
        const QImage picture =
            fittedSlidePicture(path, kind, previewFit ? SlideFit::SetupPreview : SlideFit::Setup);
        slika->setPixmap(QPixmap::fromImage(picture));
        if (!previewFit)
            letPendingMessagesRun();
    }
}

void Tfss::tabelaDblClick()
{
    slika->clear();
    const QList<QTreeWidgetItem *> selected = tabela->selectedItems();
    if (selected.size() == 1)
        showEntry(rowPath(*selected.constFirst()), false);
}

bool Tfss::waitUnlessStopped(const std::function<qint64()> &milliseconds)
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

void Tfss::BitBtn1Click()
{
    state_.stopFlag = false;
    Button1Click();
    int i = 2;
    bool shownThisRound = false;
    for (;;) {
        // A slide that cannot be shown is passed over without its wait.
        const bool shown = guarded([&] { showEntry(line(i), true); });
        shownThisRound = shownThisRound || shown;
        letPendingMessagesRun();
        if (state_.stopFlag)
            return;
        // The track bar is read afresh, so moving it changes the wait in progress.
        if (shown && !waitUnlessStopped([this] { return qint64(tbr->value()) * 1000; }))
            return;
        ++i;
        if (i >= lines_.size() && cbloop->isChecked()) {
            i = 2;
            if (!shownThisRound && !waitUnlessStopped([] { return kFailedRoundPauseMs; }))
                return;
            shownThisRound = false;
        }
        if (i >= lines_.size())
            return;
    }
}

void Tfss::BitBtn3Click()
{
    state_.stopFlag = true;
}

void Tfss::BitBtn2Click()
{
    state_.slidePosition = 2;
    state_.stopFlag = true;
    setModalResult(mrCancel);
}

} // namespace quorix
