// The rich-text file operations: load RTF, else plain text, else "Failed to Load Stream";
// save as RTF with one write that follows no link, else "Failed to Save Stream".
#include "rtf/RichTextFile.h"
#include "rtf/RtfWriter.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <stdexcept>

using quorix::loadRichTextFile;
using quorix::saveRichTextFile;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

template <class F> QString failureOf(F &&step)
{
    try {
        step();
    } catch (const std::runtime_error &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

} // namespace

class TestRtfFile : public QObject
{
    Q_OBJECT

  private slots:
    void loadsRtf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.rtf"));
        writeFile(path, "{\\rtf1 {\\b Hello}\\par world}");
        QTextDocument doc;
        loadRichTextFile(doc, path);
        QCOMPARE(doc.toPlainText(), QStringLiteral("Hello\nworld"));
    }

    void loadsPlainText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.TXT"));
        writeFile(path, QString::fromUtf8("line one\nzwei – drei\n{\\b not rtf}").toLocal8Bit());
        QTextDocument doc;
        loadRichTextFile(doc, path);
        QCOMPARE(doc.toPlainText(), QString::fromUtf8("line one\nzwei – drei\n{\\b not rtf}"));
        QVERIFY(!doc.isUndoAvailable());
    }

    void rtfWhateverTheName()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("looks.txt"));
        writeFile(path, "{\\rtf1 x}");
        QTextDocument doc;
        loadRichTextFile(doc, path);
        QCOMPARE(doc.toPlainText(), QStringLiteral("x"));
    }

    void emptyFileIsEmptyText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("empty.rtf"));
        writeFile(path, QByteArray());
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("old"));
        loadRichTextFile(doc, path);
        QCOMPARE(doc.toPlainText(), QString());
    }

    void loadFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing.rtf");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("empty name") << QString();
    }

    void loadFailures()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("keep me"));
        QCOMPARE(failureOf([&] { loadRichTextFile(doc, path); }),
                 QStringLiteral("Failed to Load Stream"));
        QCOMPARE(doc.toPlainText(), QStringLiteral("keep me"));
    }

    void unreadableFile()
    {
        if (geteuid() == 0)
            QSKIP("root reads every file");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("locked.rtf"));
        writeFile(path, "{\\rtf1 x}");
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        QTextDocument doc;
        QCOMPARE(failureOf([&] { loadRichTextFile(doc, path); }),
                 QStringLiteral("Failed to Load Stream"));
    }

    void saves()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shar.rtf"));
        writeFile(path, QByteArray(100000, 'x')); // replaced whole
        QTextDocument doc;
        doc.setPlainText(QString::fromUtf8("Saved text – ok"));
        saveRichTextFile(doc, path);
        QCOMPARE(readFile(path), quorix::RtfWriter::write(doc));
        QTextDocument back;
        loadRichTextFile(back, path);
        QCOMPARE(back.toPlainText(), doc.toPlainText());
    }

    void saveFailures()
    {
        QTemporaryDir dir;
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("x"));
        QCOMPARE(failureOf([&] {
                     saveRichTextFile(doc, dir.filePath(QStringLiteral("no/such/dir.rtf")));
                 }),
                 QStringLiteral("Failed to Save Stream"));
        QCOMPARE(failureOf([&] { saveRichTextFile(doc, dir.path()); }),
                 QStringLiteral("Failed to Save Stream"));
    }

    void saveFollowsNoLink()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("victim.txt"));
        writeFile(target, "precious");
        const QString link = dir.filePath(QStringLiteral("shar.rtf"));
        QVERIFY(QFile::link(target, link));
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("x"));
        QCOMPARE(failureOf([&] { saveRichTextFile(doc, link); }),
                 QStringLiteral("Failed to Save Stream"));
        QCOMPARE(readFile(target), QByteArray("precious"));
    }
};

QTEST_MAIN(TestRtfFile)
#include "tst_rtf_file.moc"
