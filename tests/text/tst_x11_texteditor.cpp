// The text editor as a presenter uses it, under a real X server with a window manager:
// the keyboard and the pointer are xdotool's, and the other program to leave for and come
// back from is a real xterm.
#include "EditorControls.h"
#include "support/ModalAnswerer.h"
#include "support/OutsideWindow.h"
#include "support/TemporarySettings.h"
#include "support/TextFormats.h"
#include "text/TextEditor.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>

using namespace quorix;
using quorix::test::kSlowWait;
using quorix::test::runTool;
using quorix::test::xdotool;

namespace {

// Asks the window manager to bring `w` to the front and waits until it has the keyboard.
bool bringToFront(QWidget *w)
{
    runTool("xdotool", {"windowactivate", "--sync", QString::number(w->window()->winId())});
    return QTest::qWaitFor([w] { return w->window()->isActiveWindow(); }, kSlowWait);
}

// A click of the real pointer on `w` (its centre, or `local` inside it).
void click(QWidget *w, QPoint local = {})
{
    const QPoint at = w->mapToGlobal(local.isNull() ? w->rect().center() : local);
    // Without --sync: xdotool would wait for ever for a move to where the pointer already is.
    runTool("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "sleep",
                        "0.1", "click", "1"});
    QTest::qWait(100);
}

void click(TextEditor *f, QAction *action)
{
    click(f->findChild<QToolBar *>("toolBar")->widgetForAction(action));
}

void keys(const QStringList &names)
{
    runTool("xdotool", QStringList{"key", "--delay", "50"} + names);
    QTest::qWait(100);
}

void type(const QString &text)
{
    runTool("xdotool", {"type", "--delay", "20", text});
    QTest::qWait(100);
}

// Shows the editor modally and runs `steps` inside it; whatever they leave, the editor then
// closes without a question. Should a step hang in a dialog, the dialogs close after a
// minute.
void runEditor(TextEditor &editor, std::function<void(TextEditor *)> steps)
{
    QTimer::singleShot(60000, &editor, [&editor] {
        editor.document().setModified(false);
        while (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
    answerModal<TextEditor>(
        [steps](TextEditor *f) {
            if (bringToFront(f))
                steps(f);
            else
                QTest::qFail("the editor never got the keyboard", __FILE__, __LINE__);
            f->document().setModified(false);
            buttonOf(*f, "cancelButton")->click();
        },
        kSlowWait);
    editor.showModal();
}

// A real xterm to switch to.
class Xterm
{
  public:
    Xterm()
    {
        process_.start(QStringLiteral("xterm"),
                       {"-title", "outside program", "-geometry", "40x10+0+0"});
        const bool found = QTest::qWaitFor(
            [this] {
                id_ = xdotool({"search", "--onlyvisible", "--name", "^outside program$"})
                          .section('\n', 0, 0);
                return !id_.isEmpty();
            },
            kSlowWait);
        if (!found)
            id_.clear();
    }
    ~Xterm()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }
    bool running() const { return !id_.isEmpty(); }
    // The presenter turns to the xterm; true once this program has lost the keyboard.
    // Openbox at times ignores the activation asked for while a modal question of this
    // program is active (about one run in five): then the presenter clicks into the xterm.
    bool switchTo()
    {
        const auto away = [](int ms) {
            return QTest::qWaitFor([] { return !QApplication::activeWindow(); }, ms);
        };
        runTool("xdotool", {"windowactivate", "--sync", id_});
        if (away(3000))
            return true;
        runTool("xdotool",
                {"mousemove", "--window", id_, "20", "20", "sleep", "0.1", "click", "1"});
        return away(kSlowWait);
    }

  private:
    QProcess process_;
    QString id_;
};

} // namespace

class TestX11TextEditor : public QObject
{
    Q_OBJECT

    QTemporaryDir files_;

  private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        keepSettingsInTemporaryFolder();
    }

    // Plain first line, underlined second; Shift+Down from the start of the first and
    // Bold make the first line bold, and only bold.
    void boldAfterShiftDown()
    {
        TextEditor editor(files_.path());
        QTextCursor c(&editor.document());
        c.insertText(QStringLiteral("plain line\n"));
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        c.insertText(QStringLiteral("under line"), underlined);
        runEditor(editor, [](TextEditor *f) {
            click(textEditOf(*f), {5, 5});
            keys({"ctrl+Home", "shift+Down"});
            QCOMPARE(textEditOf(*f)->textCursor().selectedText().size(), 11);
            click(f, actionOf(*f, "boldAction"));
            for (int i = 0; i < 10; ++i) {
                QCOMPARE(formatAt(f->document(), i).fontWeight(), int(QFont::Bold));
                QVERIFY(!formatAt(f->document(), i).fontUnderline());
            }
            QVERIFY(formatAt(f->document(), 11).fontUnderline());
            QVERIFY(formatAt(f->document(), 11).fontWeight() != QFont::Bold);
        });
    }

    // Open on a changed text: Yes to saving it, then Cancel in the save dialog. The Open
    // goes no further and the text stays, still unsaved: OK asks about it again.
    void openAfterACancelledSaveKeepsTheText()
    {
        TextEditor editor(files_.path());
        bool openShown = false;
        QStringList asked;
        runEditor(editor, [&](TextEditor *f) {
            click(textEditOf(*f));
            type(QStringLiteral("unsaved words"));
            answerModal<QMessageBox>(
                [&](QMessageBox *box) {
                    asked << box->text();
                    bringToFront(box);
                    click(box->button(QMessageBox::Yes));
                },
                kSlowWait);
            answerModal<QFileDialog>(
                [&](QFileDialog *save) {
                    bringToFront(save);
                    keys({"Escape"});
                    // A file dialog after this one would be Open's.
                    answerModal<QFileDialog>(
                        [&](QFileDialog *open) {
                            openShown = true;
                            open->reject();
                        },
                        1500);
                },
                kSlowWait);
            click(f, actionOf(*f, "openAction"));
            QTest::qWait(2000);
            QVERIFY(!openShown);
            QCOMPARE(f->document().toPlainText(), QStringLiteral("unsaved words"));
            QVERIFY(f->document().isModified());
            bringToFront(f);
            answerModal<QMessageBox>(
                [&](QMessageBox *box) {
                    asked << box->text();
                    bringToFront(box);
                    click(box->button(QMessageBox::Cancel));
                },
                kSlowWait);
            click(buttonOf(*f, "okButton"));
            QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 2, kSlowWait);
            QVERIFY(f->isVisible());
        });
        QCOMPARE(asked, QStringList(2, QStringLiteral("Save changes to Untitled?")));
    }

    // With nothing selected, red then blue: the text is blue, and one undo makes it red.
    void defaultColourTwice()
    {
        TextEditor editor(files_.path());
        QList<QColor> seen;
        runEditor(editor, [&](TextEditor *f) {
            click(textEditOf(*f));
            type(QStringLiteral("coloured"));
            const auto chooseColour = [&](const QString &html) {
                answerModal<QColorDialog>(
                    [html](QColorDialog *d) {
                        bringToFront(d);
                        for (QLineEdit *field : d->findChildren<QLineEdit *>()) {
                            if (!field->text().startsWith('#'))
                                continue;
                            click(field);
                            keys({"ctrl+a"});
                            type(html);
                            keys({"Return"});
                            return;
                        }
                        d->reject();
                    },
                    kSlowWait);
                click(f, actionOf(*f, "colourAction"));
                QTRY_VERIFY_WITH_TIMEOUT(!f->findChild<QColorDialog *>("colourDialog")->isVisible(),
                                         kSlowWait);
                QTest::qWait(200);
                seen << formatAt(f->document(), 0).foreground().color();
            };
            chooseColour(QStringLiteral("#ff0000"));
            chooseColour(QStringLiteral("#0000ff"));
            click(f, actionOf(*f, "undoAction"));
            seen << formatAt(f->document(), 0).foreground().color();
            seen << formatAt(f->document(), 7).foreground().color();
        });
        QCOMPARE(seen, (QList<QColor>{Qt::red, Qt::blue, Qt::red, Qt::red}));
    }

    // Typing, then turning to another program and back, clears the modified flag, so that
    // closing asks nothing. Turning away while the editor's own question is open, and
    // coming back to the question, does not count.
    void comingBackFromAnotherProgram()
    {
        Xterm xterm;
        if (!xterm.running())
            QSKIP("xterm is not installed or did not start");
        TextEditor editor(files_.path());
        bool clearedOnReturn = false, backInOwnBox = false, keptAfterOwnBox = false;
        runEditor(editor, [&](TextEditor *f) {
            click(textEditOf(*f));
            type(QStringLiteral("typed"));
            QVERIFY(f->document().isModified());
            QVERIFY(xterm.switchTo());
            click(textEditOf(*f));
            clearedOnReturn = QTest::qWaitFor([f] { return !f->document().isModified(); }, 5000);

            // Again, but away from the editor's own question, and back to it.
            type(QStringLiteral(" more"));
            QVERIFY(f->document().isModified());
            answerModal<QMessageBox>(
                [&](QMessageBox *box) {
                    bringToFront(box);
                    if (xterm.switchTo()) {
                        // On a loaded machine the window manager may take the first click
                        // while it is still handing the focus to the terminal: click again.
                        for (int attempt = 0; attempt < 2 && !backInOwnBox; ++attempt) {
                            click(box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")));
                            backInOwnBox =
                                QTest::qWaitFor([box] { return box->isActiveWindow(); }, kSlowWait);
                        }
                    }
                    click(box->button(QMessageBox::Cancel));
                },
                kSlowWait);
            click(f, actionOf(*f, "openAction"));
            QTRY_VERIFY_WITH_TIMEOUT(f->isActiveWindow(), kSlowWait);
            QTest::qWait(1000);
            keptAfterOwnBox = f->document().isModified();
        });
        QVERIFY(clearedOnReturn);
        QVERIFY(backInOwnBox);
        QVERIFY(keptAfterOwnBox);
    }
};

QTEST_MAIN(TestX11TextEditor)
#include "tst_x11_texteditor.moc"
