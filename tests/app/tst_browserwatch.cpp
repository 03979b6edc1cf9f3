// "Let browsers watch" in the Options dialog: off at first; on, it serves the shared folder
// on the chosen port with the room code, shows the addresses and a QR code that a reader
// (zbarimg) decodes to the first of them; "Show the address to the room" sends that
// picture with automatic sending off; the setting stays with the presenter, not in the
// shared folder.
#include "support/AppFixture.h"

#include "app/BrowserWatchPanel.h"
#include "exchange/CompactPicture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace quorix;

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The first line of the server's answer to GET `path`, or empty when nothing answers.
QByteArray statusLine(quint16 port, const QByteArray &path)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(2000))
        return {};
    socket.write("GET " + path + " HTTP/1.1\r\nHost: x\r\n\r\n");
    QByteArray answer;
    while (!answer.contains("\r\n") && socket.waitForReadyRead(2000))
        answer += socket.readAll();
    return answer.left(answer.indexOf("\r\n"));
}

QString decodeQr(const QImage &image)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("code.png"));
    image.save(path);
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), path});
    zbar.waitForFinished(10000);
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

} // namespace

class TestBrowserWatch : public QObject
{
    Q_OBJECT

  private slots:
    void letBrowsersWatch()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
            QSKIP("zbarimg is not installed (tools/deps.sh test)");
        AppFixture app;
        app.configure({app.shared() + "shar.bmp", "0", "1", "0", "1", "0", "", "0"});
        app.main->startUp();
        BrowserWatchPanel *panel = app.options->browserWatchPanel_;
        QVERIFY(!panel->letBrowsersWatchBox_->isChecked());
        QVERIFY(!panel->serving());
        QVERIFY(!panel->showAddressButton_->isEnabled());

        const quint16 port = freePort();
        panel->portBox_->setValue(port);
        panel->roomCodeEdit_->setText(QStringLiteral("blue 7"));
        panel->letBrowsersWatchBox_->setChecked(true);
        QVERIFY(panel->serving());
        QCOMPARE(panel->port(), port);
        QCOMPARE(statusLine(port, "/?code=blue%207"), QByteArray("HTTP/1.1 200 OK"));
        QCOMPARE(statusLine(port, "/"), QByteArray("HTTP/1.1 403 Forbidden"));

        QVERIFY(!panel->addresses().isEmpty());
        for (const QString &address : panel->addresses()) {
            QVERIFY2(address.endsWith(QStringLiteral(":%1/?code=blue%207").arg(port)),
                     qPrintable(address));
            QVERIFY(panel->addressLabel_->text().contains(address));
        }
        QCOMPARE(decodeQr(panel->qrLabel_->pixmap().toImage()), panel->addresses().first());

        // The presenter's own settings, not the viewers'.
        QSettings settings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"));
        QCOMPARE(settings.value(QStringLiteral("LetBrowsersWatch")).toBool(), true);
        QCOMPARE(settings.value(QStringLiteral("BrowsersRoomCode")).toString(),
                 QStringLiteral("blue 7"));
        QVERIFY(!readWholeFile(app.shared() + "quorix.cfg").contains("blue"));

        // Shown to the room: automatic sending goes off, the picture goes out.
        app.main->toggleAutoSend();
        QVERIFY(app.main->state().autoSend);
        panel->showAddressButton_->click();
        app.main->state().finishSending();
        QVERIFY(!app.main->state().autoSend);
        const QImage sent =
            decodeCompactPicture(readWholeFile(app.shared() + "shar.png"), QStringLiteral("png"));
        QCOMPARE(sent, panel->addressPicture().convertToFormat(sent.format()));
        QCOMPARE(decodeQr(sent), panel->addresses().first());

        panel->letBrowsersWatchBox_->setChecked(false);
        QVERIFY(!panel->serving());
        QVERIFY(statusLine(port, "/").isEmpty());
        QCOMPARE(settings.value(QStringLiteral("LetBrowsersWatch")).toBool(), false);
    }
};

QTEST_MAIN(TestBrowserWatch)
#include "tst_browserwatch.moc"
