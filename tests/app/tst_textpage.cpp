// The text source: its button, the Edit and Send buttons of the text page, and the copy of
// the editor's text into the page through a temporary file.
#include "rtf/RtfWriter.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "text/TextEditor.h"
#include "text/TextPage.h"

#include "controls/ColourPanel.h"
#include "controls/GradientButton.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QUrl>

using namespace quorix;

namespace {

// Answers the editor: types `text` (when given) and closes it with OK or Cancel, saying
// No to the save question.
void answerEditor(bool ok, const QString &text = {})
{
    answerModal<TextEditor>([ok, text](TextEditor *f) {
        if (!text.isEmpty()) {
            f->textEdit_->selectAll();
            QTest::keyClicks(f->textEdit_, text);
            answerModal<QMessageBox>([](QMessageBox *b) { b->button(QMessageBox::No)->click(); });
        }
        (ok ? f->okButton_ : f->cancelButton_)->click();
    });
}

struct TextApp : AppFixture
{
    TextApp() : AppFixture(true)
    {
        configure();
        main->startUp();
    }
    MainWindow &m() { return *main; }
    QString redText() { return main->textView_->toPlainText(); }
    QString temporary() { return program(TextPage::temporaryFileName()); }
};

} // namespace

class TestTextPage : public QObject
{
    Q_OBJECT

  private slots:
    void firstPressOpensTheEditor_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK fills the page") << true;
        QTest::newRow("Cancel leaves it empty") << false;
    }
    void firstPressOpensTheEditor()
    {
        QFETCH(bool, ok);
        TextApp app;
        bool editorShown = false;
        answerModal<TextEditor>([&](TextEditor *f) {
            editorShown = true;
            QTest::keyClicks(f->textEdit_, QStringLiteral("Hello viewers"));
            answerModal<QMessageBox>([](QMessageBox *b) { b->button(QMessageBox::No)->click(); });
            (ok ? f->okButton_ : f->cancelButton_)->click();
        });
        app.m().textButton_->click();
        QVERIFY(editorShown);
        QCOMPARE(app.redText(), ok ? QStringLiteral("Hello viewers") : QString());
        QCOMPARE(app.m().sourceMode(), 5);
        QCOMPARE(app.m().statusLabel_->text(), QStringLiteral("Text"));
        QVERIFY(app.m().textPanel_->isVisibleTo(&app.m()));
        QVERIFY(!QFile::exists(app.temporary()));
    }

    void laterPressesRefillOnlyAfterOk_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("last closed with OK") << true;
        QTest::newRow("last closed with Cancel") << false;
    }
    void laterPressesRefillOnlyAfterOk()
    {
        QFETCH(bool, ok);
        TextApp app;
        answerEditor(true, QStringLiteral("first"));
        app.m().textButton_->click();
        QCOMPARE(app.redText(), QStringLiteral("first"));

        answerEditor(ok, QStringLiteral("second"));
        app.m().textPage().editButton_->click();
        QCOMPARE(app.redText(), ok ? QStringLiteral("second") : QStringLiteral("first"));

        // The editor stays shut now that the page has text; what it holds still counts
        // when it was last closed with OK.
        app.m().textPage().editorDocument().setPlainText(QStringLiteral("third"));
        bool editorShown = false;
        answerModal<TextEditor>(
            [&](TextEditor *f) {
                editorShown = true;
                f->cancelButton_->click();
            },
            300);
        app.m().textButton_->click();
        QTest::qWait(400);
        QVERIFY(!editorShown);
        QCOMPARE(app.redText(), ok ? QStringLiteral("third") : QStringLiteral("first"));
    }

    void formattingWithoutCharactersCountsAsEmpty()
    {
        TextApp app;
        app.m().textView_->setHtml(QStringLiteral("<b></b>"));
        bool editorShown = false;
        answerModal<TextEditor>([&](TextEditor *f) {
            editorShown = true;
            f->cancelButton_->click();
        });
        app.m().textButton_->click();
        QVERIFY(editorShown);
    }

    void editCancelThenSendWritesTheEditorsText()
    {
        TextApp app;
        answerEditor(true, QStringLiteral("accepted"));
        app.m().textButton_->click();
        answerEditor(false, QStringLiteral("changed but cancelled"));
        app.m().textPage().editButton_->click();
        QCOMPARE(app.redText(), QStringLiteral("accepted"));
        app.m().autoSendBox_->setChecked(true);

        app.m().textPage().sendButton_->click();
        const QByteArray sent = readWholeFile(app.shared() + "shar.rtf");
        QCOMPARE(sent, RtfWriter::write(app.m().textPage().editorDocument()));
        QVERIFY(!app.m().autoSendBox_->isChecked());
        const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
        if (unrtf.isEmpty())
            QSKIP("unrtf is not installed");
        QProcess p;
        p.start(unrtf, {QStringLiteral("--text"), app.shared() + "shar.rtf"});
        QVERIFY(p.waitForFinished(20000));
        QVERIFY(p.readAllStandardOutput().contains("changed but cancelled"));
    }

    void libreOfficeReadsTheSentText()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        TextApp app;
        answerEditor(true, QStringLiteral("Read by a word processor"));
        app.m().textButton_->click();
        app.m().sendButton_->click();
        // LibreOffice keeps its profile in a temporary folder, not in the user's.
        QTemporaryDir profile, out;
        QProcess p;
        p.start(soffice, {"-env:UserInstallation=" + QUrl::fromLocalFile(profile.path()).toString(),
                          "--headless", "--convert-to", "txt:Text", "--outdir", out.path(),
                          app.shared() + "shar.rtf"});
        QVERIFY(p.waitForFinished(90000));
        QCOMPARE(readWholeFile(out.filePath("shar.txt")).trimmed().replace("\xEF\xBB\xBF", ""),
                 QByteArray("Read by a word processor"));
    }

    void takesTheViewBackFromTheSlidePage()
    {
        TextApp app;
        QWidget elsewhere;
        app.m().textView_->setParent(&elsewhere);
        app.m().textView_->setPlainText(QStringLiteral("a text slide"));
        app.m().textButton_->click(); // the page has text: no editor
        QCOMPARE(app.m().textView_->parentWidget(), app.m().textPanel_);
        QCOMPARE(app.redText(), QStringLiteral("a text slide"));
    }

    void temporaryFileIsReplacedAndNeverFollowed_data()
    {
        QTest::addColumn<bool>("link");
        QTest::newRow("stale file") << false;
        QTest::newRow("link to another file") << true;
    }
    void temporaryFileIsReplacedAndNeverFollowed()
    {
        QFETCH(bool, link);
        TextApp app;
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath("precious.rtf");
        writeWholeFile(target, "{\\rtf1 precious}");
        if (link)
            QVERIFY(QFile::link(target, app.temporary()));
        else
            writeWholeFile(app.temporary(), "{\\rtf1 stale}");
        app.m().textPage().editorDocument().setPlainText(QStringLiteral("fresh"));
        app.m().textPage().copyEditorText();
        QCOMPARE(app.redText(), QStringLiteral("fresh"));
        QVERIFY(!QFileInfo(app.temporary()).exists() && !QFileInfo(app.temporary()).isSymLink());
        QCOMPARE(readWholeFile(target), QByteArray("{\\rtf1 precious}"));
    }

    // A face named outside Latin-1 reaches the page (through the temporary RTF) by its name.
    void fontNamesOutsideLatin1ReachThePage()
    {
        TextApp app;
        QTextCharFormat face;
        face.setFontFamilies({QString::fromUtf8("Шрифт 明朝")});
        QTextCursor(&app.m().textPage().editorDocument()).insertText(QStringLiteral("x"), face);
        app.m().textPage().copyEditorText();
        QTextCursor at(app.m().textView_->document());
        at.setPosition(1);
        QCOMPARE(at.charFormat().fontFamilies().toStringList().value(0),
                 QString::fromUtf8("Шрифт 明朝"));
    }

    void failedCopyIsReportedAndKeepsThePage()
    {
        TextApp app;
        app.m().textView_->setPlainText(QStringLiteral("old"));
        app.m().textPage().editorDocument().setPlainText(QStringLiteral("new"));
        // A folder where the temporary file should go: it can be neither written nor left.
        QVERIFY(QDir().mkdir(app.temporary()));
        QString report;
        answerModal<QMessageBox>([&](QMessageBox *b) {
            report = b->text();
            b->accept();
        });
        answerModal<TextEditor>([](TextEditor *f) { f->okButton_->click(); });
        app.m().textPage().editButton_->click();
        QCOMPARE(report, QStringLiteral("Failed to Save Stream."));
        QCOMPARE(app.redText(), QStringLiteral("old"));
    }
};

QTEST_MAIN(TestTextPage)
#include "tst_textpage.moc"
