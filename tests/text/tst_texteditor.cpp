// The text editor: character and paragraph commands, the program-wide size counter and
// the clipboard buttons (its file commands: tst_texteditorfiles).
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

class TestTextEditor : public QObject
{
    Q_OBJECT

    QTemporaryDir files_;

  private slots:
    void initTestCase() { keepSettingsInTemporaryFolder(); }

    // Runs first: the counter is program-wide and starts at 10.
    void sizeButtonsStepTheProgramWideCounter()
    {
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("abc"));
        select(textEditOf(editor), 0, 3);
        auto sizeNow = [&] { return formatAt(editor.document(), 0).fontPointSize(); };
        actionOf(editor, "largerAction")->trigger();
        QCOMPARE(sizeNow(), 11.0);
        actionOf(editor, "largerAction")->trigger();
        QCOMPARE(sizeNow(), 12.0);
        actionOf(editor, "smallerAction")->trigger();
        QCOMPARE(sizeNow(), 11.0);
        // Below one point the text stays at one point while the counter goes on.
        while (TextEditor::sizeCounter() > -2)
            actionOf(editor, "smallerAction")->trigger();
        QCOMPARE(sizeNow(), 1.0);
        actionOf(editor, "largerAction")->trigger();
        actionOf(editor, "largerAction")->trigger();
        QCOMPARE(TextEditor::sizeCounter(), 0);
        QCOMPARE(sizeNow(), 1.0);
        actionOf(editor, "largerAction")->trigger();
        QCOMPARE(sizeNow(), 1.0);
        actionOf(editor, "largerAction")->trigger();
        QCOMPARE(sizeNow(), 2.0);
    }

    void styleButtonsChangeSelectionOrDefault_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("selection");
        for (const char *b : {"boldAction", "italicAction", "underlineAction"}) {
            QTest::addRow("%s, selection", b) << b << true;
            QTest::addRow("%s, nothing selected", b) << b << false;
        }
    }
    void styleButtonsChangeSelectionOrDefault()
    {
        QFETCH(QString, button);
        QFETCH(bool, selection);
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("one two"));
        if (selection)
            select(textEditOf(editor), 0, 3);
        auto styled = [&](const QFont &f) {
            return button == "boldAction"     ? f.bold()
                   : button == "italicAction" ? f.italic()
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

    // The style read is the selection's own, whichever way it was made: not that of the
    // character before a backward selection, nor that of the next line after Shift+Down.
    void styleButtonsReadTheSelectionItself_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("outside"); // a character next to the selection
        // "plain line" then "under line" underlined; Shift+Down from the first line's start.
        QTest::newRow("Shift+Down") << 0 << 11 << 11;
        // "under plain" with "under" underlined; " plain" selected from its end backwards.
        QTest::newRow("backwards") << 11 << 5 << 4;
    }
    void styleButtonsReadTheSelectionItself()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, outside);
        TextEditor editor(files_.path());
        QTextCursor c(&editor.document());
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        if (QTest::currentDataTag() == QByteArray("Shift+Down")) {
            c.insertText(QStringLiteral("plain line\n"));
            c.insertText(QStringLiteral("under line"), underlined);
        } else {
            c.insertText(QStringLiteral("under"), underlined);
            c.insertText(QStringLiteral(" plain"), QTextCharFormat());
        }
        select(textEditOf(editor), anchor, position);
        actionOf(editor, "boldAction")->trigger();
        for (int i = qMin(anchor, position); i < qMax(anchor, position); ++i) {
            if (editor.document().characterAt(i) == QChar::ParagraphSeparator)
                continue;
            QVERIFY2(formatAt(editor.document(), i).fontWeight() == QFont::Bold,
                     qPrintable(QString::number(i)));
            QVERIFY2(!formatAt(editor.document(), i).fontUnderline(),
                     qPrintable(QString::number(i)));
        }
        QVERIFY(formatAt(editor.document(), outside).fontUnderline());
        QVERIFY(formatAt(editor.document(), outside).fontWeight() != QFont::Bold);
    }

    void paragraphButtons()
    {
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("a\nb\nc"));
        select(textEditOf(editor), 0, 3); // the first two paragraphs
        auto alignment = [&](int block) {
            return editor.document().findBlockByNumber(block).blockFormat().alignment() &
                   (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
        };
        actionOf(editor, "alignCentreAction")->trigger();
        QCOMPARE(alignment(0), Qt::AlignHCenter);
        QCOMPARE(alignment(1), Qt::AlignHCenter);
        QVERIFY(!(alignment(2) & Qt::AlignHCenter));
        QVERIFY(!actionOf(editor, "alignLeftAction")->isChecked());
        actionOf(editor, "alignRightAction")->trigger();
        QCOMPARE(alignment(0), Qt::AlignRight);
        actionOf(editor, "bulletsAction")->trigger();
        QVERIFY(editor.document().findBlockByNumber(0).textList());
        QCOMPARE(editor.document().findBlockByNumber(0).textList()->format().style(),
                 QTextListFormat::ListDisc);
        QVERIFY(editor.document().findBlockByNumber(1).textList());
        QVERIFY(!editor.document().findBlockByNumber(2).textList());
        actionOf(editor, "bulletsAction")->trigger();
        QVERIFY(!editor.document().findBlockByNumber(0).textList());
        QVERIFY(!editor.document().findBlockByNumber(1).textList());
    }

    // Bullets change the selected paragraphs only, at their own level; a numbered list
    // around them keeps its other items.
    void bulletsChangeOnlyTheSelectedParagraphs_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("on");
        QTest::addColumn<QStringList>("off");
        const QString numbered = QStringLiteral("<ol><li>one</li><li>two</li><li>six</li></ol>");
        QTest::newRow("middle of a numbered list")
            << numbered << 5 << 6 << QStringList{"decimal/1", "disc/1", "decimal/1"}
            << QStringList{"decimal/1", "-", "decimal/1"};
        QTest::newRow("first of a numbered list")
            << numbered << 1 << 1 << QStringList{"disc/1", "decimal/1", "decimal/1"}
            << QStringList{"-", "decimal/1", "decimal/1"};
        QTest::newRow("plain paragraph and a bullet below it")
            << QStringLiteral("<p>intro</p><ul><li>item</li></ul><p>end</p>") << 2 << 8
            << QStringList{"disc/1", "disc/1", "-"} << QStringList{"-", "-", "-"};
        QTest::newRow("nested numbered level")
            << QStringLiteral("<ul><li>top<ol><li>inner</li></ol></li></ul>") << 5 << 7
            << QStringList{"disc/1", "disc/2"} << QStringList{"disc/1", "-"};
        QTest::newRow("both levels")
            << QStringLiteral("<ol><li>top<ol><li>inner</li></ol></li></ol>") << 0 << 7
            << QStringList{"disc/1", "disc/2"} << QStringList{"-", "-"};
    }
    void bulletsChangeOnlyTheSelectedParagraphs()
    {
        QFETCH(QString, html);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, on);
        QFETCH(QStringList, off);
        TextEditor editor(files_.path());
        textEditOf(editor)->setHtml(html);
        select(textEditOf(editor), from, to);
        actionOf(editor, "bulletsAction")->trigger(); // down
        QCOMPARE(numbering(editor.document()), on);
        actionOf(editor, "bulletsAction")->trigger(); // up again
        QCOMPARE(numbering(editor.document()), off);
    }

    void clipboardButtonsDoWhatTheirIconsShow()
    {
        TextEditor editor(files_.path());
        textEditOf(editor)->setPlainText(QStringLiteral("abcdef"));
        QApplication::clipboard()->clear();
        select(textEditOf(editor), 0, 3);
        actionOf(editor, "copyAction")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("abcdef"));
        select(textEditOf(editor), 3, 6);
        actionOf(editor, "cutAction")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("def"));
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("abc"));
        select(textEditOf(editor), 0, 0);
        actionOf(editor, "pasteAction")->trigger();
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("defabc"));
        actionOf(editor, "undoAction")->trigger();
        QCOMPARE(editor.document().toPlainText(), QStringLiteral("abc"));
    }
};

QTEST_MAIN(TestTextEditor)
#include "tst_texteditor.moc"
