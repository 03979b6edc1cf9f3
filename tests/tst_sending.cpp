// Source modes, the automatic-sending switch, Send and the shared-folder check.
#include "AppFixture.h"
#include "ModalAnswerer.h"
#include "rtf/RtfWriter.h"
#include "text/TextPage.h"

#include "controls/ClickableLabel.h"
#include "controls/ColourPanel.h"
#include "controls/GradientButton.h"
#include "platform/BmpFile.h"

#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTextEdit>

using namespace quorix;

namespace {
const QByteArray kRun("Run\r\n");
}

class TestSending : public QObject
{
    Q_OBJECT

  private slots:
    void tickingWritesRunAndStartsTheWatch()
    {
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        const QString log = app.shared() + "quorixlog.cfg";

        m.CBX1->click();
        QVERIFY(m.CBX1->isChecked());
        QCOMPARE(readWholeFile(log), kRun);
        QVERIFY(m.Timer2->enabled());

        QFile::remove(log);
        m.CBX1->click(); // unticking writes nothing and stops the watch
        QVERIFY(!fileExists(log));
        QVERIFY(!m.Timer2->enabled());
    }

    void labelFlipsOnceAndWritesRunBothWays()
    {
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        const QString log = app.shared() + "quorixlog.cfg";

        QTest::mouseClick(m.Label1, Qt::LeftButton);
        QVERIFY(m.CBX1->isChecked());
        QCOMPARE(readWholeFile(log), kRun);

        QFile::remove(log);
        QTest::mouseClick(m.Label1, Qt::LeftButton);
        QVERIFY(!m.CBX1->isChecked());
        QCOMPARE(readWholeFile(log), kRun);
        QVERIFY(!m.Timer2->enabled());
    }

    void watchStopsItselfWhenSendingIsOff()
    {
        AppFixture app;
        app.main->Timer2->setEnabled(true);
        app.main->Timer2Timer();
        QVERIFY(!app.main->Timer2->enabled());
    }

    void sourceButtonsCommonStep_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("stops");
        QTest::newRow("clipboard") << "XiButton2" << 1 << "pa1"
                                   << "Clipboard Image" << true;
        QTest::newRow("screen") << "XiButton3" << 2 << "pa2"
                                << "Screen Image" << true;
        QTest::newRow("window") << "XiButton1" << 3 << "pa3"
                                << "Window Image" << true;
        QTest::newRow("slideshow") << "XiButton4" << 4 << "pa4"
                                   << "Slideshow" << false;
        QTest::newRow("text") << "XiButton6" << 5 << "p5"
                              << "Text" << true;
    }
    void sourceButtonsCommonStep()
    {
        QFETCH(QString, button);
        QFETCH(int, mode);
        QFETCH(QString, panel);
        QFETCH(QString, status);
        QFETCH(bool, stops);
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        m.x4Click(); // compact bar: the status label shows the source
        m.findChild<GradientButton *>(button)->click();
        QCOMPARE(m.sourceMode(), mode);
        QCOMPARE(m.D2->text(), status);
        QCOMPARE(m.stopFlag(), stops);
        for (ColourPanel *p : {m.pa1, m.pa2, m.pa3, m.pa4, m.p5})
            QCOMPARE(p->color(), p->objectName() == panel ? 13745078u : 5914424u);
    }

    void sendWithNoPictureWritesRunButNoEmptyPicture()
    {
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        m.x2->click();
        QCOMPARE(readWholeFile(app.shared() + "quorixlog.cfg"), kRun);
        // An empty picture would blank every viewer: nothing is written, and the presenter
        // is told why.
        QVERIFY(!fileExists(app.shared() + "shar.bmp"));
        QVERIFY(!m.D2->isHidden());
        QCOMPARE(m.D2->text(), QStringLiteral("Nothing to send yet"));
        QVERIFY(!m.CBX1->isChecked());
        QVERIFY(!m.Timer2->enabled());
    }

    void sendInScreenModeLeavesTheCaptureRunning()
    {
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        m.XiButton3->click();
        m.Timer3->setEnabled(false);
        m.x2->click(); // the tick inside Send starts the screen capture
        QVERIFY(m.Timer3->enabled());
        QVERIFY(!m.Timer2->enabled());
        QVERIFY(!m.CBX1->isChecked());
    }

    void sendInTextModeWritesOnlyTheText()
    {
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        m.textPage().editorDocument().setPlainText(QStringLiteral("hi"));
        m.XiButton6->click();
        m.x2->click();
        QCOMPARE(readWholeFile(app.shared() + "shar.rtf"),
                 RtfWriter::write(m.textPage().editorDocument()));
        QVERIFY(!fileExists(app.shared() + "quorixlog.cfg"));
        QVERIFY(!fileExists(app.shared() + "shar.bmp"));
    }

    void sendWithoutPointerFileAsksThenWritesTheBitmap()
    {
        AppFixture app;
        answerModal<QMessageBox>([](QMessageBox *box) {
            answerModal<OptionsDialog>([](OptionsDialog *o) { o->BitBtn1Click(); });
            box->accept();
        });
        app.main->FormCreate(); // first run: nothing configured yet
        MainWindow &m = *app.main;
        m.setSharedFolder(app.shared());
        m.state().currentBitmap = QImage(4, 3, QImage::Format_RGB32);
        QStringList seen;
        answerModal<QMessageBox>([&](QMessageBox *box) {
            seen << box->text();
            answerModal<OptionsDialog>([&](OptionsDialog *o) {
                seen << o->objectName();
                o->BitBtn1Click();
            });
            box->accept();
        });
        m.x2->click();
        QCOMPARE(seen, (QStringList{"Server's Shared folder does not exist", "foptions"}));
        QVERIFY(!fileExists(app.shared() + "quorixlog.cfg")); // no "Run" without a pointer
        QVERIFY(fileExists(app.shared() + "shar.bmp"));
    }

    void unwritableSharedFolderIsReportedAndKeepsFiles()
    {
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        m.state().currentBitmap = QImage(4, 3, QImage::Format_RGB32);
        const QByteArray settings = readWholeFile(app.shared() + "quorix.cfg");
        // A folder where the picture should go: the write must fail, whoever runs this.
        QVERIFY(QDir(app.sharedDir.path()).mkdir("shar.bmp"));
        QString report;
        answerModal<QMessageBox>([&](QMessageBox *box) {
            report = box->text();
            box->accept();
        });
        m.x2->click();
        QVERIFY2(report.contains("shar.bmp"), qPrintable(report));
        QCOMPARE(readWholeFile(app.shared() + "quorix.cfg"), settings);
        QCOMPARE(readWholeFile(app.shared() + "quorixlog.cfg"), kRun);
    }

    void vanishedSharedFolderAsksAndReports()
    {
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        m.state().currentBitmap = QImage(4, 3, QImage::Format_RGB32);
        QVERIFY(app.sharedDir.remove());
        QStringList seen;
        answerModal<QMessageBox>([&](QMessageBox *box) {
            seen << box->text();
            answerModal<OptionsDialog>([&](OptionsDialog *o) {
                o->BitBtn1Click();
                answerModal<QMessageBox>([&](QMessageBox *report) {
                    seen << report->text();
                    report->accept();
                });
            });
            box->accept();
        });
        m.x2->click();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], QStringLiteral("Server's Shared folder does not exist"));
        QVERIFY2(seen[1].contains("shar.bmp"), qPrintable(seen[1]));
        QVERIFY(fileExists(app.program("qx.cfg")));
    }

    // Without a shared folder nothing is written anywhere, the current folder included;
    // the status label says why, in the full window too.
    void noSharedFolderWritesNothingAnywhere()
    {
        AppFixture app;
        QTemporaryDir cwd;
        const QString before = QDir::currentPath();
        QDir::setCurrent(cwd.path());
        MainWindow &m = *app.main;
        m.state().programFolder = app.programDir.path() + '/';
        m.state().currentBitmap = QImage(4, 3, QImage::Format_RGB32);
        writeLineFile(app.program("qx.cfg"), {"quorix.cfg"});
        m.CBX1->setChecked(true);
        m.state().sendCurrentBitmap();
        m.textPage().editorDocument().setPlainText("hi");
        m.state().mode = smText;
        m.x2->click();
        QDir::setCurrent(before);
        QVERIFY(QDir(cwd.path()).isEmpty());
        QVERIFY(!m.D2->isHidden());
        QVERIFY2(m.D2->text().contains("shared folder"), qPrintable(m.D2->text()));
    }

    // Text and the slide show stop the screen and window captures: a capture left running
    // would go on sending its picture over theirs.
    void textAndSlideShowStopTheCaptures_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("slide show") << 4;
        QTest::newRow("text") << 5;
    }

    void textAndSlideShowStopTheCaptures()
    {
        QFETCH(int, mode);
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        m.Timer1->setEnabled(true);
        m.Timer3->setEnabled(true);
        m.red->setPlainText("accepted before"); // the editor need not open
        (mode == 4 ? m.XiButton4 : m.XiButton6)->click();
        QCOMPARE(m.sourceMode(), mode);
        QVERIFY(!m.Timer1->enabled());
        QVERIFY(!m.Timer3->enabled());
    }

    void optionsSuspendAndRestoreTheTimers()
    {
        AppFixture app;
        app.configure();
        app.main->FormCreate();
        MainWindow &m = *app.main;
        m.Timer1->setEnabled(true);
        m.Timer2->setEnabled(false);
        m.Timer3->setEnabled(true);
        bool allStopped = false;
        answerModal<OptionsDialog>([&](OptionsDialog *o) {
            allStopped = !m.Timer1->enabled() && !m.Timer2->enabled() && !m.Timer3->enabled();
            o->BitBtn1Click();
        });
        m.XiButton5->click();
        QVERIFY(allStopped);
        QVERIFY(m.Timer1->enabled());
        QVERIFY(!m.Timer2->enabled());
        QVERIFY(m.Timer3->enabled());
    }
};

QTEST_MAIN(TestSending)
#include "tst_sending.moc"
