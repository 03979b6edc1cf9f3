// Slide kinds, slide rows and their order, the slide-list lines and slide-list files.
#include "core/LineFile.h"
#include "core/WholeFile.h"
#include "slideshow/SlideKind.h"
#include "slideshow/SlideListFile.h"
#include "slideshow/SlidePictures.h"
#include "slideshow/SlideRows.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace quorix;

namespace {

QStringList names(const QTreeWidget &list)
{
    QStringList out;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        out << list.topLevelItem(i)->text(colName);
    return out;
}

// A row as AddSlideFile makes it, without touching the disk.
QTreeWidgetItem *row(QTreeWidget &list, const QString &name, const QString &size,
                     const QString &type = {}, const QString &location = QStringLiteral("/p"),
                     const QString &dimensions = {})
{
    return new QTreeWidgetItem(&list, {name, size, type, location, dimensions});
}

} // namespace

class TestSlideList : public QObject
{
    Q_OBJECT

  private slots:
    void kindComesFromTheExtension_data();
    void kindComesFromTheExtension();
    void locationAndRowPath_data();
    void locationAndRowPath();
    void rowShowsTheFile();
    void duplicatesAreSkippedUnlessOpening();
    void unreadablePictureKeepsItsRowWithoutDimensions();
    void linesHoldLoopDurationAndRowPaths();
    void slideListFileBytes();
    void durationLine_data();
    void durationLine();
    void sort_data();
    void sort();
    void emptySizeTextComesFirstInBothDirections();
    void move_data();
    void move();
    void fits_data();
    void fits();

  private:
    QTemporaryDir dir_;
};

void TestSlideList::kindComesFromTheExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");
    QTest::newRow("JPEG") << "/x/photo.JPEG" << int(skJpeg);
    QTest::newRow("Jpg") << "A.Jpg" << int(skJpeg);
    QTest::newRow("TXT") << "notes.TXT" << int(skText);
    QTest::newRow("two dots") << "scan.tar.bmp" << int(skBmp);
    QTest::newRow("png") << "a.png" << int(skPng);
    QTest::newRow("rtf") << "a.rtf" << int(skRtf);
    QTest::newRow("gif") << "a.gif" << int(skNone);
    QTest::newRow("no extension") << "readme" << int(skNone);
    QTest::newRow("dot in a folder") << "folder.jpg/file" << int(skNone);
    QTest::newRow("empty") << "" << int(skNone);
    QTest::newRow("jpg.bak") << "a.jpg.bak" << int(skNone);
    QTest::newRow("non-ASCII upper case does not match")
        << QString::fromUtf8("a.ǰpg") << int(skNone);
}

void TestSlideList::kindComesFromTheExtension()
{
    QFETCH(QString, path);
    QFETCH(int, kind);
    QCOMPARE(FileKind(path), kind);
}

void TestSlideList::locationAndRowPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("location");
    QTest::newRow("folder") << "/pics/a.jpg"
                            << "/pics";
    QTest::newRow("root") << "/a.jpg"
                          << "/";
    QTest::newRow("deep") << "/a/b/c/d.png"
                          << "/a/b/c";
}

void TestSlideList::locationAndRowPath()
{
    QFETCH(QString, path);
    QFETCH(QString, location);
    QCOMPARE(slideLocation(path), location);
    QCOMPARE(slideRowPath(location, slideFileName(path)), path);
}

void TestSlideList::rowShowsTheFile()
{
    QTreeWidget list;
    setupSlideColumns(list);
    AddSlideFile(list, sample("rle4.bmp"), {});
    const QString text = dir_.filePath("agenda.rtf");
    writeWholeFile(text, "{\\rtf1 Agenda}");
    AddSlideFile(list, text, {});
    AddSlideFile(list, dir_.filePath("gone.txt"), {});
    AddSlideFile(list, dir_.filePath("a.gif"), {});
    QCOMPARE(list.topLevelItemCount(), 3);
    const QTreeWidgetItem *picture = list.topLevelItem(0);
    QCOMPARE(picture->text(colName), QStringLiteral("rle4.bmp"));
    QCOMPARE(picture->text(colSize), QStringLiteral("126"));
    QVERIFY(!picture->text(colType).isEmpty());
    QVERIFY(picture->text(colType).size() <= 79);
    QCOMPARE(picture->text(colLocation), QStringLiteral(QUORIX_TEST_DATA "/slides"));
    QCOMPARE(picture->text(colDimensions), QStringLiteral("8 X 2"));
    QCOMPARE(rowPath(*picture), sample("rle4.bmp"));
    QCOMPARE(list.topLevelItem(1)->text(colDimensions), QString());
    QCOMPARE(list.topLevelItem(2)->text(colSize), QStringLiteral("-1"));
}

void TestSlideList::duplicatesAreSkippedUnlessOpening()
{
    // File names are case-sensitive here: IMG_1.RTF and img_1.rtf are two files, and a
    // show may hold both.
    const QString lower = dir_.filePath("dup/img_1.rtf");
    const QString upper = dir_.filePath("dup/IMG_1.RTF");
    QDir(dir_.path()).mkpath("dup");
    writeWholeFile(lower, "{\\rtf1 x}");
    writeWholeFile(upper, "{\\rtf1 X}");
    QTreeWidget list;
    AddSlideFile(list, lower, {});
    AddSlideFile(list, upper, {});
    QCOMPARE(names(list), QStringList({"img_1.rtf", "IMG_1.RTF"}));
    AddSlideFile(list, upper, {});
    QCOMPARE(list.topLevelItemCount(), 2);
    AddSlideFile(list, lower, QStringLiteral("open"));
    QCOMPARE(list.topLevelItemCount(), 3);
    AddSlideFile(list, lower, {});
    QCOMPARE(list.topLevelItemCount(), 3);
    AddSlideFile(list, dir_.filePath("dup/a.gif"), QStringLiteral("open"));
    QCOMPARE(list.topLevelItemCount(), 3);
}

void TestSlideList::unreadablePictureKeepsItsRowWithoutDimensions()
{
    const QString broken = dir_.filePath("broken.png");
    writeWholeFile(broken, "not a picture at all");
    QTreeWidget list;
    QVERIFY_THROWS_EXCEPTION(ImageError, AddSlideFile(list, broken, {}));
    QCOMPARE(list.topLevelItemCount(), 1);
    const QTreeWidgetItem *r = list.topLevelItem(0);
    QCOMPARE(r->text(colName), QStringLiteral("broken.png"));
    QCOMPARE(r->text(colSize), QStringLiteral("20"));
    QVERIFY(!r->text(colType).isEmpty());
    QCOMPARE(r->text(colLocation), dir_.path());
    QCOMPARE(r->text(colDimensions), QString());
}

void TestSlideList::linesHoldLoopDurationAndRowPaths()
{
    QTreeWidget list;
    QCOMPARE(slideListLines(false, 1, list), QStringList({"0", "1"}));
    row(list, "a.jpg", "1", {}, "/pics");
    row(list, "b.rtf", "1", {}, "/");
    QCOMPARE(slideListLines(true, 5, list), QStringList({"1", "5", "/pics/a.jpg", "/b.rtf"}));
}

void TestSlideList::slideListFileBytes()
{
    const QString path = dir_.filePath("show.obl");
    saveSlideList(path, {"0", "1"});
    QCOMPARE(readWholeFile(path), QByteArray("0\r\n1\r\n"));
    saveSlideList(path, {"1", "5", "/pics/a.jpg", QString::fromUtf8("/notes/agenda ž.rtf")});
    QCOMPARE(readWholeFile(path),
             QByteArray("1\r\n5\r\n/pics/a.jpg\r\n/notes/agenda \xC5\xBE.rtf\r\n"));
    // Unix line ends and a last line without one read the same.
    writeWholeFile(path, "1\n5\n/pics/a.jpg");
    QCOMPARE(readSlideList(path), QStringList({"1", "5", "/pics/a.jpg"}));
    QCOMPARE(lineAt(readSlideList(path), 7), QString());
}

void TestSlideList::durationLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("duration"); // 0: refused
    QTest::newRow("5") << "5" << 5;
    QTest::newRow("0 gives 1") << "0" << 1;
    QTest::newRow("negative gives 1") << "-7" << 1;
    QTest::newRow("250 gives 100") << "250" << 100;
    QTest::newRow("huge gives 100") << "99999999999" << 100;
    QTest::newRow("word") << "six" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("fraction") << "2.5" << 0;
}

void TestSlideList::durationLine()
{
    QFETCH(QString, line);
    QFETCH(int, duration);
    if (duration == 0)
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, slideListDuration(line));
    else
        QCOMPARE(slideListDuration(line), duration);
    QVERIFY(!slideListLoops({"1 ", "5"}));
    QVERIFY(!slideListLoops({"true", "5"}));
    QVERIFY(slideListLoops({"1", "5"}));
}

void TestSlideList::sort_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("order");
    // b: 900 B, 1024 X 768; a: 10000 B, 800 X 600; C: 50 B in another folder.
    QTest::newRow("size ascending") << int(colSize) << false << QStringList{"C", "b", "a"};
    QTest::newRow("size descending") << int(colSize) << true << QStringList{"a", "b", "C"};
    QTest::newRow("name ignores case") << int(colName) << false << QStringList{"a", "b", "C"};
    QTest::newRow("dimensions as text")
        << int(colDimensions) << false << QStringList{"C", "b", "a"};
    QTest::newRow("same location by name")
        << int(colLocation) << false << QStringList{"a", "b", "C"};
}

void TestSlideList::sort()
{
    QFETCH(int, column);
    QFETCH(bool, descending);
    QFETCH(QStringList, order);
    QTreeWidget list;
    row(list, "b", "900", "PNG", "/p", "1024 X 768");
    row(list, "C", "50", "PNG", "/q", "");
    row(list, "a", "10000", "PNG", "/p", "800 X 600")->setSelected(true);
    sortSlideRows(list, column, descending);
    QCOMPARE(names(list), order);
    QCOMPARE(list.selectedItems().size(), 1);
    QCOMPARE(list.selectedItems().first()->text(colName), QStringLiteral("a"));
}

void TestSlideList::emptySizeTextComesFirstInBothDirections()
{
    QTreeWidget list;
    row(list, "x", "5");
    row(list, "y", "");
    row(list, "z", "7");
    sortSlideRows(list, colSize, true);
    QCOMPARE(names(list), QStringList({"y", "z", "x"}));
    sortSlideRows(list, colSize, false);
    QCOMPARE(names(list), QStringList({"y", "x", "z"}));
}

void TestSlideList::move_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("up") << 1 << 0 << QStringList{"b", "a", "c"};
    QTest::newRow("down") << 0 << 2 << QStringList{"b", "a", "c"};
    QTest::newRow("up from the top goes to the end") << 0 << -1 << QStringList{"b", "c", "a"};
    QTest::newRow("down from the bottom stays") << 2 << 4 << QStringList{"a", "b", "c"};
}

void TestSlideList::move()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, order);
    QTreeWidget list;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const char *n : {"a", "b", "c"})
        row(list, n, "1");
    list.topLevelItem(from)->setSelected(true);
    const QString moved = list.topLevelItem(from)->text(colName);
    MoveListItem(list, from, to);
    QCOMPARE(names(list), order);
    QCOMPARE(list.selectedItems().size(), 1);
    QCOMPARE(list.selectedItems().first()->text(colName), moved);
}

void TestSlideList::fits_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("setup");
    QTest::addColumn<QSize>("page");
    QTest::newRow("landscape") << QSize(1024, 768) << QSize(209, 156) << QSize(233, 174);
    QTest::newRow("portrait") << QSize(600, 800) << QSize(156, 209) << QSize(132, 177);
    QTest::newRow("square") << QSize(1000, 1000) << QSize(209, 209) << QSize(233, 233);
    QTest::newRow("no pixels") << QSize(0, 0) << QSize() << QSize(233, 0);
}

void TestSlideList::fits()
{
    QFETCH(QSize, source);
    QFETCH(QSize, setup);
    QFETCH(QSize, page);
    QCOMPARE(slideFitSize(source, SlideFit::Setup), setup);
    QCOMPARE(slideFitSize(source, SlideFit::Page), page);
}

QTEST_MAIN(TestSlideList)
#include "tst_slidelist.moc"
