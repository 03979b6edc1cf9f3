#pragma once
// The slide rows of the set-up window's slide list: a caption and four sub-items per
// row (name; size, type, location, dimensions), how a row is added, moved and sorted, and
// the slide-list lines built from the rows.
#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;

namespace quorix {

// The list's columns, in their logical order (the presenter may drag them elsewhere).
enum class SlideColumn
{
    Name = 0,
    Size = 1,
    Type = 2,
    Location = 3,
    Dimensions = 4,
};

// A row's text in one column.
QString slideCell(const QTreeWidgetItem &row, SlideColumn column);

// Gives the list its five columns.
void setupSlideColumns(QTreeWidget &list);

// What adding a path that is already listed does: files added by hand or dropped are
// listed once; a slide-list file that names a file twice plays it twice.
enum class ListedPaths
{
    Skip,
    AddAgain,
};

// Appends a row for one full path, or does nothing for a path that is no slide, or that
// is already listed (the same path exactly; names differing in letter case are different
// files) and `listed` says Skip. A picture whose header cannot be read keeps its row
// without dimensions, and the ImageError goes on to the caller.
void addSlideRow(QTreeWidget &list, const QString &path, ListedPaths listed);

// The full path of a row's file.
QString rowPath(const QTreeWidgetItem &row);

// "1" or "0" for the loop flag, the duration, then one row path per row from the top.
QStringList slideListLines(bool loop, int duration, const QTreeWidget &list);

// Moves row `from` before row `to` (a negative `to`, or one past the last row, moves it
// to the end), selecting it; other selected rows stay selected.
void moveSlideRow(QTreeWidget &list, int from, int to);

// The order of two rows for a column: negative when `a` comes first. Rows without a size
// text come first whatever the direction.
int compareSlideRows(const QTreeWidgetItem &a, const QTreeWidgetItem &b, SlideColumn column,
                     bool descending);

// Sorts every row by the column; selected rows stay selected.
void sortSlideRows(QTreeWidget &list, SlideColumn column, bool descending);

} // namespace quorix
