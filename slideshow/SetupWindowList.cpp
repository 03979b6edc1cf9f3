// The set-up window's list commands: adding files by dialog and by dropping, removing,
// moving, sorting, selecting all, and rebuilding the slide-list lines.
#include "platform/PendingMessages.h"
#include "slideshow/SlideRows.h"
#include "slideshow/uss.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QSlider>
#include <QTreeWidget>

namespace quorix {

void Tfss::XiButton6Click()
{
    if (!runFileDialog(od))
        return;
    // A picture whose header cannot be read ends the batch, with the error reported.
    for (const QString &path : od->selectedFiles())
        AddSlideFile(*tabela, path, QString());
}

void Tfss::aceptFiles(const QStringList &paths)
{
    for (const QString &path : paths)
        AddSlideFile(*tabela, path, QString());
}

void Tfss::XiButton4Click()
{
    for (int i = tabela->topLevelItemCount() - 1; i >= 0; --i) {
        // The list may change while pending messages run.
        if (i >= tabela->topLevelItemCount())
            continue;
        if (QTreeWidgetItem *row = tabela->topLevelItem(i); row->isSelected())
            delete row;
        letPendingMessagesRun();
    }
    tabelaDblClick();
}

int Tfss::firstSelectedRow() const
{
    for (int i = 0; i < tabela->topLevelItemCount(); ++i)
        if (tabela->topLevelItem(i)->isSelected())
            return i;
    return -1;
}

void Tfss::SB3Click()
{
    if (const int i = firstSelectedRow(); i >= 0)
        MoveListItem(*tabela, i, i - 1);
}

void Tfss::sb4Click()
{
    if (const int i = firstSelectedRow(); i >= 0)
        MoveListItem(*tabela, i, i + 2);
}

void Tfss::tabelaColumnClick(int column)
{
    descending_ = !descending_;
    sortSlideRows(*tabela, column, descending_);
}

void Tfss::SelecttAllClick()
{
    tabela->selectAll();
}

void Tfss::Button1Click()
{
    setLines(slideListLines(cbloop->isChecked(), tbr->value(), *tabela));
}

} // namespace quorix
