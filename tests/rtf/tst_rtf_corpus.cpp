// Files: the fuzz corpus and crashers replayed (no crash, a stable write; a hang meets the
// test's time limit, and bench_rtf times the slowest file), and build/rtfcat on real files.
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using quorix::RtfReader;
using quorix::RtfWriter;

namespace {

const QString kData = QStringLiteral(QUORIX_TEST_DATA "/rtf");

struct Cat
{
    int exit = -1;
    QByteArray out;
    QByteArray err;
};

Cat rtfcat(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(QUORIX_RTFCAT), args);
    Cat c;
    if (!p.waitForFinished(60000))
        return c;
    c.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    c.out = p.readAllStandardOutput();
    c.err = p.readAllStandardError();
    return c;
}

} // namespace

class TestRtfCorpus : public QObject
{
    Q_OBJECT

  private slots:
    void replay_data()
    {
        QTest::addColumn<QString>("path");
        int n = 0;
        for (const char *folder : {"fuzz", "crashers"}) {
            QDirIterator it(kData + QLatin1Char('/') + QLatin1String(folder), QDir::Files);
            while (it.hasNext()) {
                const QString path = it.next();
                QTest::newRow(qPrintable(QLatin1String(folder) + QLatin1Char('/') + it.fileName()))
                    << path;
                ++n;
            }
        }
        if (n == 0)
            QTest::newRow("no corpus") << QString();
    }

    void replay()
    {
        QFETCH(QString, path);
        QVERIFY2(!path.isEmpty(), "the fuzz corpus is missing from tests/data/rtf/fuzz");
        QByteArray bytes = readFile(path);
        // As the fuzz target does: bytes without the header get it.
        if (!RtfReader::looksLikeRtf(bytes))
            bytes.prepend("{\\rtf1 ");
        QTextDocument doc;
        QVERIFY(RtfReader::read(bytes, doc).ok());
        const QByteArray once = RtfWriter::write(doc);
        QTextDocument again;
        QVERIFY(RtfReader::read(once, again).ok());
        QCOMPARE(again.toPlainText(), doc.toPlainText());
    }

    void rtfcatText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.rtf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 caf\\'e9 {\\b bold}\\par second}");
        f.close();
        const Cat text = rtfcat({path});
        QCOMPARE(text.exit, 0);
        QCOMPARE(QString::fromUtf8(text.out), QString::fromUtf8("café bold\nsecond\n"));
        const Cat html = rtfcat({QStringLiteral("--html"), path});
        QCOMPARE(html.exit, 0);
        QVERIFY(html.out.contains("<html>"));
        QVERIFY(html.out.contains("font-weight"));
        const Cat rtf = rtfcat({QStringLiteral("--rtf"), path});
        QCOMPARE(rtf.exit, 0);
        QVERIFY(rtf.out.startsWith("{\\rtf1"));
        QVERIFY(rtf.out.contains("caf\\u233\\'e9"));
    }

    void rtfcatFailure()
    {
        const Cat missing = rtfcat({QStringLiteral("/nonexistent/file.rtf")});
        QCOMPARE(missing.exit, 1);
        QVERIFY(missing.err.contains("Failed to Load Stream"));
        QVERIFY(missing.out.isEmpty());
        const Cat usage = rtfcat({});
        QCOMPARE(usage.exit, 2);
        QVERIFY(usage.err.contains("usage"));
    }
};

QTEST_MAIN(TestRtfCorpus)
#include "tst_rtf_corpus.moc"
