#include "slideshow/SlideRows.h"

#include "slideshow/SlideKind.h"

#include <QCollator>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace quorix {

namespace {

int sign(qint64 v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

} // namespace

void setupSlideColumns(QTreeWidget &list)
{
    list.setColumnCount(5);
    list.setHeaderLabels({QObject::tr("Datoteka"), QObject::tr("Velikost [B]"),
                          QObject::tr("Vrsta"), QObject::tr("Mesto"), QObject::tr("Dimensions")});
    const int widths[] = {120, 90, 150, 230, 150};
    for (int c = 0; c < 5; ++c)
        list.setColumnWidth(c, widths[c]);
    list.headerItem()->setTextAlignment(int(SlideColumn::Size), Qt::AlignRight | Qt::AlignVCenter);
}

void addSlideRow(QTreeWidget &list, const QString &path, ListedPaths listed)
{
    const SlideKind kind = slideKindOf(path);
    if (kind == SlideKind::None)
        return;
    // Rows rebuild their path from folder and name, so a relative one is made whole.
    const QString full = QFileInfo(path).isRelative() ? QFileInfo(path).absoluteFilePath() : path;
    // Paths are compared exactly: names that differ only in letter case are two files here.
    if (listed == ListedPaths::Skip) {
        for (int i = list.topLevelItemCount() - 1; i >= 0; --i)
            if (rowPath(*list.topLevelItem(i)) == full)
                return;
    }
    auto *row = new QTreeWidgetItem(&list);
    row->setText(int(SlideColumn::Name), slideFileName(full));
    row->setText(int(SlideColumn::Size), QString::number(slideFileSize(full)));
    row->setTextAlignment(int(SlideColumn::Size), Qt::AlignRight | Qt::AlignVCenter);
    row->setText(int(SlideColumn::Type), slideTypeName(full));
    row->setText(int(SlideColumn::Location), slideLocation(full));
    row->setText(int(SlideColumn::Dimensions), slideDimensionsText(full, kind));
}

QString slideCell(const QTreeWidgetItem &row, SlideColumn column)
{
    return row.text(int(column));
}

QString rowPath(const QTreeWidgetItem &row)
{
    return slideRowPath(slideCell(row, SlideColumn::Location), slideCell(row, SlideColumn::Name));
}

QStringList slideListLines(bool loop, int duration, const QTreeWidget &list)
{
    QStringList lines{loop ? QStringLiteral("1") : QStringLiteral("0"), QString::number(duration)};
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        lines.append(rowPath(*list.topLevelItem(i)));
    return lines;
}

void moveSlideRow(QTreeWidget &list, int from, int to)
{
    QTreeWidgetItem *source = list.topLevelItem(from);
    if (!source)
        return;
    list.setUpdatesEnabled(false);
    auto *copy = new QTreeWidgetItem(*source);
    if (to < 0 || to > list.topLevelItemCount())
        list.addTopLevelItem(copy);
    else
        list.insertTopLevelItem(to, copy);
    copy->setSelected(true);
    delete source;
    list.setUpdatesEnabled(true);
}

int compareSlideRows(const QTreeWidgetItem &a, const QTreeWidgetItem &b, SlideColumn column,
                     bool descending)
{
    const bool aEmpty = slideCell(a, SlideColumn::Size).isEmpty();
    const bool bEmpty = slideCell(b, SlideColumn::Size).isEmpty();
    if (aEmpty != bEmpty)
        return aEmpty ? -1 : 1;
    int result = 0;
    if (column == SlideColumn::Size) {
        result = sign(slideCell(a, SlideColumn::Size).toLongLong() -
                      slideCell(b, SlideColumn::Size).toLongLong());
    } else if (column == SlideColumn::Name) {
        static const QCollator collator = [] {
            QCollator c;
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        result = collator.compare(slideCell(a, SlideColumn::Name).toUpper(),
                                  slideCell(b, SlideColumn::Name).toUpper());
    } else {
        result = slideCell(a, column).toUpper().compare(slideCell(b, column).toUpper());
        if (result == 0)
            result = slideCell(a, SlideColumn::Name)
                         .toUpper()
                         .compare(slideCell(b, SlideColumn::Name).toUpper());
    }
    result = result < 0 ? -1 : result > 0 ? 1 : 0;
    return descending ? -result : result;
}

void sortSlideRows(QTreeWidget &list, SlideColumn column, bool descending)
{
    std::vector<QTreeWidgetItem *> rows;
    std::vector<QTreeWidgetItem *> selected;
    for (QTreeWidgetItem *row : list.selectedItems())
        selected.push_back(row);
    while (list.topLevelItemCount() > 0)
        rows.push_back(list.takeTopLevelItem(0));
    std::stable_sort(rows.begin(), rows.end(),
                     [column, descending](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
                         return compareSlideRows(*a, *b, column, descending) < 0;
                     });
    for (QTreeWidgetItem *row : rows)
        list.addTopLevelItem(row);
    for (QTreeWidgetItem *row : selected)
        row->setSelected(true);
}

} // namespace quorix
