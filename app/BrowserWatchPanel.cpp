#include "app/BrowserWatchPanel.h"

#include "app/MainWindow.h"
#include "app/QrCode.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "core/FileError.h"
#include "web/ListenSocket.h"
#include "web/WebServer.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

namespace quorix {

namespace {

const char *const kOnKey = "LetBrowsersWatch";
const char *const kPortKey = "BrowsersPort";
const char *const kCodeKey = "BrowsersRoomCode";

QSettings presenterSettings()
{
    return QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"));
}

// The page's address on each of the machine's own addresses, IPv4 first; loopback only
// when there is nothing else (a machine without a network).
QStringList pageAddresses(quint16 port, const QString &code)
{
    QStringList v4, v6;
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (address.isLoopback() || address.isLinkLocal() || address.isMulticast())
            continue;
        QUrl url;
        url.setScheme(QStringLiteral("http"));
        url.setHost(address.toString());
        url.setPort(port);
        url.setPath(QStringLiteral("/"));
        if (!code.isEmpty())
            url.setQuery(QStringLiteral("code=") + QUrl::toPercentEncoding(code));
        (address.protocol() == QAbstractSocket::IPv4Protocol ? v4 : v6)
            << url.toString(QUrl::FullyEncoded);
    }
    QStringList all = v4 + v6;
    if (all.isEmpty())
        all << QStringLiteral("http://127.0.0.1:%1/").arg(port) +
                   (code.isEmpty() ? QString() : QStringLiteral("?code=") + code);
    return all;
}

} // namespace

BrowserWatchPanel::BrowserWatchPanel(MainWindow *main, QWidget *parent)
    : QWidget(parent), main_(main)
{
    setupLayout();
    QSettings s = presenterSettings();
    letBrowsersWatchBox_->setChecked(s.value(QLatin1String(kOnKey), false).toBool());
    portBox_->setValue(s.value(QLatin1String(kPortKey), int(kDefaultWebPort)).toInt());
    roomCodeEdit_->setText(s.value(QLatin1String(kCodeKey)).toString());
    connect(letBrowsersWatchBox_, &QCheckBox::toggled, this, reported([this] {
                store();
                apply();
            }));
    connect(showAddressButton_, &QPushButton::clicked, this,
            reported([this] { main_->sendPicture(addressPicture()); }));
    // At start-up (the folder is read then) and whenever the presenter changes it.
    connect(&main_->state(), &SharedState::sharedFolderChanged, this, [this] {
        if (letBrowsersWatchBox_->isChecked())
            runReported([this] { apply(); });
    });
    showAddresses();
}

BrowserWatchPanel::~BrowserWatchPanel() = default;

void BrowserWatchPanel::setupLayout()
{
    setObjectName(QStringLiteral("browserWatchPanel"));
    setFixedSize(395, kHeight);
    auto *rule = place(new QFrame(this), "browsersRule", 9, 0, 377, 2);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    letBrowsersWatchBox_ = place(new QCheckBox(tr("Let browsers watch"), this),
                                 "letBrowsersWatchBox", 12, 12, 150, 17);
    place(new QLabel(tr("Port"), this), "portLabel", 12, 40, 40, 17);
    portBox_ = place(new QSpinBox(this), "portBox", 56, 38, 70, 21);
    portBox_->setRange(1, 65535);
    place(new QLabel(tr("Room code"), this), "roomCodeLabel", 12, 68, 70, 17);
    roomCodeEdit_ = place(new QLineEdit(this), "roomCodeEdit", 12, 86, 114, 21);
    roomCodeEdit_->setToolTip(tr("Browsers need this code, carried in the address; "
                                 "leave it empty for none"));
    addressLabel_ = place(new QLabel(this), "addressLabel", 150, 12, 132, 96);
    addressLabel_->setWordWrap(true);
    addressLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    addressLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    qrLabel_ = place(new QLabel(this), "qrLabel", 286, 8, 100, 100);
    qrLabel_->setAlignment(Qt::AlignCenter);
    showAddressButton_ = place(new QPushButton(tr("Show the address to the room"), this),
                               "showAddressButton", 12, 116, 200, 25);
}

void BrowserWatchPanel::store()
{
    QSettings s = presenterSettings();
    s.setValue(QLatin1String(kOnKey), letBrowsersWatchBox_->isChecked());
    s.setValue(QLatin1String(kPortKey), portBox_->value());
    s.setValue(QLatin1String(kCodeKey), roomCodeEdit_->text());
    s.sync();
    if (s.status() != QSettings::NoError)
        throw FileError(tr("The setting \"Let browsers watch\" could not be stored: it holds "
                           "until Quorix ends"));
}

bool BrowserWatchPanel::serving() const
{
    return server_ && server_->isRunning();
}

quint16 BrowserWatchPanel::port() const
{
    return serving() ? server_->port() : 0;
}

void BrowserWatchPanel::apply()
{
    delete server_;
    server_ = nullptr;
    if (letBrowsersWatchBox_->isChecked() && !main_->sharedFolder().isEmpty()) {
        server_ = new WebServer(this);
        WebServer::Options options;
        options.folder = main_->sharedFolder();
        options.listen = QStringLiteral(":%1").arg(portBox_->value());
        options.code = roomCodeEdit_->text().toUtf8();
        if (!server_->start(options)) {
            const QString why = server_->error();
            delete server_;
            server_ = nullptr;
            showAddresses();
            throw FileError(why);
        }
    }
    showAddresses();
}

void BrowserWatchPanel::showAddresses()
{
    portBox_->setEnabled(!serving());
    roomCodeEdit_->setEnabled(!serving());
    showAddressButton_->setEnabled(serving());
    if (!serving()) {
        addresses_.clear();
        addressLabel_->setText(letBrowsersWatchBox_->isChecked()
                                   ? tr("Choose the shared folder first.")
                                   : tr("Phones, tablets and laptops in the room can watch "
                                        "in a web browser."));
        qrLabel_->clear();
        return;
    }
    addresses_ = pageAddresses(port(), roomCodeEdit_->text());
    addressLabel_->setText(tr("Open in a browser:") + u'\n' + addresses_.join(u'\n'));
    qrLabel_->setPixmap(QPixmap::fromImage(qrCodeImage(addresses_.first(), 2)));
}

QImage BrowserWatchPanel::addressPicture() const
{
    QImage picture(1280, 720, QImage::Format_RGB32);
    picture.fill(QColor(29, 36, 48));
    if (addresses_.isEmpty())
        return picture;
    QPainter p(&picture);
    const QImage code = qrCodeImage(addresses_.first(), 10);
    const int side = qMin(code.width(), 520);
    p.drawImage(QRect(60, (720 - side) / 2, side, side), code);
    p.setPen(QColor(200, 208, 220));
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPixelSize(40);
    p.setFont(big);
    const QRect text(side + 100, 120, 1280 - side - 140, 480);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               tr("Watch in your web browser:") + u'\n' + addresses_.first() +
                   (roomCodeEdit_->text().isEmpty()
                        ? QString()
                        : u'\n' + tr("Room code: %1").arg(roomCodeEdit_->text())));
    return picture;
}

} // namespace quorix
