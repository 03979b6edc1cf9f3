// The text editor's file commands and their questions, the close query, the custom colours
// and printing.
#include "EditorSteps.h"
#include "rtf/RichTextFile.h"
#include "support/TemporarySettings.h"
#include "support/TextFormats.h"
#include "text/CustomColours.h"
#include "text/TextEditor.h"

#include "core/WholeFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFile>
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

class TestTextEditorFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir files_;

    QString file(const QString &name) const { return files_.filePath(name); }

  private slots:
    void initTestCase() { keepSettingsInTemporaryFolder(); }
    void newDiscardsChangesWithoutAQuestion()
    {
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("changed"));
        editor.document().setModified(true);
        actionOf(editor, "newAction")->trigger(); // no box is answered: a question would hang here
        QVERIFY(editor.document().isEmpty());
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.windowTitle(), QStringLiteral("Untitled - Quorix"));
    }

    void openAsksFirstAndCancelKeepsTheText()
    {
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("mine"));
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
        actionOf(editor, "openAction")->trigger();
        QTest::qWait(600);
        QCOMPARE(seen, QStringList{"Confirm: Save changes to Untitled?"});
        QVERIFY(!dialogShown);
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("mine"));
    }

    // Yes to the question saves first; when nothing was saved the Open goes no further, so
    // the unsaved text is never replaced.
    void openGoesOnOnlyWhenTheTextWasSaved_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::newRow("save dialog cancelled") << false;
        QTest::newRow("saved") << true;
    }
    void openGoesOnOnlyWhenTheTextWasSaved()
    {
        QFETCH(bool, saved);
        const QString other = file("other.rtf");
        writeWholeFile(other, "{\\rtf1 other text}");
        const QString target = file(saved ? "saved.rtf" : "never.rtf");
        QFile::remove(target);
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("mine"));
        editor.document().setModified(true);
        bool openShown = false;
        answerConfirm(QMessageBox::Yes);
        answerModal<QFileDialog>([&](QFileDialog *save) {
            // The next file dialog, if any, is Open's: it picks another file.
            answerModal<QFileDialog>(
                [&](QFileDialog *open) {
                    openShown = true;
                    open->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(other);
                    static_cast<QDialog *>(open)->done(QDialog::Accepted);
                },
                500);
            if (saved) {
                save->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(target);
                static_cast<QDialog *>(save)->done(QDialog::Accepted);
            } else {
                save->reject();
            }
        });
        actionOf(editor, "openAction")->trigger();
        QTest::qWait(600);
        QCOMPARE(openShown, saved);
        QCOMPARE(QFile::exists(target), saved);
        if (saved) {
            QCOMPARE(editor.document().toPlainText(), QStringLiteral("other text"));
            QCOMPARE(editor.fileName(), other);
        } else {
            QCOMPARE(editor.document().toPlainText(), QStringLiteral("mine"));
            QCOMPARE(editor.fileName(), QStringLiteral("Untitled"));
            QVERIFY(editor.document().isModified());
        }
    }

    // The file dialogs start where the last file was opened or saved, else in the folder
    // the editor was given; never a folder the presenter navigated away to and left.
    void fileDialogsStartInTheLastFilesFolder()
    {
        QTemporaryDir start, opened, saved, wandered;
        const QString path = opened.filePath("a.rtf");
        writeWholeFile(path, "{\\rtf1 a}");
        TextEditor editor(start.path());
        QStringList seen;
        auto note = [&seen](QFileDialog *d) { seen << d->directory().absolutePath(); };
        answerModal<QFileDialog>([&](QFileDialog *d) {
            note(d);
            d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
            static_cast<QDialog *>(d)->done(QDialog::Accepted);
        });
        actionOf(editor, "openAction")->trigger();
        answerModal<QFileDialog>([&](QFileDialog *d) {
            note(d);
            d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(saved.filePath("b.rtf"));
            static_cast<QDialog *>(d)->done(QDialog::Accepted);
        });
        actionOf(editor, "newAction")->trigger(); // New: "Untitled", so Save asks for a name
        actionOf(editor, "saveAction")->trigger();
        answerModal<QFileDialog>([&](QFileDialog *d) {
            note(d);
            d->setDirectory(wandered.path());
            d->reject();
        });
        actionOf(editor, "openAction")->trigger();
        answerModal<QFileDialog>([&](QFileDialog *d) {
            note(d);
            d->reject();
        });
        actionOf(editor, "openAction")->trigger();
        QCOMPARE(seen, (QStringList{start.path(), opened.path(), saved.path(), saved.path()}));

        // At start-up they start in the documents folder, or at home when there is none.
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        const QString atHome = TextEditor::documentsFolder();
        QDir(home.path()).mkdir(QStringLiteral("Documents"));
        const QString inDocuments = TextEditor::documentsFolder();
        qputenv("HOME", oldHome);
        if (!oldConfig.isNull())
            qputenv("XDG_CONFIG_HOME", oldConfig);
        QCOMPARE(atHome, home.path());
        QCOMPARE(inDocuments, home.filePath(QStringLiteral("Documents")));
    }

    void openTextFileThenSaveWritesRtf()
    {
        const QString path = file("notes.TXT");
        writeWholeFile(path, "first line\r\nsecond {line}\r\n");
        TextEditor editor(files_.path());
        textEditOf(editor)->setReadOnly(true);
        answerFile(path);
        actionOf(editor, "openAction")->trigger();
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("first line\nsecond {line}\n"));
        QCOMPARE(editor.windowTitle(), QStringLiteral("notes.TXT - Quorix"));
        QCOMPARE(editor.fileName(), path);
        QVERIFY(!textEditOf(editor)->isReadOnly());
        QVERIFY(!editor.document().isModified());
        // The opened text keeps the editor's default attributes.
        QCOMPARE(editor.document().defaultFont().family(), QStringLiteral("MS Sans Serif"));

        textEditOf(editor)->append(QStringLiteral("third"));
        QVERIFY(editor.document().isModified());
        actionOf(editor, "saveAction")->trigger();
        QVERIFY(!editor.document().isModified());
        QVERIFY(readWholeFile(path).startsWith("{\\rtf1"));
        QTextDocument back;
        loadRichTextFile(back, path);
        QCOMPARE(back.toPlainText(), editor.document().toPlainText());

        // The question names the whole path.
        editor.document().setModified(true);
        QStringList seen;
        answerConfirm(QMessageBox::Cancel, &seen);
        actionOf(editor, "openAction")->trigger();
        QCOMPARE(seen, QStringList{"Confirm: Save changes to " + path + "?"});
    }

    void failedOpenKeepsEverything()
    {
        const QString kept = file("kept.rtf");
        writeWholeFile(kept, "{\\rtf1 kept text}");
        TextEditor editor(files_.path());
        answerFile(kept);
        actionOf(editor, "openAction")->trigger();
        textEditOf(editor)->append(QStringLiteral("more"));

        QString report;
        answerFile(file("missing.rtf"));
        answerModal<QMessageBox>(
            [&](QMessageBox *b) {
                report = b->text();
                b->accept();
            },
            10000, [](QMessageBox *b) { return b->objectName() == "errorReport"; });
        answerConfirm(QMessageBox::No); // the question about the changes comes first
        actionOf(editor, "openAction")->trigger();
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
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("new text"));
        QStringList seen;
        answerFile(path);
        answerConfirm(QMessageBox::StandardButton(answer), &seen);
        actionOf(editor, "saveAction")->trigger(); // "Untitled" saves under a new name
        QCOMPARE(seen, QStringList{"Confirm: OK to overwrite " + path});
        QCOMPARE(readWholeFile(path) != "old", written);
        QCOMPARE(editor.fileName(), written ? path : QStringLiteral("Untitled"));
    }

    void closeAsksAndCancelKeepsTheEditorOpen()
    {
        TextEditor editor(files_.path());
        QStringList seen;
        const ModalResult result = showWith(editor, [&](TextEditor *f) {
            QTest::keyClicks(textEditOf(*f), QStringLiteral("typed"));
            answerConfirm(QMessageBox::Cancel, &seen);
            buttonOf(*f, "okButton")->click();
            QVERIFY(f->isVisible());
            QCOMPARE(f->modalResult(), ModalResult::None);
            answerConfirm(QMessageBox::No, &seen);
            QTest::keyClick(f, Qt::Key_Escape);
        });
        QCOMPARE(int(result), 2);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], QStringLiteral("Confirm: Save changes to Untitled?"));
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("typed"));
    }

    void yesWithACancelledSaveDialogStillCloses()
    {
        TextEditor editor(files_.path());
        const ModalResult result = showWith(editor, [&](TextEditor *f) {
            QTest::keyClicks(textEditOf(*f), QStringLiteral("typed"));
            answerConfirm(QMessageBox::Yes);
            answerModal<QFileDialog>([](QFileDialog *d) { d->reject(); });
            buttonOf(*f, "okButton")->click();
        });
        QCOMPARE(int(result), 1);
        QCOMPARE(editor.fileName(), QStringLiteral("Untitled"));
    }

    void failedSaveRefusesTheCloseWithoutAMessage()
    {
        QTemporaryDir gone;
        const QString path = gone.filePath("text.rtf");
        writeWholeFile(path, "{\\rtf1 old}");
        TextEditor editor(files_.path());
        answerFile(path);
        actionOf(editor, "openAction")->trigger();
        QCOMPARE(editor.fileName(), path);
        gone.remove();

        QStringList seen;
        ModalResult result = showWith(editor, [&](TextEditor *f) {
            QTest::keyClicks(textEditOf(*f), QStringLiteral("more "));
            answerConfirm(QMessageBox::Yes, &seen);
            buttonOf(*f, "okButton")->click(); // the save fails: no message, the editor stays
            QVERIFY(f->isVisible());
            QTest::qWait(50);
            QCOMPARE(QApplication::activeModalWidget(), f);
            answerConfirm(QMessageBox::No, &seen);
            buttonOf(*f, "cancelButton")->click();
        });
        QCOMPARE(int(result), 2);
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
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("abc"));
        QList<QColor> offered;
        const ModalResult result = showWith(editor, [&](TextEditor *f) {
            select(textEditOf(*f), 0, 3);
            answerModal<QColorDialog>([&](QColorDialog *d) {
                for (int i = 0; i < 16; ++i)
                    offered << QColorDialog::customColor(i);
                QColorDialog::setCustomColor(2, QColor(10, 20, 30));
                d->setCurrentColor(QColor(200, 0, 0));
                d->accept();
            });
            actionOf(*f, "colourAction")->trigger();
            answerConfirm(QMessageBox::No); // the colour changed the text
            buttonOf(*f, "okButton")->click();
        });
        QCOMPARE(int(result), 1);
        QCOMPARE(offered, QList<QColor>(16, QColor(Qt::white)));
        QCOMPARE(formatAt(editor.document(), 1).foreground().color(), QColor(200, 0, 0));
        const QStringList stored = customColoursLines(storedColours());
        QCOMPARE(stored.size(), 16);
        QVERIFY(storedColours().endsWith("\r\n"));
        QCOMPARE(stored[2], QStringLiteral("ColorC=1E140A"));
        QCOMPARE(stored.filter(QRegularExpression("^Color[A-P]=FFFFFFFF$")).size(), 15);

        // The next editor reads them back when it is shown.
        TextEditor next(files_.path());
        showWith(next, [](TextEditor *f) { buttonOf(*f, "cancelButton")->click(); });
        QCOMPARE(next.customColours(), stored);
    }

    // With nothing selected the latest colour governs all text without a colour of its own,
    // and one colour change is one undo step.
    void defaultColourFollowsTheLatestChoice()
    {
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("one two\nthree"));
        select(textEditOf(editor), 4, 7);
        answerColour(Qt::green);
        actionOf(editor, "colourAction")->trigger(); // "two" has its own colour
        select(textEditOf(editor), 0, 0);
        answerColour(Qt::red);
        actionOf(editor, "colourAction")->trigger();
        QCOMPARE(colourAt(editor.document(), 0), QColor(Qt::red));
        answerColour(Qt::blue);
        actionOf(editor, "colourAction")->trigger();
        QCOMPARE(colourAt(editor.document(), 0), QColor(Qt::blue));
        QCOMPARE(colourAt(editor.document(), 9), QColor(Qt::blue));
        QCOMPARE(colourAt(editor.document(), 4), QColor(Qt::green));
        QTest::keyClicks(textEditOf(editor), QStringLiteral("x"));
        QCOMPARE(colourAt(editor.document(), 0), QColor(Qt::blue));
        actionOf(editor, "undoAction")->trigger(); // undo the typing
        actionOf(editor, "undoAction")->trigger(); // undo blue: all of it
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("one two\nthree"));
        QCOMPARE(colourAt(editor.document(), 0), QColor(Qt::red));
        QCOMPARE(colourAt(editor.document(), 9), QColor(Qt::red));
        actionOf(editor, "undoAction")->trigger(); // undo red
        QCOMPARE(colourAt(editor.document(), 0), QColor());
        QCOMPARE(colourAt(editor.document(), 4), QColor(Qt::green));
    }

    void unwritableSettingsNeverKeepTheEditorOpen()
    {
        // A file where the settings folder should be: nothing can be written there.
        const QString blocked = file("blocked");
        writeWholeFile(blocked, "not a folder");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocked);
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("kept"));
        const ModalResult result =
            showWith(editor, [](TextEditor *f) { buttonOf(*f, "okButton")->click(); });
        keepSettingsInTemporaryFolder();
        QCOMPARE(int(result), 1);
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("kept"));
    }

    void printsOneJobTitledWithTheFileName()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("Printed by the editor"));
        const QString pdf = file("out.pdf");
        editor.printer().setOutputFormat(QPrinter::PdfFormat);
        editor.printer().setOutputFileName(pdf);
        answerModal<QPrintDialog>([](QPrintDialog *d) { d->accept(); });
        actionOf(editor, "printAction")->trigger();
        QCOMPARE(editor.printer().docName(), QStringLiteral("Untitled"));
        QProcess p;
        p.start(pdftotext, {pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(20000));
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput())
                    .contains(QStringLiteral("Printed by the editor")));
    }
};

QTEST_MAIN(TestTextEditorFiles)
#include "tst_texteditorfiles.moc"
