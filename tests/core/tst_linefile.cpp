#include "core/FileError.h"
#include "core/LineFile.h"
#include "core/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace quorix;

class TestLineFile : public QObject
{
    Q_OBJECT

  private slots:
    void parsing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("crlf") << QByteArray("Run\r\n") << QStringList{"Run"};
        QTest::newRow("no terminator") << QByteArray("Run") << QStringList{"Run"};
        QTest::newRow("lone cr and lf")
            << QByteArray("a\rb\nc\r\nd") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\nx\r\n") << QStringList{"", "", "x"};
        QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
        QTest::newRow("nothing trimmed") << QByteArray("  a \t\r\n") << QStringList{"  a \t"};
    }
    void parsing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(parseLines(bytes), lines);
    }

    void longLineIsCut()
    {
        const QByteArray longLine(5000, 'x');
        const QStringList lines = parseLines(longLine + "\r\nnext");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].size(), kMaxLineLength);
        QCOMPARE(lines[1], QStringLiteral("next"));
    }

    void formatEndsEveryLineWithCrLf()
    {
        QCOMPARE(formatLines({"Run"}), QByteArray("Run\r\n"));
        QCOMPARE(formatLines({"a", "", "b"}), QByteArray("a\r\n\r\nb\r\n"));
        QCOMPARE(formatLines({}), QByteArray());
    }

    void beyondLastLineIsEmpty()
    {
        const QStringList lines{"a"};
        QCOMPARE(lineAt(lines, 0), QStringLiteral("a"));
        QCOMPARE(lineAt(lines, 7), QString());
        QCOMPARE(lineAt(lines, -1), QString());
    }

    void roundTripThroughFileAndRewriteInPlace()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("quorix.cfg");
        writeLineFile(path, {"/srv/share/shar.bmp", "1", "", "ß€"});
        QCOMPARE(readLineFile(path), (QStringList{"/srv/share/shar.bmp", "1", "", "ß€"}));
        writeLineFile(path, {"Run"});
        QCOMPARE(readWholeFile(path), QByteArray("Run\r\n"));
    }

    void missingFileAndFolderFail()
    {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(FileError, readLineFile(dir.filePath("none.cfg")));
        QVERIFY_THROWS_EXCEPTION(FileError, writeLineFile(dir.filePath("gone/x.cfg"), {"a"}));
        QVERIFY_THROWS_EXCEPTION(FileError, readLineFile(dir.path()));
    }

    void readOnlyFolderFailsAndKeepsFile()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        const QString path = dir.filePath("quorixlog.cfg");
        writeLineFile(path, {"Run"});
        QFile::setPermissions(path, QFile::ReadOwner);
        QVERIFY_THROWS_EXCEPTION(FileError, writeLineFile(path, {"x"}));
        QCOMPARE(readWholeFile(path), QByteArray("Run\r\n"));
    }

    void symbolicLinkIsNotFollowed()
    {
        QTemporaryDir dir;
        const QString victim = dir.filePath("victim.txt");
        writeWholeFile(victim, "keep me");
        QVERIFY(QFile::link(victim, dir.filePath("shar.bmp")));
        try {
            writeWholeFile(dir.filePath("shar.bmp"), "overwrite");
            QFAIL("a write through a symbolic link must fail");
        } catch (const FileError &e) {
            QVERIFY(failureText(e).contains("shar.bmp"));
        }
        QCOMPARE(readWholeFile(victim), QByteArray("keep me"));
    }

    void folderParts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("file in folder") << "/srv/share/quorix.cfg"
                                        << "/srv/share/";
        QTest::newRow("bare name") << "quorix.cfg"
                                   << "";
        QTest::newRow("root") << "/quorix.cfg"
                              << "/";
        QTest::newRow("folder only") << "/srv/share/"
                                     << "/srv/share/";
    }
    void folderParts()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(folderPart(path), folder);
        QCOMPARE(withTrailingSlash(folder), folder.isEmpty() ? QStringLiteral("/") : folder);
    }
};

QTEST_GUILESS_MAIN(TestLineFile)
#include "tst_linefile.moc"
