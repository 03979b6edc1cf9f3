// The editor's font-name box: its list of families and its owner-drawn entries.
#include "text/FontComboBox.h"

#include <QFontDatabase>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace quorix;

namespace {

// '.' background, 'g' grey, 'b' black.
QStringList picture(const QImage &image, const QRect &area)
{
    QStringList rows;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QString row;
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFF;
            row += c == 0x808080 ? QLatin1Char('g') : c == 0 ? QLatin1Char('b') : QLatin1Char('.');
        }
        rows << row;
    }
    return rows;
}

const QStringList kIcon{
    "gggggggg....", //
    "g..gg..g....", //
    "g..gg..g....", //
    "...gbbbbbbbb", //
    "...gb..bb..b", //
    "...gb..bb..b", //
    "...gg..bb...", //
    "...gg..bb...", //
    ".ggggg.bb...", //
    ".......bb...", //
    ".......bb...", //
    ".....bbbbb..", //
};

int indexWhere(const FontComboBox &box, bool outline)
{
    for (int i = 0; i < box.count(); ++i) {
        if (box.isOutlineFont(i) == outline)
            return i;
    }
    return -1;
}

} // namespace

class TestFontComboBox : public QObject
{
    Q_OBJECT

  private slots:
    void listsEveryFamilyOnceWithDefaultSortedWithoutCase()
    {
        FontComboBox box;
        QStringList names;
        for (int i = 0; i < box.count(); ++i)
            names << box.itemText(i);
        QVERIFY(names.contains(QStringLiteral("Default")));
        QCOMPARE(names.count(QStringLiteral("Default")), 1);
        for (const QString &family : QFontDatabase::families())
            QCOMPARE(names.count(family), 1);
        QCOMPARE(names.size(), QSet<QString>(names.begin(), names.end()).size());
        for (int i = 1; i < names.size(); ++i)
            QVERIFY2(names[i - 1].compare(names[i], Qt::CaseInsensitive) <= 0,
                     qPrintable(names[i - 1] + " > " + names[i]));
        QCOMPARE(box.currentIndex(), 0);
    }

    void onlyTheUsersChoiceRaisesChange()
    {
        FontComboBox box;
        QSignalSpy change(&box, &FontComboBox::familyChosen);
        box.setCurrentIndex(box.count() - 1);
        QCOMPARE(change.count(), 0);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Home);
        QCOMPARE(box.currentIndex(), 0);
        QCOMPARE(change.count(), 1);
    }

    void iconIsAGreyTBehindABlackT()
    {
        FontComboBox box;
        box.paintOutlineIcon(Qt::white);
        QCOMPARE(box.iconBitmap().size(), QSize(12, 12));
        QCOMPARE(picture(box.iconBitmap(), QRect(0, 0, 12, 12)), kIcon);
    }

    void listEntriesShowTheIconOnlyForOutlineFonts_data()
    {
        QTest::addColumn<bool>("outline");
        QTest::addColumn<bool>("inField");
        QTest::newRow("outline font in the list") << true << false;
        QTest::newRow("other font in the list") << false << false;
        QTest::newRow("outline font in the closed field") << true << true;
    }
    void listEntriesShowTheIconOnlyForOutlineFonts()
    {
        QFETCH(bool, outline);
        QFETCH(bool, inField);
        FontComboBox box;
        const int index = indexWhere(box, outline);
        if (index < 0)
            QSKIP("no font of that kind installed");
        QPalette pal = box.palette();
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Text, Qt::blue); // names never look like the icon's colours
        box.setPalette(pal);
        QImage item(200, 16, QImage::Format_RGB32);
        item.fill(Qt::red);
        QPainter p(&item);
        box.drawItem(p, index, QRect(0, 0, 200, 16), false, inField);
        p.end();
        const bool iconShown = outline && !inField;
        const QStringList blank(12, QString(12, QLatin1Char('.')));
        QCOMPARE(picture(item, QRect(2, 2, 12, 12)), iconShown ? kIcon : blank);
        // The whole rectangle is filled with the entry's background first.
        QCOMPARE(item.pixel(199, 0) & 0xFFFFFF, 0xFFFFFFu);
    }
};

QTEST_MAIN(TestFontComboBox)
#include "tst_fontcombobox.moc"
