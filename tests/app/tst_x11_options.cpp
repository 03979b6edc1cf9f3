// The Options dialog as a presenter uses it, under a real X server with a window manager:
// every return of the dialog to the front (from the folder chooser, from a message box)
// activates it again, and the keyboard goes to its buttons.
#include "controls/GradientButton.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/OutsideWindow.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace quorix;
using quorix::test::kSlowWait;
using quorix::test::runTool;

class TestX11Options : public QObject
{
    Q_OBJECT

    // The dialog once it has read the files.
    static auto activated(AppFixture &app)
    {
        const int before = app.options->activations();
        return [before](OptionsDialog *o) { return o->activations() > before; };
    }

    // Asks the window manager to bring `w` to the front, as a click on it would, and waits
    // until it has the keyboard. False when the window manager would not.
    static bool bringToFront(QWidget *w)
    {
        runTool("xdotool", {"windowactivate", "--sync", QString::number(w->winId())});
        return QTest::qWaitFor([w] { return w->isActiveWindow(); }, 5000);
    }

    // Should a step fail inside a dialog, no dialog may stay open and hang the test.
    static void closeDialogsLeftOpen()
    {
        QTimer::singleShot(60000, qApp, [] {
            while (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
    }

  private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
    }

    void browseChangesTheFolderAndKeepsTypedSettings()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
        QTemporaryDir other;
        const QString chosen = other.path();
        bool browsed = false;
        closeDialogsLeftOpen();
        answerModal<OptionsDialog>(
            [&](OptionsDialog *o) {
                QTest::keyClicks(o->scrollTextEdit_, QStringLiteral("Welcome"));
                o->sizeableButton_->setChecked(true);
                answerModal<QFileDialog>(
                    [&](QFileDialog *d) {
                        // The presenter types the folder and presses Enter.
                        bringToFront(d);
                        runTool("xdotool", {"type", "--delay", "5", chosen});
                        runTool("xdotool", {"key", "Return"});
                    },
                    kSlowWait);
                o->browseButton_->click();
                browsed = true;
                // Back in front of the presenter: the dialog is activated again.
                bringToFront(o);
                QTest::qWait(300);
                o->okButton_->click();
            },
            kSlowWait, activated(app));
        app.main->openOptionsPausingSources();
        QVERIFY(browsed);
        const QString folder = chosen + '/';
        QCOMPARE(readWholeFile(app.program("qx.cfg")), (folder + "quorix.cfg\r\n").toLocal8Bit());
        const QStringList lines = readLineFile(folder + "quorix.cfg");
        QCOMPARE(lineAt(lines, 0), folder + "shar.bmp");
        QCOMPARE(lineAt(lines, 4), QStringLiteral("0"));
        QCOMPARE(lineAt(lines, 6), QStringLiteral("Welcome"));
        QCOMPARE(app.main->sharedFolder(), folder);
    }

    // The Options button opened the dialog under the pointer; the presenter moves away
    // while it is open, and no leave event ever reaches the button.
    void optionsButtonLosesItsHoverLookAfterTheDialog()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
        QTest::qWait(300);
        GradientButton *button = app.main->optionsButton_;
        const QPoint centre = button->mapToGlobal(button->rect().center());
        answerModal<OptionsDialog>(
            [&](OptionsDialog *o) {
                runTool("xdotool", {"mousemove", "5", "5"});
                QTest::qWait(100);
                o->onCancelClicked();
            },
            kSlowWait, activated(app));
        runTool("xdotool", {"mousemove", QString::number(centre.x()), QString::number(centre.y())});
        QTRY_COMPARE_WITH_TIMEOUT(button->visualState(), GradientButton::HotState, kSlowWait);
        runTool("xdotool", {"click", "1"});
        QTRY_COMPARE_WITH_TIMEOUT(app.options->modalResult(), ModalResult::Cancel, kSlowWait);
        QTest::qWait(500);
        QCOMPARE(button->visualState(), GradientButton::NormalState);
    }

    void enterPressesTheFocusedButton()
    {
        AppFixture app;
        app.configure({app.shared() + "shar.bmp", "0", "0", "0", "1", "0", "old", "0"});
        app.main->startUp();
        app.main->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
        bool okHadFocus = false;
        answerModal<OptionsDialog>(
            [&](OptionsDialog *o) {
                // The focus widget, not hasFocus(): that is false until the window manager
                // has activated the dialog, which a loaded machine may not have done yet.
                okHadFocus = o->focusWidget() == o->okButton_;
                o->scrollTextEdit_->setText(QStringLiteral("new"));
                bringToFront(o);
                runTool("xdotool", {"key", "Return"});
            },
            kSlowWait, activated(app));
        // Should Enter do nothing, the dialog must still close for the test to go on.
        QTimer::singleShot(kSlowWait, app.options, [&] {
            if (app.options->isVisible())
                app.options->onCancelClicked();
        });
        app.main->openOptionsPausingSources();
        QVERIFY(okHadFocus);
        QCOMPARE(app.options->modalResult(), ModalResult::Ok);
        QCOMPARE(lineAt(readLineFile(app.shared() + "quorix.cfg"), 6), QStringLiteral("new"));
    }
};

QTEST_MAIN(TestX11Options)
#include "tst_x11_options.moc"
