// The set-up window's slide-list files: Save Files List and Open Files List.
#include "core/LineFile.h"
#include "core/QueuedEvents.h"
#include "core/WholeFile.h"
#include "slideshow/SetupWindow.h"
#include "slideshow/SlideListFile.h"
#include "slideshow/SlideRows.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSlider>
#include <QTreeWidget>

namespace quorix {

void SetupWindow::saveList()
{
    if (!runFileDialog(saveDialog_))
        return;
    rebuildLines();
    saveSlideList(saveDialog_->selectedFiles().constFirst(), lines_);
}

void SetupWindow::openList()
{
    if (!runFileDialog(openDialog_))
        return;
    openSlideList(openDialog_->selectedFiles().constFirst());
}

void SetupWindow::openSlideList(const QString &path)
{
    setLines({});
    slideList_->clear();
    slideList_->hide();
    runQueuedEvents();
    // However the open ends, the list comes back.
    struct ShowAtEnd
    {
        QTreeWidget *list;
        ~ShowAtEnd() { list->show(); }
    } showAtEnd{slideList_};

    setLines(readSlideList(path));
    const QStringList lines = lines_;
    loopBox_->setChecked(false);
    loopBox_->setChecked(slideListLoops(lines));
    durationSlider_->setValue(slideListDuration(lineAt(lines_, 1)));
    showDuration();
    for (qsizetype i = kFirstSlideLine; i < lines.size(); ++i) {
        const QString &slide = lines.at(i);
        if (fileExists(slide)) {
            addSlideRow(*slideList_, slide, ListedPaths::AddAgain);
        } else {
            QApplication::beep();
            QMessageBox box(QMessageBox::Warning, tr("Orbelin"), tr("File does not exist ") + slide,
                            QMessageBox::Ok, dialogOwner());
            box.setObjectName(QStringLiteral("fileDoesNotExist"));
            box.exec();
        }
        slideList_->show();
        runQueuedEvents();
        showSelectedEntry();
    }
}

} // namespace quorix
