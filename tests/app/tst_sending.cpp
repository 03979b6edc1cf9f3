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

        child<QCheckBox>(m, "autoSendBox")->click();
        QVERIFY(child<QCheckBox>(m, "autoSendBox")->isChecked());
        QCOMPARE(readWholeFile(log), kRun);
        QVERIFY(child<RestartOnChangeTimer>(m, "autoSendWatch")->enabled());

        QFile::remove(log);
        child<QCheckBox>(m, "autoSendBox")->click(); // unticking writes nothing and stops the watch
        QVERIFY(!fileExists(log));
        QVERIFY(!child<RestartOnChangeTimer>(m, "autoSendWatch")->enabled());
    }

    void labelFlipsOnceAndWritesRunBothWays()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        const QString log = app.shared() + "quorixlog.cfg";

        QTest::mouseClick(child<ClickableLabel>(m, "autoSendLabel"), Qt::LeftButton);
        QVERIFY(child<QCheckBox>(m, "autoSendBox")->isChecked());
        QCOMPARE(readWholeFile(log), kRun);

        QFile::remove(log);
        QTest::mouseClick(child<ClickableLabel>(m, "autoSendLabel"), Qt::LeftButton);
        QVERIFY(!child<QCheckBox>(m, "autoSendBox")->isChecked());
        QCOMPARE(readWholeFile(log), kRun);
        QVERIFY(!child<RestartOnChangeTimer>(m, "autoSendWatch")->enabled());
    }

    void watchStopsItselfWhenSendingIsOff()
    {
        AppFixture app;
        child<RestartOnChangeTimer>(*app.main, "autoSendWatch")->setEnabled(true);
        app.main->onAutoSendWatchTick();
        QVERIFY(!child<RestartOnChangeTimer>(*app.main, "autoSendWatch")->enabled());
    }

    void sourceButtonsCommonStep_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<SourceMode>("mode");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("stops");
        QTest::newRow("clipboard") << "clipboardButton" << SourceMode::Clipboard << "clipboardFrame"
                                   << "Clipboard Image" << true;
        QTest::newRow("screen") << "screenButton" << SourceMode::Screen << "screenFrame"
                                << "Screen Image" << true;
        QTest::newRow("window") << "windowButton" << SourceMode::Window << "windowFrame"
                                << "Window Image" << true;
        QTest::newRow("slideshow") << "slideShowButton" << SourceMode::SlideShow << "slideShowFrame"
                                   << "Slideshow" << false;
        QTest::newRow("text") << "textButton" << SourceMode::Text << "textFrame"
                              << "Text" << true;
    }
    void sourceButtonsCommonStep()
    {
        QFETCH(QString, button);
        QFETCH(SourceMode, mode);
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
        QCOMPARE(child<QLabel>(m, "statusLabel")->text(), status);
        QCOMPARE(m.stopFlag(), stops);
        for (ColourPanel *p :
             {child<ColourPanel>(m, "clipboardFrame"), child<ColourPanel>(m, "screenFrame"),
              child<ColourPanel>(m, "windowFrame"), child<ColourPanel>(m, "slideShowFrame"),
              child<ColourPanel>(m, "textFrame")})
            QCOMPARE(p->colour(), p->objectName() == panel ? 13745078u : 5914424u);
    }

    void sendWithNoPictureWritesRunButNoEmptyPicture()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        child<GradientButton>(m, "sendButton")->click();
        QCOMPARE(readWholeFile(app.shared() + "quorixlog.cfg"), kRun);
        // An empty picture would blank every viewer: nothing is written, and the presenter
        // is told why.
        QVERIFY(!fileExists(app.shared() + "shar.bmp"));
        QVERIFY(!child<QLabel>(m, "statusLabel")->isHidden());
        QCOMPARE(child<QLabel>(m, "statusLabel")->text(), QStringLiteral("Nothing to send yet"));
        QVERIFY(!child<QCheckBox>(m, "autoSendBox")->isChecked());
        QVERIFY(!child<RestartOnChangeTimer>(m, "autoSendWatch")->enabled());
    }

    void sendInScreenModeLeavesTheCaptureRunning()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        child<GradientButton>(m, "screenButton")->click();
        child<RestartOnChangeTimer>(m, "screenCaptureTimer")->setEnabled(false);
        // The tick inside Send starts the screen capture.
        child<GradientButton>(m, "sendButton")->click();
        QVERIFY(child<RestartOnChangeTimer>(m, "screenCaptureTimer")->enabled());
        QVERIFY(!child<RestartOnChangeTimer>(m, "autoSendWatch")->enabled());
        QVERIFY(!child<QCheckBox>(m, "autoSendBox")->isChecked());
    }

    void sendInTextModeWritesOnlyTheText()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        m.textPage().editorDocument().setPlainText(QStringLiteral("hi"));
        child<GradientButton>(m, "textButton")->click();
        child<GradientButton>(m, "sendButton")->click();
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
        child<GradientButton>(m, "sendButton")->click();
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
        child<GradientButton>(m, "sendButton")->click();
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
        child<GradientButton>(m, "sendButton")->click();
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
        QCOMPARE(child<QLabel>(m, "statusLabel")->text(),
                 QStringLiteral("The window is gone: choose another"));

        QCOMPARE(state.sendFrame(frame), Sent::Written);
        const QString folder = state.sharedFolder();
        state.setSharedFolder(QString());
        QCOMPARE(state.sendFrame(frame), Sent::NoFolder);
        state.clearProblem();
        state.finishSending();
        QTest::qWait(50);
        QCOMPARE(child<QLabel>(m, "statusLabel")->text(),
                 QStringLiteral("No shared folder: choose one in Options"));
        // A frame asked after it settles it.
        state.setSharedFolder(folder);
        QCOMPARE(state.sendFrame(frame), Sent::Written);
        state.finishSending();
        QTRY_VERIFY(
            !child<QLabel>(m, "statusLabel")->text().contains(QLatin1String("shared folder")));
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
        child<QCheckBox>(m, "autoSendBox")->setChecked(true);
        m.state().sendCurrentBitmap();
        m.textPage().editorDocument().setPlainText("hi");
        m.state().mode = SourceMode::Text;
        child<GradientButton>(m, "sendButton")->click();
        QDir::setCurrent(before);
        QVERIFY(QDir(cwd.path()).isEmpty());
        QVERIFY(!child<QLabel>(m, "statusLabel")->isHidden());
        QVERIFY2(child<QLabel>(m, "statusLabel")->text().contains("shared folder"),
                 qPrintable(child<QLabel>(m, "statusLabel")->text()));
    }

    // Text and the slide show stop the screen and window captures: a capture left running
    // would go on sending its picture over theirs.
    void textAndSlideShowStopTheCaptures_data()
    {
        QTest::addColumn<SourceMode>("mode");
        QTest::newRow("slide show") << SourceMode::SlideShow;
        QTest::newRow("text") << SourceMode::Text;
    }

    void textAndSlideShowStopTheCaptures()
    {
        QFETCH(SourceMode, mode);
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        child<RestartOnChangeTimer>(m, "windowCaptureTimer")->setEnabled(true);
        child<RestartOnChangeTimer>(m, "screenCaptureTimer")->setEnabled(true);
        // The editor need not open.
        child<QTextEdit>(m, "textView")->setPlainText("accepted before");
        (mode == SourceMode::SlideShow ? child<GradientButton>(m, "slideShowButton")
                                       : child<GradientButton>(m, "textButton"))
            ->click();
        QCOMPARE(m.sourceMode(), mode);
        QVERIFY(!child<RestartOnChangeTimer>(m, "windowCaptureTimer")->enabled());
        QVERIFY(!child<RestartOnChangeTimer>(m, "screenCaptureTimer")->enabled());
    }

    void optionsSuspendAndRestoreTheTimers()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        MainWindow &m = *app.main;
        child<RestartOnChangeTimer>(m, "windowCaptureTimer")->setEnabled(true);
        child<RestartOnChangeTimer>(m, "autoSendWatch")->setEnabled(false);
        child<RestartOnChangeTimer>(m, "screenCaptureTimer")->setEnabled(true);
        bool allStopped = false;
        answerModal<OptionsDialog>([&](OptionsDialog *o) {
            allStopped = !child<RestartOnChangeTimer>(m, "windowCaptureTimer")->enabled() &&
                         !child<RestartOnChangeTimer>(m, "autoSendWatch")->enabled() &&
                         !child<RestartOnChangeTimer>(m, "screenCaptureTimer")->enabled();
            o->onCancelClicked();
        });
        child<GradientButton>(m, "optionsButton")->click();
        QVERIFY(allStopped);
        QVERIFY(child<RestartOnChangeTimer>(m, "windowCaptureTimer")->enabled());
        QVERIFY(!child<RestartOnChangeTimer>(m, "autoSendWatch")->enabled());
        QVERIFY(child<RestartOnChangeTimer>(m, "screenCaptureTimer")->enabled());
    }
};

QTEST_MAIN(TestSending)
#include "tst_sending.moc"
