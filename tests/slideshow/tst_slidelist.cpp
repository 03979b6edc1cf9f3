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
        out << slideCell(*list.topLevelItem(i), SlideColumn::Name);
    return out;
}

// A row as addSlideRow makes it, without touching the disk.
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
    QTest::addColumn<SlideKind>("kind");
    QTest::newRow("JPEG") << "/x/photo.JPEG" << SlideKind::Jpeg;
    QTest::newRow("Jpg") << "A.Jpg" << SlideKind::Jpeg;
    QTest::newRow("TXT") << "notes.TXT" << SlideKind::Text;
    QTest::newRow("two dots") << "scan.tar.bmp" << SlideKind::Bmp;
    QTest::newRow("png") << "a.png" << SlideKind::Png;
    QTest::newRow("rtf") << "a.rtf" << SlideKind::Rtf;
    QTest::newRow("gif") << "a.gif" << SlideKind::None;
    QTest::newRow("no extension") << "readme" << SlideKind::None;
    QTest::newRow("dot in a folder") << "folder.jpg/file" << SlideKind::None;
    QTest::newRow("empty") << "" << SlideKind::None;
    QTest::newRow("jpg.bak") << "a.jpg.bak" << SlideKind::None;
    QTest::newRow("non-ASCII upper case does not match")
        << QString::fromUtf8("a.ǰpg") << SlideKind::None;
}

void TestSlideList::kindComesFromTheExtension()
{
    QFETCH(QString, path);
    QFETCH(SlideKind, kind);
    QCOMPARE(slideKindOf(path), kind);
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
    addSlideRow(list, sample("rle4.bmp"), ListedPaths::Skip);
    const QString text = dir_.filePath("agenda.rtf");
    writeWholeFile(text, "{\\rtf1 Agenda}");
    addSlideRow(list, text, ListedPaths::Skip);
    addSlideRow(list, dir_.filePath("gone.txt"), ListedPaths::Skip);
    addSlideRow(list, dir_.filePath("a.gif"), ListedPaths::Skip);
    QCOMPARE(list.topLevelItemCount(), 3);
    const QTreeWidgetItem *picture = list.topLevelItem(0);
    QCOMPARE(slideCell(*picture, SlideColumn::Name), QStringLiteral("rle4.bmp"));
    QCOMPARE(slideCell(*picture, SlideColumn::Size), QStringLiteral("126"));
    QVERIFY(!slideCell(*picture, SlideColumn::Type).isEmpty());
    QVERIFY(slideCell(*picture, SlideColumn::Type).size() <= 79);
    QCOMPARE(slideCell(*picture, SlideColumn::Location),
             QStringLiteral(QUORIX_TEST_DATA "/slides"));
    QCOMPARE(slideCell(*picture, SlideColumn::Dimensions), QStringLiteral("8 X 2"));
    QCOMPARE(rowPath(*picture), sample("rle4.bmp"));
    QCOMPARE(slideCell(*list.topLevelItem(1), SlideColumn::Dimensions), QString());
    QCOMPARE(slideCell(*list.topLevelItem(2), SlideColumn::Size), QStringLiteral("-1"));
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
    addSlideRow(list, lower, ListedPaths::Skip);
    addSlideRow(list, upper, ListedPaths::Skip);
    QCOMPARE(names(list), QStringList({"img_1.rtf", "IMG_1.RTF"}));
    addSlideRow(list, upper, ListedPaths::Skip);
    QCOMPARE(list.topLevelItemCount(), 2);
    addSlideRow(list, lower, ListedPaths::AddAgain);
    QCOMPARE(list.topLevelItemCount(), 3);
    addSlideRow(list, lower, ListedPaths::Skip);
    QCOMPARE(list.topLevelItemCount(), 3);
    addSlideRow(list, dir_.filePath("dup/a.gif"), ListedPaths::AddAgain);
    QCOMPARE(list.topLevelItemCount(), 3);
}

void TestSlideList::unreadablePictureKeepsItsRowWithoutDimensions()
{
    const QString broken = dir_.filePath("broken.png");
    writeWholeFile(broken, "not a picture at all");
    QTreeWidget list;
    QVERIFY_THROWS_EXCEPTION(ImageError, addSlideRow(list, broken, ListedPaths::Skip));
    QCOMPARE(list.topLevelItemCount(), 1);
    const QTreeWidgetItem *r = list.topLevelItem(0);
    QCOMPARE(slideCell(*r, SlideColumn::Name), QStringLiteral("broken.png"));
    QCOMPARE(slideCell(*r, SlideColumn::Size), QStringLiteral("20"));
    QVERIFY(!slideCell(*r, SlideColumn::Type).isEmpty());
    QCOMPARE(slideCell(*r, SlideColumn::Location), dir_.path());
    QCOMPARE(slideCell(*r, SlideColumn::Dimensions), QString());
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
    QTest::addColumn<SlideColumn>("column");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("order");
    // b: 900 B, 1024 X 768; a: 10000 B, 800 X 600; C: 50 B in another folder.
    QTest::newRow("size ascending") << SlideColumn::Size << false << QStringList{"C", "b", "a"};
    QTest::newRow("size descending") << SlideColumn::Size << true << QStringList{"a", "b", "C"};
    QTest::newRow("name ignores case") << SlideColumn::Name << false << QStringList{"a", "b", "C"};
    QTest::newRow("dimensions as text")
        << SlideColumn::Dimensions << false << QStringList{"C", "b", "a"};
    QTest::newRow("same location by name")
        << SlideColumn::Location << false << QStringList{"a", "b", "C"};
}

void TestSlideList::sort()
{
    QFETCH(SlideColumn, column);
    QFETCH(bool, descending);
    QFETCH(QStringList, order);
    QTreeWidget list;
    row(list, "b", "900", "PNG", "/p", "1024 X 768");
    row(list, "C", "50", "PNG", "/q", "");
    row(list, "a", "10000", "PNG", "/p", "800 X 600")->setSelected(true);
    sortSlideRows(list, column, descending);
    QCOMPARE(names(list), order);
    QCOMPARE(list.selectedItems().size(), 1);
    QCOMPARE(slideCell(*list.selectedItems().first(), SlideColumn::Name), QStringLiteral("a"));
}

void TestSlideList::emptySizeTextComesFirstInBothDirections()
{
    QTreeWidget list;
    row(list, "x", "5");
    row(list, "y", "");
    row(list, "z", "7");
    sortSlideRows(list, SlideColumn::Size, true);
    QCOMPARE(names(list), QStringList({"y", "z", "x"}));
    sortSlideRows(list, SlideColumn::Size, false);
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
    const QString moved = slideCell(*list.topLevelItem(from), SlideColumn::Name);
    moveSlideRow(list, from, to);
    QCOMPARE(names(list), order);
    QCOMPARE(list.selectedItems().size(), 1);
    QCOMPARE(slideCell(*list.selectedItems().first(), SlideColumn::Name), moved);
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
