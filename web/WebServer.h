#pragma once
// The room's web server, whole: the reading side of the exchange on a folder, what it
// reads published as the web content, and the HTTP server that hands it out. Used by
// quorix-serve and by Quorix itself when the presenter lets browsers watch. Lives on the
// thread that created it (the folder watch needs its event loop); the HTTP server runs
// on a thread of its own.
#include "web/HttpServer.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace quorix {

class ExchangeReader;
class FolderWatch;
class RoomSource;

class WebServer : public QObject
{
    Q_OBJECT

  public:
    struct Options
    {
        QString folder;
        QString listen = QStringLiteral(":8080");
        QByteArray code; // empty: no code needed
        QList<QHostAddress> trustedProxies;
        HttpServer::Limits limits;
    };

    // How often an idle push channel gets a comment, so that dead ones are closed.
    static constexpr int kKeepAliveMs = 10000;

    explicit WebServer(QObject *parent = nullptr);
    ~WebServer() override;

    // Starts serving; false with error() saying why (the port in use, say).
    bool start(const Options &options);
    void stop();
    bool isRunning() const { return http_ != nullptr; }
    QString error() const { return error_; }
    quint16 port() const;
    int openStreams() const;

    const RoomSource *source() const { return source_.get(); }

  signals:
    // A new state was announced to the browsers (tests and benchmarks wait on it).
    void announced();

  private:
    void publishPicture();
    void publishText();
    void publishState();

    std::unique_ptr<RoomContent> content_;
    std::unique_ptr<FolderWatch> watch_;
    std::unique_ptr<ExchangeReader> reader_;
    std::unique_ptr<RoomSource> source_;
    std::unique_ptr<HttpServer> http_;
    QTimer keepAlive_;
    QByteArray pictureAddress_;
    quint64 textVersion_ = 0;
    QString error_;
};

} // namespace quorix
