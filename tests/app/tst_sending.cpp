// Source modes, the automatic-sending switch, Send and the shared-folder check.
#include "rtf/RtfWriter.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "text/TextPage.h"

#include "controls/ClickableLabel.h"
#include "controls/ColourPanel.h"
#include "controls/GradientButton.h"
#include "imaging/BmpFile.h"

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
        app.main->startUp();
        MainWindow &m = *app.main;
        const QString log = app.shared() + "quorixlog.cfg";

        m.autoSendBox_->click();
        QVERIFY(m.autoSendBox_->isChecked());
        QCOMPARE(readWholeFile(log), kRun);
        QVERIFY(m.autoSendWatch_->enabled());

        QFile::remove(log);
        m.autoSendBox_->click(); // unticking writes nothing and stops the watch
        QVERIFY(!fileExists(log));
        QVERIFY(!m.autoSendWatch_->enabled());
    }

    void labelFlipsOnceAndWritesRunBothWays()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        const QString log = app.shared() + "quorixlog.cfg";

        QTest::mouseClick(m.autoSendLabel_, Qt::LeftButton);
        QVERIFY(m.autoSendBox_->isChecked());
        QCOMPARE(readWholeFile(log), kRun);

        QFile::remove(log);
        QTest::mouseClick(m.autoSendLabel_, Qt::LeftButton);
        QVERIFY(!m.autoSendBox_->isChecked());
        QCOMPARE(readWholeFile(log), kRun);
        QVERIFY(!m.autoSendWatch_->enabled());
    }

    void watchStopsItselfWhenSendingIsOff()
    {
        AppFixture app;
        app.main->autoSendWatch_->setEnabled(true);
        app.main->onAutoSendWatchTick();
        QVERIFY(!app.main->autoSendWatch_->enabled());
    }

    void sourceButtonsCommonStep_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("stops");
        QTest::newRow("clipboard") << "clipboardButton" << 1 << "clipboardFrame"
                                   << "Clipboard Image" << true;
        QTest::newRow("screen") << "screenButton" << 2 << "screenFrame"
                                << "Screen Image" << true;
        QTest::newRow("window") << "windowButton" << 3 << "windowFrame"
                                << "Window Image" << true;
        QTest::newRow("slideshow") << "slideShowButton" << 4 << "slideShowFrame"
                                   << "Slideshow" << false;
        QTest::newRow("text") << "textButton" << 5 << "textFrame"
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
        app.main->startUp();
        MainWindow &m = *app.main;
        m.toggleFolded(); // compact bar: the status label shows the source
        m.findChild<GradientButton *>(button)->click();
        QCOMPARE(m.sourceMode(), mode);
        QCOMPARE(m.statusLabel_->text(), status);
        QCOMPARE(m.stopFlag(), stops);
        for (ColourPanel *p :
             {m.clipboardFrame_, m.screenFrame_, m.windowFrame_, m.slideShowFrame_, m.textFrame_})
            QCOMPARE(p->color(), p->objectName() == panel ? 13745078u : 5914424u);
    }

    void sendWithNoPictureWritesRunButNoEmptyPicture()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        m.sendButton_->click();
        QCOMPARE(readWholeFile(app.shared() + "quorixlog.cfg"), kRun);
        // An empty picture would blank every viewer: nothing is written, and the presenter
        // is told why.
        QVERIFY(!fileExists(app.shared() + "shar.bmp"));
        QVERIFY(!m.statusLabel_->isHidden());
        QCOMPARE(m.statusLabel_->text(), QStringLiteral("Nothing to send yet"));
        QVERIFY(!m.autoSendBox_->isChecked());
        QVERIFY(!m.autoSendWatch_->enabled());
    }

    void sendInScreenModeLeavesTheCaptureRunning()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        m.screenButton_->click();
        m.screenCaptureTimer_->setEnabled(false);
        m.sendButton_->click(); // the tick inside Send starts the screen capture
        QVERIFY(m.screenCaptureTimer_->enabled());
        QVERIFY(!m.autoSendWatch_->enabled());
        QVERIFY(!m.autoSendBox_->isChecked());
    }

    void sendInTextModeWritesOnlyTheText()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        m.textPage().editorDocument().setPlainText(QStringLiteral("hi"));
        m.textButton_->click();
        m.sendButton_->click();
        QCOMPARE(readWholeFile(app.shared() + "shar.rtf"),
                 RtfWriter::write(m.textPage().editorDocument()));
        QVERIFY(!fileExists(app.shared() + "quorixlog.cfg"));
        QVERIFY(!fileExists(app.shared() + "shar.bmp"));
    }

    void sendWithoutPointerFileAsksThenWritesTheBitmap()
    {
        AppFixture app;
        answerModal<QMessageBox>([](QMessageBox *box) {
            answerModal<OptionsDialog>([](OptionsDialog *o) { o->onCancelClicked(); });
            box->accept();
        });
        app.main->startUp(); // first run: nothing configured yet
        MainWindow &m = *app.main;
        m.setSharedFolder(app.shared());
        m.state().currentBitmap = QImage(4, 3, QImage::Format_RGB32);
        QStringList seen;
        answerModal<QMessageBox>([&](QMessageBox *box) {
            seen << box->text();
            answerModal<OptionsDialog>([&](OptionsDialog *o) {
                seen << o->objectName();
                o->onCancelClicked();
            });
            box->accept();
        });
        m.sendButton_->click();
        QCOMPARE(seen, (QStringList{"Server's Shared folder does not exist", "optionsDialog"}));
        QVERIFY(!fileExists(app.shared() + "quorixlog.cfg")); // no "Run" without a pointer
        QVERIFY(fileExists(app.shared() + "shar.bmp"));
    }

    void unwritableSharedFolderIsReportedAndKeepsFiles()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
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
        m.sendButton_->click();
        QVERIFY2(report.contains("shar.bmp"), qPrintable(report));
        QCOMPARE(readWholeFile(app.shared() + "quorix.cfg"), settings);
        QCOMPARE(readWholeFile(app.shared() + "quorixlog.cfg"), kRun);
    }

    void vanishedSharedFolderAsksAndReports()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        m.state().currentBitmap = QImage(4, 3, QImage::Format_RGB32);
        QVERIFY(app.sharedDir.remove());
        QStringList seen;
        answerModal<QMessageBox>([&](QMessageBox *box) {
            seen << box->text();
            answerModal<OptionsDialog>([&](OptionsDialog *o) {
                o->onCancelClicked();
                answerModal<QMessageBox>([&](QMessageBox *report) {
                    seen << report->text();
                    report->accept();
                });
            });
            box->accept();
        });
        m.sendButton_->click();
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], QStringLiteral("Server's Shared folder does not exist"));
        // The compact picture is the first file of a picture written.
        QVERIFY2(seen[1].contains("shar.png"), qPrintable(seen[1]));
        QVERIFY(fileExists(app.program("qx.cfg")));
    }

    // Without a shared folder nothing is written anywhere, the current folder included;
    // the status label says why, in the full window too.
    // The status strip has one slot: a frame's "written" that comes back after a newer
    // problem was shown (the window is gone, no shared folder any more) clears neither.
    void lateWrittenFrameClearsNoNewerProblem()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        SharedState &state = m.state();
        QImage frame(64, 48, QImage::Format_RGB32);
        frame.fill(Qt::blue);
        QCOMPARE(state.sendFrame(frame), Sent::Written);
        state.reportProblem(QStringLiteral("The window is gone: choose another"));
        state.finishSending();
        QTest::qWait(50); // the frame's outcome arrives
        QVERIFY(fileExists(app.shared() + "shar.bmp"));
        QCOMPARE(m.statusLabel_->text(), QStringLiteral("The window is gone: choose another"));

        QCOMPARE(state.sendFrame(frame), Sent::Written);
        const QString folder = state.sharedFolder();
        state.setSharedFolder(QString());
        QCOMPARE(state.sendFrame(frame), Sent::NoFolder);
        state.clearProblem();
        state.finishSending();
        QTest::qWait(50);
        QCOMPARE(m.statusLabel_->text(), QStringLiteral("No shared folder: choose one in Options"));
        // A frame asked after it settles it.
        state.setSharedFolder(folder);
        QCOMPARE(state.sendFrame(frame), Sent::Written);
        state.finishSending();
        QTRY_VERIFY(!m.statusLabel_->text().contains(QLatin1String("shared folder")));
    }

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
        m.autoSendBox_->setChecked(true);
        m.state().sendCurrentBitmap();
        m.textPage().editorDocument().setPlainText("hi");
        m.state().mode = smText;
        m.sendButton_->click();
        QDir::setCurrent(before);
        QVERIFY(QDir(cwd.path()).isEmpty());
        QVERIFY(!m.statusLabel_->isHidden());
        QVERIFY2(m.statusLabel_->text().contains("shared folder"),
                 qPrintable(m.statusLabel_->text()));
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
        app.main->startUp();
        MainWindow &m = *app.main;
        m.windowCaptureTimer_->setEnabled(true);
        m.screenCaptureTimer_->setEnabled(true);
        m.textView_->setPlainText("accepted before"); // the editor need not open
        (mode == 4 ? m.slideShowButton_ : m.textButton_)->click();
        QCOMPARE(m.sourceMode(), mode);
        QVERIFY(!m.windowCaptureTimer_->enabled());
        QVERIFY(!m.screenCaptureTimer_->enabled());
    }

    void optionsSuspendAndRestoreTheTimers()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        m.windowCaptureTimer_->setEnabled(true);
        m.autoSendWatch_->setEnabled(false);
        m.screenCaptureTimer_->setEnabled(true);
        bool allStopped = false;
        answerModal<OptionsDialog>([&](OptionsDialog *o) {
            allStopped = !m.windowCaptureTimer_->enabled() && !m.autoSendWatch_->enabled() &&
                         !m.screenCaptureTimer_->enabled();
            o->onCancelClicked();
        });
        m.optionsButton_->click();
        QVERIFY(allStopped);
        QVERIFY(m.windowCaptureTimer_->enabled());
        QVERIFY(!m.autoSendWatch_->enabled());
        QVERIFY(m.screenCaptureTimer_->enabled());
    }
};

QTEST_MAIN(TestSending)
#include "tst_sending.moc"
