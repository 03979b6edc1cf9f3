// The set-up window's list commands: adding files by dialog and by dropping, removing,
// moving, sorting, selecting all, and rebuilding the slide-list lines.
#include "core/QueuedEvents.h"
#include "slideshow/SetupWindow.h"
#include "slideshow/SlideRows.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QSlider>
#include <QTreeWidget>

namespace quorix {

void SetupWindow::addFiles()
{
    if (!runFileDialog(addFilesDialog_))
        return;
    // A picture whose header cannot be read ends the batch, with the error reported.
    for (const QString &path : addFilesDialog_->selectedFiles())
        addSlideRow(*slideList_, path, ListedPaths::Skip);
}

void SetupWindow::addDroppedFiles(const QStringList &paths)
{
    for (const QString &path : paths)
        addSlideRow(*slideList_, path, ListedPaths::Skip);
}

void SetupWindow::removeSelected()
{
    for (int i = slideList_->topLevelItemCount() - 1; i >= 0; --i) {
        // The list may change while pending messages run.
        if (i >= slideList_->topLevelItemCount())
            continue;
        if (QTreeWidgetItem *row = slideList_->topLevelItem(i); row->isSelected())
            delete row;
        runQueuedEvents();
    }
    showSelectedEntry();
}

int SetupWindow::firstSelectedRow() const
{
    for (int i = 0; i < slideList_->topLevelItemCount(); ++i)
        if (slideList_->topLevelItem(i)->isSelected())
            return i;
    return -1;
}

void SetupWindow::moveUp()
{
    if (const int i = firstSelectedRow(); i >= 0)
        moveSlideRow(*slideList_, i, i - 1);
}

void SetupWindow::moveDown()
{
    if (const int i = firstSelectedRow(); i >= 0)
        moveSlideRow(*slideList_, i, i + 2);
}

void SetupWindow::sortByColumn(int column)
{
    descending_ = !descending_;
    sortSlideRows(*slideList_, SlideColumn(column), descending_);
}

void SetupWindow::selectAllSlides()
{
    slideList_->selectAll();
}

void SetupWindow::rebuildLines()
{
    setLines(slideListLines(loopBox_->isChecked(), durationSlider_->value(), *slideList_));
}

} // namespace quorix
