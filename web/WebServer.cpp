#include "web/WebServer.h"

#include "exchange/CompactPicture.h"
#include "exchange/ExchangeReader.h"
#include "exchange/FolderWatch.h"
#include "web/RoomSource.h"
#include "web/TextJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextDocument>

namespace quorix {

namespace {

// Pictures of one text served at most; the rest of a text with more is left out.
constexpr size_t kMaxTextPictures = 64;

} // namespace

WebServer::WebServer(QObject *parent) : QObject(parent)
{
    keepAlive_.setInterval(kKeepAliveMs);
    connect(&keepAlive_, &QTimer::timeout, this, [this] {
        if (http_)
            http_->keepAlive();
    });
}

WebServer::~WebServer()
{
    stop();
}

bool WebServer::start(const Options &options)
{
    stop();
    error_.clear();
    content_ = std::make_unique<RoomContent>();
    content_->setText(textToJson(QTextDocument()));
    auto http = std::make_unique<HttpServer>(*content_, options.code, options.limits,
                                             options.trustedProxies);
    if (!http->start(openListenSocket(options.listen))) {
        error_ = http->error();
        content_.reset();
        return false;
    }
    http_ = std::move(http);
    watch_ = std::make_unique<FolderWatch>(options.folder);
    reader_ = std::make_unique<ExchangeReader>(*watch_);
    source_ = std::make_unique<RoomSource>(*watch_, *reader_);
    connect(source_.get(), &RoomSource::pictureChanged, this, &WebServer::publishPicture);
    connect(source_.get(), &RoomSource::textChanged, this, &WebServer::publishText);
    connect(source_.get(), &RoomSource::stateChanged, this, &WebServer::publishState);
    publishState();
    watch_->start();
    keepAlive_.start();
    return true;
}

void WebServer::stop()
{
    keepAlive_.stop();
    if (http_)
        http_->stop();
    source_.reset();
    reader_.reset();
    watch_.reset();
    http_.reset();
    content_.reset();
    pictureAddress_.clear();
    textVersion_ = 0;
}

quint16 WebServer::port() const
{
    return http_ ? http_->port() : 0;
}

int WebServer::openStreams() const
{
    return http_ ? http_->openStreams() : 0;
}

void WebServer::publishPicture()
{
    const quint64 number = content_->addPicture(source_->picture().png);
    pictureAddress_ = content_->pictureAddress(number);
}

void WebServer::publishText()
{
    if (const QSharedPointer<QTextDocument> text = source_->text()) {
        std::vector<RoomContent::TextPicture> pictures;
        const QByteArray json = textToJson(*text, [&](const QImage &image) {
            QByteArray png = encodeCompactPicture(image);
            if (png.isEmpty() || pictures.size() >= kMaxTextPictures)
                return QString();
            const quint64 number = content_->nextNumber();
            pictures.push_back({number, std::move(png)});
            return QString::fromLatin1(content_->pictureAddress(number));
        });
        content_->setText(json, std::move(pictures));
    }
    ++textVersion_;
}

void WebServer::publishState()
{
    const char *showing = "waiting";
    switch (source_->showing()) {
    case RoomSource::Showing::Picture:
        showing = "picture";
        break;
    case RoomSource::Showing::Text:
        showing = "text";
        break;
    case RoomSource::Showing::Waiting:
        break;
    }
    const ViewerSettings settings = source_->settings();
    QJsonObject state{
        {QStringLiteral("showing"), QString::fromLatin1(showing)},
        {QStringLiteral("text"), qint64(textVersion_)},
        {QStringLiteral("stretch"), settings.stretch},
        {QStringLiteral("center"), settings.center},
        {QStringLiteral("fullScreen"), settings.fullScreen},
        {QStringLiteral("scroll"), settings.scrollVisible ? settings.scrollText : QString()},
    };
    if (!pictureAddress_.isEmpty())
        state.insert(QStringLiteral("picture"), QString::fromLatin1(pictureAddress_));
    content_->setState(QJsonDocument(state).toJson(QJsonDocument::Compact));
    http_->announce();
    emit announced();
}

} // namespace quorix
