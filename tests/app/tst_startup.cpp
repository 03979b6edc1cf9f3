// Start-up: finding the shared folder, restoring and storing the position, folding.
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"

#include "controls/ColourPanel.h"
#include "controls/DragPanel.h"
#include "controls/GradientButton.h"
#include "core/IniFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStackedWidget>
#include <QTest>

using namespace quorix;

class TestStartup : public QObject
{
    Q_OBJECT

    QSize screen() const { return QGuiApplication::primaryScreen()->geometry().size(); }

  private slots:
    void layoutAsCreated()
    {
        AppFixture app;
        MainWindow &m = *app.main;
        QCOMPARE(m.size(), QSize(496, 348));
        QCOMPARE(m.pos(), QPoint(290, 172));
        QVERIFY(m.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(m.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(m.windowTitle(), QStringLiteral("Quorix"));
        QCOMPARE(m.pages_->count(), 5);
        QCOMPARE(m.pages_->geometry(), QRect(1, 16, 407, 264));
        QCOMPARE(m.pages_->currentIndex(), 4);
        QCOMPARE(m.clipboardButton_->toolTip(), QStringLiteral("Clipboard Image"));
        QCOMPARE(m.textButton_->toolTip(), QStringLiteral("Text"));
        QCOMPARE(m.slideShowFrame_->geometry(), QRect(7, 149, 51, 38));
        QVERIFY(m.findChild<QWidget *>("sendButton"));
        QVERIFY(!m.windowCaptureTimer_->enabled() && !m.autoSendWatch_->enabled() &&
                !m.screenCaptureTimer_->enabled());
        QCOMPARE(m.autoSendWatch_->interval(), 100);
    }

    void noPointerFileAsksForTheFolder()
    {
        AppFixture app;
        writeWholeFile(app.program("Progset.cfg"), "[Velikost]\r\nLevo=100\r\nGor=0x20\r\n");
        QStringList seen;
        answerModal<QMessageBox>([&](QMessageBox *box) {
            seen << box->text();
            answerModal<OptionsDialog>([&](OptionsDialog *options) {
                seen << options->windowTitle();
                options->onCancelClicked();
            });
            box->accept();
        });
        app.main->startUp();
        QCOMPARE(seen, (QStringList{"Server's Shared folder does not exist", "Options"}));
        QCOMPARE(app.main->pos(), QPoint(100, 32));
        QCOMPARE(app.main->sharedFolder(), QString());
        QCOMPARE(app.main->pages_->currentIndex(), 1);
    }

    void pointerToMissingFileStopsStartUp()
    {
        AppFixture app;
        writeLineFile(app.program("qx.cfg"), {app.shared() + "gone/quorix.cfg"});
        writeWholeFile(app.program("Progset.cfg"), "[Velikost]\r\nLevo=100\r\nGor=100\r\n");
        int boxes = 0;
        bool optionsOpened = false;
        answerModal<QMessageBox>([&](QMessageBox *box) {
            ++boxes;
            box->accept();
        });
        answerModal<OptionsDialog>(
            [&](OptionsDialog *o) {
                optionsOpened = true;
                o->onCancelClicked();
            },
            300);
        app.main->startUp();
        QTest::qWait(350);
        QCOMPARE(boxes, 1);
        QVERIFY(!optionsOpened);
        QCOMPARE(app.main->pos(), QPoint(290, 172)); // position not restored
        QCOMPARE(app.main->sharedFolder(), QString());
    }

    void viewerSettings_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("folderSuffix"); // appended to the temp shared folder, "" = none
        QTest::addColumn<int>("interval");
        QTest::newRow("eight lines")
            << QStringList{"%1shar.bmp", "0", "0", "0", "1", "3", "", "0"} << "/" << 300;
        QTest::newRow("line 5 zero stops the watch")
            << QStringList{"%1shar.bmp", "0", "0", "0", "1", "0", "", "0"} << "/" << 0;
        // Mended: a short file or a word on line 5 still gives the folder of line 0.
        QTest::newRow("short file") << QStringList{"%1shar.bmp", "1"} << "/" << 100;
        QTest::newRow("line 5 not a number")
            << QStringList{"%1shar.bmp", "0", "0", "0", "1", "yes", "", "0"} << "/" << 100;
        QTest::newRow("line 5 too large for a timer")
            << QStringList{"%1shar.bmp", "0", "0", "0", "1", "99999999999", "", "0"} << "/" << 100;
    }
    void viewerSettings()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, interval);
        AppFixture app;
        lines[0] = lines[0].arg(app.shared());
        app.configure(lines);
        app.main->startUp();
        QCOMPARE(app.main->sharedFolder(), app.shared());
        QCOMPARE(app.main->autoSendWatch_->interval(), interval);
    }

    void bareFileNameGivesRootFolder()
    {
        AppFixture app;
        writeLineFile(app.shared() + "quorix.cfg", {"shar.bmp", "0", "0", "0", "1", "1", "", "0"});
        writeLineFile(app.program("qx.cfg"), {app.shared() + "quorix.cfg"});
        app.main->startUp();
        QCOMPARE(app.main->sharedFolder(), QStringLiteral("/"));
    }

    void placementIsClamped_data()
    {
        QTest::addColumn<QString>("levo");
        QTest::addColumn<QString>("gor");
        QTest::addColumn<QPoint>("expected");
        const QSize s = QGuiApplication::primaryScreen()->geometry().size();
        QTest::newRow("too far right")
            << QString::number(s.width() - 400) << "40" << QPoint(s.width() - 496 - 11, 40);
        QTest::newRow("exactly fits")
            << QString::number(s.width() - 496) << "40" << QPoint(s.width() - 496, 40);
        QTest::newRow("too low") << "10" << QString::number(s.height())
                                 << QPoint(10, s.height() - 348 - 11);
        QTest::newRow("negative stays") << "-30"
                                        << "-20" << QPoint(-30, -20);
        QTest::newRow("not a number keeps that edge") << "left"
                                                      << "0x20" << QPoint(290, 32);
    }
    void placementIsClamped()
    {
        QFETCH(QString, levo);
        QFETCH(QString, gor);
        QFETCH(QPoint, expected);
        AppFixture app;
        app.configure();
        writeWholeFile(
            app.program("Progset.cfg"),
            QStringLiteral("[velikost]\r\nlevo = %1\r\nGOR=%2\r\n").arg(levo, gor).toLocal8Bit());
        app.main->startUp();
        QCOMPARE(app.main->pos(), expected);
    }

    void positionIsStoredAtTheEnd()
    {
        AppFixture app;
        app.configure();
        writeWholeFile(app.program("Progset.cfg"),
                       "; mine\r\n[Other]\r\nx=1\r\n[Velikost]\r\nLevo=5\r\n");
        app.main->startUp();
        app.main->move(321, -7);
        app.main->close();
        app.main.reset();
        QCOMPARE(readWholeFile(app.program("Progset.cfg")),
                 QByteArray("[Other]\r\nx=1\r\n\r\n[Velikost]\r\nLevo=321\r\nGor=-7\r\n\r\n"));
    }

    void foldAndUnfold()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        // A double click on the bare background folds, a second one unfolds.
        QTest::mouseDClick(m.background_, Qt::LeftButton, {}, QPoint(250, 30));
        QCOMPARE(m.size(), QSize(316, 50));
        QCOMPARE(m.sendButton_->pos(), QPoint(228, 8));
        QCOMPARE(m.closeButton_->x(), 290);
        QCOMPARE(m.foldButton_->x(), 290);
        QCOMPARE(m.statusLabel_->x(), 65);
        QVERIFY(m.statusLabel_->isVisible());
        QVERIFY(!m.mask().contains(QPoint(0, 0)));
        QVERIFY(!m.mask().contains(QPoint(315, 49)));
        QVERIFY(m.mask().contains(QPoint(315, 25)));
        QVERIFY(!m.mask().contains(QPoint(316, 25)));
        QVERIFY(m.mask().contains(QPoint(3, 3)));

        m.toggleFolded();
        QCOMPARE(m.size(), QSize(496, 348));
        QCOMPARE(m.sendButton_->pos(), QPoint(408, 14));
        QCOMPARE(m.closeButton_->x(), 470);
        QCOMPARE(m.statusLabel_->x(), 184);
        QVERIFY(!m.statusLabel_->isVisible());
        QVERIFY(m.mask().contains(QPoint(495, 200)));
        QVERIFY(!m.mask().contains(QPoint(495, 347)));
        QVERIFY(!m.mask().contains(QPoint(0, 347)));
    }

    void failingPlacementFileIsReportedAndStartUpGoesOn()
    {
        AppFixture app;
        app.configure();
        QDir(app.programDir.path()).mkdir("Progset.cfg"); // exists, but cannot be read
        // A folder is not a file: the placement is taken as missing and nothing is shown.
        bool reported = false;
        answerModal<QMessageBox>(
            [&](QMessageBox *b) {
                reported = true;
                b->accept();
            },
            300);
        app.main->startUp();
        QTest::qWait(350);
        QVERIFY(!reported);
        QCOMPARE(app.main->sharedFolder(), app.shared());

        // Storing the position into it fails at the end: one error report, then the
        // program goes on closing.
        QString text;
        answerModal<QMessageBox>([&](QMessageBox *b) {
            text = b->text();
            b->accept();
        });
        app.main.reset();
        QVERIFY2(text.contains("Progset.cfg"), qPrintable(text));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
