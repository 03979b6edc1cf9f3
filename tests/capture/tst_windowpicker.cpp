// The window picker's gallery against a real Xvfb with openbox and outside windows.
#include "capture/WindowPicker.h"
#include "core/PendingMessages.h"
#include "support/OutsideWindow.h"

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

using namespace quorix;
using quorix::test::kSlowWait;
using quorix::test::OutsideWindow;

class TestWindowPicker : public QObject
{
    Q_OBJECT

    QWidget *mainWindow_ = nullptr;
    QWidget *panel_ = nullptr;

    // The build as the main window runs it.
    void build(WindowPicker &picker)
    {
        if (picker.hasGallery())
            picker.destroyGallery();
        panel_->hide();
        picker.createGallery();
        picker.enumerateWindows();
        for (int i = 0; i < picker.count(); ++i) {
            picker.xadd();
            picker.risiBmp(i);
            letPendingMessagesRun();
        }
        panel_->show();
    }

    // The tile position of the tile whose thumbnail names the window, -1 when none.
    int tileOf(const WindowPicker &picker, std::uint32_t id)
    {
        for (int i = 0; i < picker.count(); ++i)
            if (picker.table()[std::size_t(i)].handle == QString::number(id))
                return i;
        return -1;
    }

  private slots:
    void init()
    {
        mainWindow_ = new QWidget;
        mainWindow_->resize(496, 348);
        mainWindow_->setWindowTitle(QStringLiteral("Quorix"));
        QFont windowFont(QStringLiteral("MS Sans Serif"));
        windowFont.setPixelSize(11);
        mainWindow_->setFont(windowFont);
        panel_ = new QWidget(mainWindow_);
        // A panel of the main window may carry a big caption font that tiles must not inherit.
        QFont big = windowFont;
        big.setPixelSize(32);
        panel_->setFont(big);
        panel_->setObjectName(QStringLiteral("pickerPanel"));
        panel_->setGeometry(10, 40, 407, 264);
        mainWindow_->show();
        QVERIFY(QTest::qWaitForWindowExposed(mainWindow_));
    }

    void cleanup() { delete mainWindow_; }

    void tilesCarryTheOutsideWindowsHints()
    {
        OutsideWindow report(
            {"--title", "Report", "--class", "ReportWindow", "--frame-size", "800x600"});
        QVERIFY(report.waitReady());
        OutsideWindow tiny({"--title", "Tiny", "--frameless", "--size", "300x19"});
        QVERIFY(tiny.waitReady());
        WindowPicker picker(panel_, windowSystem());
        build(picker);

        const int p = tileOf(picker, report.id());
        QVERIFY(p >= 0);
        const QString n = QString::number(p);
        auto *image = panel_->findChild<QLabel *>(QStringLiteral("windowThumbnail") + n);
        auto *label = panel_->findChild<QLabel *>(QStringLiteral("windowTitle") + n);
        QVERIFY(image && label);
        const QString hint = QStringLiteral("[Class Name: ReportWindow] * [Handle: %1] * [PID: %2]")
                                 .arg(report.id())
                                 .arg(report.pid());
        QCOMPARE(label->toolTip(), hint);
        QCOMPARE(image->toolTip(), QStringLiteral("Report ") + hint);
        QCOMPARE(label->text(), QStringLiteral("Report"));
        QCOMPARE(image->property("Tag").toLongLong(), qint64(report.id()));
        QCOMPARE(label->property("Tag").toLongLong(), qint64(p));
        QCOMPARE(image->pixmap().size(), QSize(120, 90));
        QCOMPARE(image->size(), QSize(115, 115));
        auto *tile = panel_->findChild<QWidget *>(QStringLiteral("windowTile") + n);
        QCOMPARE(tile->height(), 145);
        QCOMPARE(tile->palette().color(QPalette::Window), QColor(0, 128, 192));
        auto *line = panel_->findChild<QWidget *>(QStringLiteral("windowTileLine") + n);
        QCOMPARE(line->geometry(), QRect(0, 140, 496, 1));

        // The 19-pixel window is in the table but has no tile; Quorix's own window neither.
        const int t = tileOf(picker, tiny.id());
        QVERIFY(t >= 0);
        QVERIFY(!panel_->findChild<QWidget *>(QStringLiteral("windowTile") + QString::number(t)));
        for (QLabel *l : panel_->findChildren<QLabel *>())
            QVERIFY(l->text() != QLatin1String("Quorix"));
    }

    void rebuildingDestroysThePreviousTiles()
    {
        OutsideWindow first({"--title", "First", "--size", "200x200"});
        QVERIFY(first.waitReady());
        WindowPicker picker(panel_, windowSystem());
        build(picker);
        const int p = tileOf(picker, first.id());
        QVERIFY(p >= 0);
        QPointer<QWidget> oldTile =
            panel_->findChild<QWidget *>(QStringLiteral("windowTile") + QString::number(p));
        QPointer<QScrollArea> oldGallery = picker.gallery();
        QVERIFY(oldTile);

        first.close();
        QTRY_VERIFY_WITH_TIMEOUT(tileOf((picker.destroyGallery(), picker.createGallery(),
                                         picker.enumerateWindows(), picker),
                                        first.id()) < 0,
                                 kSlowWait);
        QVERIFY(!oldTile);
        QVERIFY(!oldGallery);
        build(picker);
        QCOMPARE(panel_->findChildren<QScrollArea *>().size(), 1);
        QVERIFY(tileOf(picker, first.id()) < 0);
    }

    // A click anywhere on a thumbnail, its top edge included, reports its window; the title
    // above it is in the window's own small bold white font and covers none of it.
    void clickingAThumbnailReportsItsWindow()
    {
        OutsideWindow w({"--title", "Clickable", "--size", "300x300"});
        QVERIFY(w.waitReady());
        WindowPicker picker(panel_, windowSystem());
        QSignalSpy clicks(&picker, &WindowPicker::thumbnailClicked);
        build(picker);
        const int p = tileOf(picker, w.id());
        QVERIFY(p >= 0);
        const QString n = QString::number(p);
        auto *image = panel_->findChild<QLabel *>(QStringLiteral("windowThumbnail") + n);
        auto *label = panel_->findChild<QLabel *>(QStringLiteral("windowTitle") + n);
        QVERIFY(image && label);
        QCOMPARE(label->font().pixelSize(), mainWindow_->font().pixelSize());
        QVERIFY(label->font().bold());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        picker.gallery()->ensureWidgetVisible(image);
        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicks.count(), 1);
        QObject *sender = clicks.at(0).at(0).value<QObject *>();
        QCOMPARE(sender, image);
        QCOMPARE(sender->property("Tag").toLongLong(), qint64(w.id()));

        // The presenter's real pointer, on the thumbnail's top edge.
        mainWindow_->raise();
        mainWindow_->activateWindow();
        QTest::qWait(200);
        const QPoint top = image->mapToGlobal(QPoint(image->width() / 2, 1));
        quorix::test::runTool("xdotool", {"mousemove", QString::number(top.x()),
                                          QString::number(top.y()), "click", "1"});
        QTRY_COMPARE_WITH_TIMEOUT(clicks.count(), 2, kSlowWait);
        QCOMPARE(clicks.at(1).at(0).value<QObject *>(), image);
    }

    void titlesAreShownAsPlainText()
    {
        OutsideWindow w({"--title", "<b>bold</b> & co", "--size", "200x200"});
        QVERIFY(w.waitReady());
        WindowPicker picker(panel_, windowSystem());
        build(picker);
        const int p = tileOf(picker, w.id());
        QVERIFY(p >= 0);
        auto *label =
            panel_->findChild<QLabel *>(QStringLiteral("windowTitle") + QString::number(p));
        auto *image =
            panel_->findChild<QLabel *>(QStringLiteral("windowThumbnail") + QString::number(p));
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(image->property("Hint").toString().startsWith(
            QLatin1String("<b>bold</b> & co [Class")));
        QVERIFY(image->toolTip().contains(QLatin1String("&lt;b&gt;")));
    }
};

QTEST_MAIN(TestWindowPicker)
#include "tst_windowpicker.moc"
