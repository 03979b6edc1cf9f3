// The web server's pieces without a network: the text as the page gets it, the pictures
// kept, who a request comes from, and the listening socket.
#include "exchange/ExchangeFiles.h"
#include "web/AccessCode.h"
#include "web/ClientLimits.h"
#include "web/ListenSocket.h"
#include "web/RoomContent.h"
#include "web/TextJson.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTextDocument>

#include <unistd.h>

using namespace quorix;

class WebContentTest : public QObject
{
    Q_OBJECT

  private:
    static QJsonArray paragraphsOf(const QByteArray &rtf)
    {
        const auto document = documentFromBytes(rtf);
        if (!document)
            return {};
        QJsonParseError error{};
        const QJsonDocument json = QJsonDocument::fromJson(textToJson(*document), &error);
        if (error.error != QJsonParseError::NoError)
            return {};
        return json.object().value(u"paragraphs").toArray();
    }

  private slots:
    void formats_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");
        QTest::newRow("bold") << QByteArray("{\\rtf1 {\\b word}\\par}") << "bold"
                              << QJsonValue(true);
        QTest::newRow("italic") << QByteArray("{\\rtf1 {\\i word}\\par}") << "italic"
                                << QJsonValue(true);
        QTest::newRow("underline")
            << QByteArray("{\\rtf1 {\\ul word}\\par}") << "underline" << QJsonValue(true);
        QTest::newRow("colour")
            << QByteArray("{\\rtf1{\\colortbl;\\red1\\green128\\blue255;}{\\cf1 word}\\par}")
            << "color" << QJsonValue("#0180ff");
        QTest::newRow("size") << QByteArray("{\\rtf1 {\\fs36 word}\\par}") << "size"
                              << QJsonValue(18);
        QTest::newRow("font") << QByteArray(
                                     "{\\rtf1{\\fonttbl{\\f1 Liberation Serif;}}{\\f1 word}\\par}")
                              << "font" << QJsonValue("Liberation Serif");
        // A family name that would break out of the page's quotes loses what could.
        QTest::newRow("hostile font")
            << QByteArray("{\\rtf1{\\fonttbl{\\f1 Evil\"),url(x)--;}}{\\f1 word}\\par}") << "font"
            << QJsonValue("Evilurlx--");
    }

    void formats()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        const QJsonArray paragraphs = paragraphsOf(rtf);
        QVERIFY(!paragraphs.isEmpty());
        const QJsonObject run = paragraphs[0].toObject()[u"runs"].toArray()[0].toObject();
        QCOMPARE(run[u"text"].toString(), QStringLiteral("word"));
        QCOMPARE(run[key], value);
    }

    void alignmentAndBullets()
    {
        const QJsonArray paragraphs =
            paragraphsOf("{\\rtf1\\qc centre\\par\\pard\\qr right\\par\\pard "
                         "{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\ls1 item\\par}");
        QCOMPARE(paragraphs.size(), 3);
        QCOMPARE(paragraphs[0].toObject()[u"align"].toString(), QStringLiteral("center"));
        QCOMPARE(paragraphs[1].toObject()[u"align"].toString(), QStringLiteral("right"));
        QCOMPARE(paragraphs[2].toObject()[u"bullet"].toBool(), true);
    }

    // Markup, links and fields in a text come out as their characters and nothing more:
    // no property but the fixed ones, no address.
    void hostileTextStaysText()
    {
        const QJsonArray paragraphs =
            paragraphsOf("{\\rtf1 <script>alert(1)</script> {\\field{\\*\\fldinst HYPERLINK "
                         "\"javascript:alert(2)\"}"
                         "{\\fldrslt click}}\\par}");
        QString all;
        const QSet<QString> allowed{"text",  "bold",       "italic", "underline",
                                    "color", "background", "size",   "font"};
        for (const QJsonValue &paragraph : paragraphs)
            for (const QJsonValue &run : paragraph.toObject()[u"runs"].toArray()) {
                for (const QString &key : run.toObject().keys())
                    QVERIFY2(allowed.contains(key), qPrintable(key));
                all += run.toObject()[u"text"].toString();
            }
        QVERIFY(all.contains(u"<script>alert(1)</script>"));
        QVERIFY(all.contains(u"click"));
        QVERIFY(!all.contains(u"javascript:"));
    }

    // A picture in the text gets the address the server gives it, at its size in the
    // document; without an address it is left out.
    void picturesInTheText()
    {
        QImage red(4, 3, QImage::Format_RGB32);
        red.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "PNG");
        const QByteArray rtf =
            "{\\rtf1 before {\\pict\\pngblip\\picw4\\pich3 " + png.toHex() + "} after\\par}";
        const auto document = documentFromBytes(rtf);
        QVERIFY(document);
        QList<QImage> given;
        const QJsonArray runs =
            QJsonDocument::fromJson(textToJson(*document,
                                               [&](const QImage &i) {
                                                   given << i;
                                                   return QStringLiteral("/picture/x/7.png");
                                               }))
                .object()[u"paragraphs"][0][u"runs"]
                .toArray();
        QCOMPARE(given.size(), 1);
        QCOMPARE(given[0].size(), QSize(4, 3));
        QCOMPARE(given[0].pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(runs.size(), 3);
        QCOMPARE(runs[1][u"image"].toString(), QStringLiteral("/picture/x/7.png"));
        QVERIFY(runs[1][u"width"].toDouble() > 0);
        const QJsonArray without = QJsonDocument::fromJson(textToJson(*document))
                                       .object()[u"paragraphs"][0][u"runs"]
                                       .toArray();
        QCOMPARE(without.size(), 2);
    }

    // Every case the RTF fuzzer kept gives valid JSON (or no document), never a crash.
    void fuzzCorpus()
    {
        const QDir corpus(QStringLiteral(QUORIX_TEST_DATA "/rtf/fuzz"));
        const QStringList names = corpus.entryList(QDir::Files);
        QVERIFY(names.size() > 100);
        for (const QString &name : names) {
            QFile file(corpus.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const auto document = documentFromBytes(file.readAll());
            if (!document)
                continue;
            QJsonParseError error{};
            QJsonDocument::fromJson(textToJson(*document), &error);
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(name));
        }
    }

    void keepsTheLastPictures()
    {
        RoomContent content;
        RoomContent other;
        QVERIFY(content.runToken() != other.runToken());
        QCOMPARE(content.runToken().size(), 32);
        for (int n = 1; n <= RoomContent::kKeptPictures + 1; ++n)
            QCOMPARE(content.addPicture(QByteArray::number(n)), quint64(n));
        QVERIFY(content.picture(content.runToken(), 1).isNull());
        QCOMPARE(content.picture(content.runToken(), 2), QByteArray("2"));
        QCOMPARE(content.picture(content.runToken(), 17), QByteArray("17"));
        QVERIFY(content.picture(other.runToken(), 17).isNull());
        QVERIFY(content.picture(content.runToken(), 18).isNull());
        QCOMPARE(content.pictureAddress(3), "/picture/" + content.runToken() + "/3.png");
    }

    void clientAddress_data()
    {
        QTest::addColumn<QString>("peer");
        QTest::addColumn<QByteArray>("forwarded");
        QTest::addColumn<QString>("client");
        QTest::newRow("direct") << "192.168.1.20" << QByteArray() << "192.168.1.20";
        QTest::newRow("direct ignores the header")
            << "192.168.1.20" << QByteArray("10.0.0.1") << "192.168.1.20";
        QTest::newRow("mapped IPv4") << "::ffff:192.168.1.20" << QByteArray() << "192.168.1.20";
        QTest::newRow("proxy") << "127.0.0.1" << QByteArray("10.0.0.1") << "10.0.0.1";
        QTest::newRow("proxy chain, client's own claim ignored")
            << "127.0.0.1" << QByteArray("6.6.6.6, 10.0.0.1") << "10.0.0.1";
        QTest::newRow("through two trusted proxies")
            << "127.0.0.1" << QByteArray("10.0.0.1, 192.168.1.1") << "10.0.0.1";
        QTest::newRow("proxy without header") << "127.0.0.1" << QByteArray() << "127.0.0.1";
        QTest::newRow("garbage") << "127.0.0.1" << QByteArray("<script>") << "127.0.0.1";
    }

    void clientAddress()
    {
        QFETCH(QString, peer);
        QFETCH(QByteArray, forwarded);
        QFETCH(QString, client);
        const ClientLimits limits(4, {QHostAddress("127.0.0.1"), QHostAddress("192.168.1.1")});
        QCOMPARE(limits.clientOf(QHostAddress(peer), forwarded).toString(), client);
    }

    void perAddressLimit()
    {
        ClientLimits limits(2);
        const QHostAddress a("10.0.0.1");
        QVERIFY(limits.take(a));
        QVERIFY(limits.take(QHostAddress("::ffff:10.0.0.1")));
        QVERIFY(!limits.take(a));
        QVERIFY(limits.take(QHostAddress("10.0.0.2")));
        limits.release(a);
        QVERIFY(limits.take(a));
        QCOMPARE(limits.held(a), 2);
    }

    void accessCode()
    {
        QVERIFY(codeMatches({}, {}));
        QVERIFY(codeMatches({}, "anything"));
        QVERIFY(codeMatches("blue", "blue"));
        QVERIFY(!codeMatches("blue", ""));
        QVERIFY(!codeMatches("blue", "blu"));
        QVERIFY(!codeMatches("blue", "blue "));
        QVERIFY(!codeMatches("blue", "BLUE"));
    }

    void listenAddresses_data()
    {
        QTest::addColumn<QString>("listen");
        QTest::addColumn<bool>("works");
        QTest::newRow("IPv4 any port") << "127.0.0.1:0" << true;
        QTest::newRow("IPv6") << "[::1]:0" << true;
        QTest::newRow("port only") << ":0" << true;
        QTest::newRow("name") << "localhost:0" << false;
        QTest::newRow("port too big") << "127.0.0.1:70000" << false;
        QTest::newRow("not a port") << "127.0.0.1:http" << false;
        QTest::newRow("unclosed bracket") << "[::1:0" << false;
    }

    void listenAddresses()
    {
        QFETCH(QString, listen);
        QFETCH(bool, works);
        const ListenSocket socket = openListenSocket(listen);
        QCOMPARE(socket.ok(), works);
        QCOMPARE(socket.error.isEmpty(), works);
        if (socket.ok()) {
            QVERIFY(socket.port != 0);
            ::close(socket.fd);
        }
    }

    void portInUse()
    {
        const ListenSocket first = openListenSocket(QStringLiteral("127.0.0.1:0"));
        QVERIFY(first.ok());
        const ListenSocket second =
            openListenSocket(QStringLiteral("127.0.0.1:%1").arg(first.port));
        QVERIFY(!second.ok());
        QVERIFY(second.portInUse);
        QVERIFY2(second.error.contains(QString::number(first.port)), qPrintable(second.error));
        ::close(first.fd);
    }
};

QTEST_MAIN(WebContentTest)
#include "tst_webcontent.moc"
