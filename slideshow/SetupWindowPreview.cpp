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

void Tfss::BitBtn1Click()
{
    state_.stopFlag = false;
    Button1Click();
    int i = 2;
    for (;;) {
        // A slide that cannot be shown is passed over without its wait.
        const bool shown = guarded([&] { showEntry(line(i), true); });
        letPendingMessagesRun();
        if (state_.stopFlag)
            return;
        if (shown) {
            QElapsedTimer clock;
            clock.start();
            // The track bar is read afresh, so moving it changes the wait in progress.
            while (clock.elapsed() < qint64(tbr->value()) * 1000) {
                if (state_.stopFlag)
                    return;
                runMessagesBriefly();
            }
            if (state_.stopFlag)
                return;
        }
        ++i;
        if (i >= lines_.size() && cbloop->isChecked())
            i = 2;
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
