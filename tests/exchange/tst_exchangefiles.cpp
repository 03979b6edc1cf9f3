// Reading what the presenter writes, at any moment of the write: a picture shorter than
// its headers say is torn (read again later), a complete but broken one is corrupt, and
// nothing is read through a link, from a folder or from a pipe (which would stop the
// viewer). A text is complete once its outer group closes.
#include "core/WholeFile.h"
#include "exchange/ExchangeFiles.h"
#include "exchange/ExchangeProtocol.h"
#include "imaging/BmpFile.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorix;

Q_DECLARE_METATYPE(quorix::ReadResult)

class TestExchangeFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    static QImage picture(QColor colour, QSize size = {64, 48})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

  private slots:
    void picture_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ReadResult>("result");

        const QByteArray whole = encodeBmp(picture(Qt::red));
        QTest::newRow("whole") << whole << ReadResult::Ok;
        QTest::newRow("just truncated") << QByteArray() << ReadResult::Torn;
        QTest::newRow("headers only") << whole.left(54) << ReadResult::Torn;
        QTest::newRow("half the rows") << whole.left(whole.size() / 2) << ReadResult::Torn;
        QTest::newRow("one byte short") << whole.chopped(1) << ReadResult::Torn;
        QByteArray badDepth = whole;
        badDepth[28] = 7; // no such pixel depth
        QTest::newRow("complete, unreadable depth") << badDepth << ReadResult::Corrupt;
        QByteArray huge = whole;
        huge[18] = huge[19] = huge[20] = char(0x7f); // a width no memory holds
        QTest::newRow("absurd size") << huge << ReadResult::Corrupt;
        QTest::newRow("not a bitmap") << QByteArray(5000, 'x') << ReadResult::Corrupt;
    }

    void picture()
    {
        QFETCH(QByteArray, bytes);
        const QString path = dir.filePath(kBitmapName);
        writeWholeFile(path, bytes);
        const PictureFile read = readPictureFile(path);
        QTEST(read.result, "result");
        if (read.result == ReadResult::Ok)
            QCOMPARE(read.image.pixel(10, 10), qRgb(255, 0, 0));
    }

    // Quorix's 24-bit pictures (JPEG slides) read as well as its 32-bit ones.
    void twentyFourBits()
    {
        const QString path = dir.filePath(kBitmapName);
        const QImage image = picture(QColor(10, 200, 30), QSize(33, 7)); // padded rows
        const QByteArray headers = bmp24Headers(33, 7);
        QByteArray rows;
        for (int y = 6; y >= 0; --y) {
            QByteArray row;
            for (int x = 0; x < 33; ++x)
                row += QByteArray("\x1e\xc8\x0a", 3);
            row.resize(qsizetype(bmp24Stride(33)), '\0');
            rows += row;
        }
        writeWholeFile(path, headers + rows);
        PictureFile read = readPictureFile(path);
        QCOMPARE(read.result, ReadResult::Ok);
        QCOMPARE(read.image.pixel(32, 6), qRgb(10, 200, 30));
        writeWholeFile(path, headers + rows.chopped(3));
        QCOMPARE(readPictureFile(path).result, ReadResult::Torn);
    }

    void notPlainFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to a good picture") << "link";
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe without a writer") << "pipe";
        QTest::newRow("missing") << "missing";
    }

    // Never read, and never waited for: the viewer must go on. The reads run on a thread of
    // their own, so that one that waits fails the test instead of hanging it.
    void notPlainFiles()
    {
        QFETCH(QString, kind);
        QTemporaryDir here;
        const QString good = here.filePath("good.bmp");
        writeBmpFile(good, picture(Qt::red));
        const QString path = here.filePath(kBitmapName);
        if (kind == "link")
            QVERIFY(QFile::link(good, path));
        else if (kind == "folder")
            QVERIFY(QDir(here.path()).mkdir(kBitmapName));
        else if (kind == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

        auto reads = std::async(std::launch::async, [path] {
            return std::pair{readPictureFile(path).result, readExchangeFile(path).result};
        });
        if (reads.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            // A writer that comes and goes lets a read that waits on the pipe end.
            while (reads.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
                const int writer =
                    ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
                if (writer >= 0)
                    ::close(writer);
            }
            QFAIL("reading waited on the file");
        }
        const auto [picture, bytes] = reads.get();
        QCOMPARE(picture, ReadResult::Missing);
        QCOMPARE(bytes, ReadResult::Missing);
    }

    void rtfComplete_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("complete");
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\{not\\} a "
                               "group\\par}\r\n";
        QTest::newRow("whole") << rtf << true;
        QTest::newRow("without the last brace") << rtf.left(rtf.lastIndexOf('}')) << false;
        QTest::newRow("cut inside the font table") << rtf.left(20) << false;
        QTest::newRow("ends in a backslash") << QByteArray("{\\rtf1 a\\") << false;
        QTest::newRow("escaped backslash before the brace") << QByteArray("{\\rtf1 a\\\\}") << true;
        QTest::newRow("binary data holding braces")
            << QByteArray("{\\rtf1 {\\pict\\bin4 }}}{}x}") << true;
        QTest::newRow("binary data cut short") << QByteArray("{\\rtf1 {\\pict\\bin40 }}}") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("plain text") << QByteArray("just a note") << true;
    }

    void rtfComplete()
    {
        QFETCH(QByteArray, bytes);
        QTEST(quorix::rtfComplete(bytes), "complete");
    }

    void documents()
    {
        auto rtf = documentFromBytes("{\\rtf1\\ansi Hello room\\par}");
        QVERIFY(rtf);
        QCOMPARE(rtf->toPlainText().trimmed(), QStringLiteral("Hello room"));
        auto plain = documentFromBytes("line one\nline two");
        QVERIFY(plain);
        QCOMPARE(plain->toPlainText(), QStringLiteral("line one\nline two"));
    }
};

QTEST_MAIN(TestExchangeFiles)
#include "tst_exchangefiles.moc"
