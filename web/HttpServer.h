#pragma once
// The room's web server on libmicrohttpd: one thread of its own waiting on epoll for every
// connection, so a thousand open push channels cost memory, not threads. Only fixed
// routes are answered; nothing in a request ever becomes a path on the disk:
//
//   /                         the page (needs the room code when one is set)
//   /page.js, /page.css       its script and style
//   /events                   the push channel, Server-Sent Events (needs the code)
//   /text                     the current text as JSON (needs the code)
//   /picture/<run>/<n>.png    one of the last pictures, immutable
//
// A push channel that has nothing to send is suspended (it costs no polling) and woken by
// announce(). Every response carries a Content-Security-Policy that allows the page's own
// resources only.
#include "web/ClientLimits.h"
#include "web/ListenSocket.h"
#include "web/RoomContent.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>

#include <atomic>
#include <mutex>
#include <vector>

struct MHD_Daemon;
struct MHD_Connection;
struct MHD_Response;

namespace quorix {

class HttpServer
{
  public:
    struct Limits
    {
        int connections = 2000; // in all
        int perAddress = 32;    // per client address
        int idleSeconds = 10;   // a request's headers must keep coming; idle keep-alives close
        int requestBytes = 16 * 1024; // request line and headers
    };

    HttpServer(RoomContent &content, QByteArray code, Limits limits,
               QList<QHostAddress> trustedProxies);
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // Serves on the socket (taking it over); false with the reason in error() on failure.
    bool start(ListenSocket socket);
    void stop();
    QString error() const { return error_; }
    quint16 port() const { return port_; }

    // Wakes every push channel to send the content's new state.
    void announce();
    // Sends a comment on every push channel, so connections whose client has gone are
    // found and closed (a suspended channel notices nothing by itself).
    void keepAlive();

    int openStreams() const { return streams_.load(); }

  private:
    struct Stream;

    friend struct HttpCallbacks;

    int route(MHD_Connection *connection, const QByteArray &url);
    int refuse(MHD_Connection *connection, unsigned status);
    int openStream(MHD_Connection *connection);
    int answer(MHD_Connection *connection, unsigned status, const QByteArray &type,
               const QByteArray &body, const char *cacheControl);
    bool codeGiven(MHD_Connection *connection) const;
    void wakeAll();

    RoomContent &content_;
    const QByteArray code_;
    const Limits limits_;
    ClientLimits clients_;
    QByteArray page_, script_, style_;
    MHD_Daemon *daemon_ = nullptr;
    QString error_;
    quint16 port_ = 0;

    std::mutex streamMutex_;
    std::vector<Stream *> sleeping_;
    quint64 beat_ = 0;
    bool stopping_ = false;
    std::atomic<int> streams_{0};
};

} // namespace quorix
