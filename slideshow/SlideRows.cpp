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
    list.headerItem()->setTextAlignment(colSize, Qt::AlignRight | Qt::AlignVCenter);
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
    row->setText(colName, slideFileName(full));
    row->setText(colSize, QString::number(slideFileSize(full)));
    row->setTextAlignment(colSize, Qt::AlignRight | Qt::AlignVCenter);
    row->setText(colType, slideTypeName(full));
    row->setText(colLocation, slideLocation(full));
    row->setText(colDimensions, slideDimensionsText(full, kind));
}

QString rowPath(const QTreeWidgetItem &row)
{
    return slideRowPath(row.text(colLocation), row.text(colName));
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

int compareSlideRows(const QTreeWidgetItem &a, const QTreeWidgetItem &b, int column,
                     bool descending)
{
    const bool aEmpty = a.text(colSize).isEmpty();
    const bool bEmpty = b.text(colSize).isEmpty();
    if (aEmpty != bEmpty)
        return aEmpty ? -1 : 1;
    int result = 0;
    if (column == colSize) {
        result = sign(a.text(colSize).toLongLong() - b.text(colSize).toLongLong());
    } else if (column == colName) {
        static const QCollator collator = [] {
            QCollator c;
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        result = collator.compare(a.text(colName).toUpper(), b.text(colName).toUpper());
    } else {
        result = a.text(column).toUpper().compare(b.text(column).toUpper());
        if (result == 0)
            result = a.text(colName).toUpper().compare(b.text(colName).toUpper());
    }
    result = result < 0 ? -1 : result > 0 ? 1 : 0;
    return descending ? -result : result;
}

void sortSlideRows(QTreeWidget &list, int column, bool descending)
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
