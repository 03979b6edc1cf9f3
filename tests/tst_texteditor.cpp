// The text editor: character and paragraph commands, the size counter, the file commands
// and their questions, the close query, the custom colours and printing.
#include "ModalAnswerer.h"
#include "rtf/RichTextFile.h"
#include "text/CustomColours.h"
#include "text/utext.h"

#include "platform/WholeFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

using namespace quorix;

namespace {

// Shows the editor modally and runs `inside` from its own event loop.
int showWith(Tftext &editor, std::function<void(Tftext *)> inside)
{
    answerModal<Tftext>(std::move(inside));
    return editor.ShowModal();
}

// Answers the next confirmation box with `button`, noting its title and text.
void answerConfirm(QMessageBox::StandardButton button, QStringList *seen = nullptr)
{
    answerModal<QMessageBox>([button, seen](QMessageBox *box) {
        if (seen)
            *seen << box->windowTitle() + ": " + box->text();
        box->button(button)->click();
    });
}

void answerFile(const QString &path)
{
    answerModal<QFileDialog>([path](QFileDialog *d) {
        // Typed into the name field, as the presenter would.
        d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
}

void select(QTextEdit *edit, int from, int to)
{
    QTextCursor c(edit->document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
}

QTextCharFormat formatAt(const QTextDocument &doc, int position)
{
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

QString storedColours()
{
    return QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"))
        .value(QStringLiteral("CustomColors"))
        .toString();
}

} // namespace

class TestTextEditor : public QObject
{
    Q_OBJECT

    QTemporaryDir settings_;
    QTemporaryDir files_;

    QString file(const QString &name) const { return files_.filePath(name); }

  private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
    }

    // Runs first: the counter is program-wide and starts at 10.
    void sizeButtonsStepTheProgramWideCounter()
    {
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("abc"));
        select(editor.Editor, 0, 3);
        auto sizeNow = [&] { return formatAt(editor.document(), 0).fontPointSize(); };
        editor.aplus->trigger();
        QCOMPARE(sizeNow(), 11.0);
        editor.aplus->trigger();
        QCOMPARE(sizeNow(), 12.0);
        editor.aminus->trigger();
        QCOMPARE(sizeNow(), 11.0);
        // Below one point the text stays at one point while the counter goes on.
        while (Tftext::sizeCounter() > -2)
            editor.aminus->trigger();
        QCOMPARE(sizeNow(), 1.0);
        editor.aplus->trigger();
        editor.aplus->trigger();
        QCOMPARE(Tftext::sizeCounter(), 0);
        QCOMPARE(sizeNow(), 1.0);
        editor.aplus->trigger();
        QCOMPARE(sizeNow(), 1.0);
        editor.aplus->trigger();
        QCOMPARE(sizeNow(), 2.0);
    }

    void styleButtonsChangeSelectionOrDefault_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("selection");
        for (const char *b : {"BoldButton", "ItalicButton", "UnderlineButton"}) {
            QTest::addRow("%s, selection", b) << b << true;
            QTest::addRow("%s, nothing selected", b) << b << false;
        }
    }
    void styleButtonsChangeSelectionOrDefault()
    {
        QFETCH(QString, button);
        QFETCH(bool, selection);
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("one two"));
        if (selection)
            select(editor.Editor, 0, 3);
        auto styled = [&](const QFont &f) {
            return button == "BoldButton"     ? f.bold()
                   : button == "ItalicButton" ? f.italic()
                                              : f.underline();
        };
        auto shown = [&](int pos) {
            QTextCharFormat f;
            f.setFont(editor.document().defaultFont());
            f.merge(formatAt(editor.document(), pos));
            return styled(f.font());
        };
        QAction *action = editor.findChild<QAction *>(button);
        action->trigger(); // down
        QCOMPARE(shown(0), true);
        QCOMPARE(shown(5), !selection);
        QCOMPARE(styled(editor.document().defaultFont()), !selection);
        action->trigger(); // up again
        QCOMPARE(shown(0), false);
        QCOMPARE(shown(5), false);
    }

    void paragraphButtons()
    {
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("a\nb\nc"));
        select(editor.Editor, 0, 3); // the first two paragraphs
        auto alignment = [&](int block) {
            return editor.document().findBlockByNumber(block).blockFormat().alignment() &
                   (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
        };
        editor.CenterAlign->trigger();
        QCOMPARE(alignment(0), Qt::AlignHCenter);
        QCOMPARE(alignment(1), Qt::AlignHCenter);
        QVERIFY(!(alignment(2) & Qt::AlignHCenter));
        QVERIFY(!editor.LeftAlign->isChecked());
        editor.RightAlign->trigger();
        QCOMPARE(alignment(0), Qt::AlignRight);
        editor.BulletsButton->trigger();
        QVERIFY(editor.document().findBlockByNumber(0).textList());
        QCOMPARE(editor.document().findBlockByNumber(0).textList()->format().style(),
                 QTextListFormat::ListDisc);
        QVERIFY(editor.document().findBlockByNumber(1).textList());
        QVERIFY(!editor.document().findBlockByNumber(2).textList());
        editor.BulletsButton->trigger();
        QVERIFY(!editor.document().findBlockByNumber(0).textList());
        QVERIFY(!editor.document().findBlockByNumber(1).textList());
    }

    void clipboardButtonsDoWhatTheirIconsShow()
    {
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("abcdef"));
        QApplication::clipboard()->clear();
        select(editor.Editor, 0, 3);
        editor.PasteButton->trigger(); // copy
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("abcdef"));
        select(editor.Editor, 3, 6);
        editor.CopyButton->trigger(); // cut
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("def"));
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("abc"));
        select(editor.Editor, 0, 0);
        editor.UndoButton->trigger(); // paste
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("defabc"));
        editor.CutButton->trigger(); // undo
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("abc"));
    }

    void newDiscardsChangesWithoutAQuestion()
    {
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("changed"));
        editor.document().setModified(true);
        editor.ToolButton1->trigger(); // no box is answered: a question would hang here
        QVERIFY(editor.document().isEmpty());
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.windowTitle(), QStringLiteral("Untitled - Quorix"));
    }

    void openAsksFirstAndCancelKeepsTheText()
    {
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("mine"));
        editor.document().setModified(true);
        QStringList seen;
        bool dialogShown = false;
        answerConfirm(QMessageBox::Cancel, &seen);
        answerModal<QFileDialog>(
            [&](QFileDialog *d) {
                dialogShown = true;
                d->reject();
            },
            500);
        editor.OpenButton->trigger();
        QTest::qWait(600);
        QCOMPARE(seen, QStringList{"Confirm: Save changes to Untitled?"});
        QVERIFY(!dialogShown);
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("mine"));
    }

    void openTextFileThenSaveWritesRtf()
    {
        const QString path = file("notes.TXT");
        writeWholeFile(path, "first line\r\nsecond {line}\r\n");
        Tftext editor(files_.path());
        editor.Editor->setReadOnly(true);
        answerFile(path);
        editor.OpenButton->trigger();
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("first line\nsecond {line}\n"));
        QCOMPARE(editor.windowTitle(), QStringLiteral("notes.TXT - Quorix"));
        QCOMPARE(editor.fileName(), path);
        QVERIFY(!editor.Editor->isReadOnly());
        QVERIFY(!editor.document().isModified());
        // The opened text keeps the editor's default attributes.
        QCOMPARE(editor.document().defaultFont().family(), QStringLiteral("MS Sans Serif"));

        editor.Editor->append(QStringLiteral("third"));
        QVERIFY(editor.document().isModified());
        editor.SaveButton->trigger();
        QVERIFY(!editor.document().isModified());
        QVERIFY(readWholeFile(path).startsWith("{\\rtf1"));
        QTextDocument back;
        loadRichTextFile(back, path);
        QCOMPARE(back.toPlainText(), editor.document().toPlainText());

        // The question names the whole path.
        editor.document().setModified(true);
        QStringList seen;
        answerConfirm(QMessageBox::Cancel, &seen);
        editor.OpenButton->trigger();
        QCOMPARE(seen, QStringList{"Confirm: Save changes to " + path + "?"});
    }

    void failedOpenKeepsEverything()
    {
        const QString kept = file("kept.rtf");
        writeWholeFile(kept, "{\\rtf1 kept text}");
        Tftext editor(files_.path());
        answerFile(kept);
        editor.OpenButton->trigger();
        editor.Editor->append(QStringLiteral("more"));

        QString report;
        answerFile(file("missing.rtf"));
        answerModal<QMessageBox>(
            [&](QMessageBox *b) {
                report = b->text();
                b->accept();
            },
            10000, [](QMessageBox *b) { return b->objectName() == "errorReport"; });
        answerConfirm(QMessageBox::No); // the question about the changes comes first
        editor.OpenButton->trigger();
        QTRY_COMPARE(report, QStringLiteral("Failed to Load Stream."));
        QCOMPARE(editor.fileName(), kept);
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("kept text\nmore"));
        QVERIFY(editor.document().isModified());
    }

    void saveAsAsksBeforeOverwriting_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("no") << int(QMessageBox::No) << false;
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
    }
    void saveAsAsksBeforeOverwriting()
    {
        QFETCH(int, answer);
        QFETCH(bool, written);
        const QString path = file("existing.rtf");
        writeWholeFile(path, "old");
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("new text"));
        QStringList seen;
        answerFile(path);
        answerConfirm(QMessageBox::StandardButton(answer), &seen);
        editor.SaveButton->trigger(); // "Untitled" saves under a new name
        QCOMPARE(seen, QStringList{"Confirm: OK to overwrite " + path});
        QCOMPARE(readWholeFile(path) != "old", written);
        QCOMPARE(editor.fileName(), written ? path : QStringLiteral("Untitled"));
    }

    void closeAsksAndCancelKeepsTheEditorOpen()
    {
        Tftext editor(files_.path());
        QStringList seen;
        const int result = showWith(editor, [&](Tftext *f) {
            QTest::keyClicks(f->Editor, QStringLiteral("typed"));
            answerConfirm(QMessageBox::Cancel, &seen);
            f->BitBtn2->click();
            QVERIFY(f->isVisible());
            QCOMPARE(f->modalResult(), 0);
            answerConfirm(QMessageBox::No, &seen);
            QTest::keyClick(f, Qt::Key_Escape);
        });
        QCOMPARE(result, 2);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], QStringLiteral("Confirm: Save changes to Untitled?"));
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("typed"));
    }

    void yesWithACancelledSaveDialogStillCloses()
    {
        Tftext editor(files_.path());
        const int result = showWith(editor, [&](Tftext *f) {
            QTest::keyClicks(f->Editor, QStringLiteral("typed"));
            answerConfirm(QMessageBox::Yes);
            answerModal<QFileDialog>([](QFileDialog *d) { d->reject(); });
            f->BitBtn2->click();
        });
        QCOMPARE(result, 1);
        QCOMPARE(editor.fileName(), QStringLiteral("Untitled"));
    }

    void failedSaveRefusesTheCloseWithoutAMessage()
    {
        QTemporaryDir gone;
        const QString path = gone.filePath("text.rtf");
        writeWholeFile(path, "{\\rtf1 old}");
        Tftext editor(files_.path());
        answerFile(path);
        editor.OpenButton->trigger();
        QCOMPARE(editor.fileName(), path);
        gone.remove();

        QStringList seen;
        int result = showWith(editor, [&](Tftext *f) {
            QTest::keyClicks(f->Editor, QStringLiteral("more "));
            answerConfirm(QMessageBox::Yes, &seen);
            f->BitBtn2->click(); // the save fails: no message, the editor stays
            QVERIFY(f->isVisible());
            QTest::qWait(50);
            QCOMPARE(QApplication::activeModalWidget(), f);
            answerConfirm(QMessageBox::No, &seen);
            f->BitBtn1->click();
        });
        QCOMPARE(result, 2);
        QCOMPARE(seen.size(), 2);
        QVERIFY(editor.document().toPlainText().contains(QStringLiteral("more ")));
    }

    void customColoursTextFormat()
    {
        CustomColourSlots values;
        values.fill(kEmptySlot);
        values[0] = 0x0000FF; // red
        values[15] = 0x123456;
        const QStringList lines = formatCustomColours(values);
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines[0], QStringLiteral("ColorA=0000FF"));
        QCOMPARE(lines[1], QStringLiteral("ColorB=FFFFFFFF"));
        QCOMPARE(lines[15], QStringLiteral("ColorP=123456"));
        QCOMPARE(parseCustomColours(lines), values);
        QCOMPARE(customColoursLines(customColoursText(lines)), lines);
        QCOMPARE(customColoursText({}), QString());
        // Missing, empty or broken lines are empty slots.
        const CustomColourSlots parsed =
            parseCustomColours({"ColorB=", "ColorC=zz", "ColorD=00ff00", "junk"});
        QCOMPARE(parsed[0], kEmptySlot);
        QCOMPARE(parsed[1], kEmptySlot);
        QCOMPARE(parsed[2], kEmptySlot);
        QCOMPARE(parsed[3], std::int64_t(0x00FF00));
    }

    void colourChooserKeepsSixteenCustomColours()
    {
        QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix")).remove("CustomColors");
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("abc"));
        QList<QColor> offered;
        const int result = showWith(editor, [&](Tftext *f) {
            select(f->Editor, 0, 3);
            answerModal<QColorDialog>([&](QColorDialog *d) {
                for (int i = 0; i < 16; ++i)
                    offered << QColorDialog::customColor(i);
                QColorDialog::setCustomColor(2, QColor(10, 20, 30));
                d->setCurrentColor(QColor(200, 0, 0));
                d->accept();
            });
            f->ToolButton3->trigger();
            answerConfirm(QMessageBox::No); // the colour changed the text
            f->BitBtn2->click();
        });
        QCOMPARE(result, 1);
        QCOMPARE(offered, QList<QColor>(16, QColor(Qt::white)));
        QCOMPARE(formatAt(editor.document(), 1).foreground().color(), QColor(200, 0, 0));
        const QStringList stored = customColoursLines(storedColours());
        QCOMPARE(stored.size(), 16);
        QVERIFY(storedColours().endsWith("\r\n"));
        QCOMPARE(stored[2], QStringLiteral("ColorC=1E140A"));
        QCOMPARE(stored.filter(QRegularExpression("^Color[A-P]=FFFFFFFF$")).size(), 15);

        // The next editor reads them back when it is shown.
        Tftext next(files_.path());
        showWith(next, [](Tftext *f) { f->BitBtn1->click(); });
        QCOMPARE(next.customColours(), stored);
    }

    void unwritableSettingsNeverKeepTheEditorOpen()
    {
        // A file where the settings folder should be: nothing can be written there.
        const QString blocked = file("blocked");
        writeWholeFile(blocked, "not a folder");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocked);
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("kept"));
        const int result = showWith(editor, [](Tftext *f) { f->BitBtn2->click(); });
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
        QCOMPARE(result, 1);
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("kept"));
    }

    void printsOneJobTitledWithTheFileName()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        Tftext editor(files_.path());
        editor.Editor->setPlainText(QStringLiteral("Printed by the editor"));
        const QString pdf = file("out.pdf");
        editor.printer().setOutputFormat(QPrinter::PdfFormat);
        editor.printer().setOutputFileName(pdf);
        answerModal<QPrintDialog>([](QPrintDialog *d) { d->accept(); });
        editor.PrintButton->trigger();
        QCOMPARE(editor.printer().docName(), QStringLiteral("Untitled"));
        QProcess p;
        p.start(pdftotext, {pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(20000));
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput())
                    .contains(QStringLiteral("Printed by the editor")));
    }
};

QTEST_MAIN(TestTextEditor)
#include "tst_texteditor.moc"
