#include "web/HttpServer.h"

#include "web/AccessCode.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <microhttpd.h>
#include <unistd.h>

static void initPageResources()
{
    Q_INIT_RESOURCE(page);
}

namespace quorix {

namespace {

// Only the page's own script, style, pictures and push channel; no inline code or style,
// no frames, no forms, no base address of another origin.
constexpr char kPolicy[] = "default-src 'none'; script-src 'self'; style-src 'self'; "
                           "img-src 'self'; connect-src 'self'; base-uri 'none'; "
                           "form-action 'none'; frame-ancestors 'none'";

QByteArray resource(const char *name)
{
    QFile file(QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void secure(MHD_Response *response)
{
    MHD_add_response_header(response, "Content-Security-Policy", kPolicy);
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    // The room code is in the page's address: never hand it on.
    MHD_add_response_header(response, "Referrer-Policy", "no-referrer");
}

QHostAddress peerOf(MHD_Connection *connection)
{
    const MHD_ConnectionInfo *info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info && info->client_addr ? QHostAddress(info->client_addr) : QHostAddress();
}

// "/picture/<32 hex digits>/<number>.png" -> the token and number.
bool parsePicture(const QByteArray &url, QByteArray &token, quint64 &number)
{
    static constexpr char prefix[] = "/picture/";
    constexpr qsizetype tokenLength = 32;
    if (!url.startsWith(prefix) || !url.endsWith(".png"))
        return false;
    const QByteArray rest = url.mid(qsizetype(sizeof prefix) - 1);
    if (rest.size() < tokenLength + 6 || rest[tokenLength] != '/')
        return false;
    token = rest.left(tokenLength);
    const QByteArray digits = rest.mid(tokenLength + 1, rest.size() - tokenLength - 5);
    if (digits.isEmpty() || digits.size() > 19)
        return false;
    for (char c : token)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    for (char c : digits)
        if (c < '0' || c > '9')
            return false;
    number = digits.toULongLong();
    return true;
}

// A response whose body is a shared byte array, sent without copying it.
struct SharedBody
{
    QByteArray bytes;
};

ssize_t readShared(void *body, uint64_t position, char *buffer, size_t max)
{
    const QByteArray &bytes = static_cast<SharedBody *>(body)->bytes;
    if (position >= uint64_t(bytes.size()))
        return MHD_CONTENT_READER_END_OF_STREAM;
    const size_t n = std::min(max, size_t(uint64_t(bytes.size()) - position));
    std::memcpy(buffer, bytes.constData() + position, n);
    return ssize_t(n);
}

void freeShared(void *body)
{
    delete static_cast<SharedBody *>(body);
}

} // namespace

struct HttpServer::Stream
{
    HttpServer *server;
    MHD_Connection *connection;
    QHostAddress client;
    bool proxied; // counted by the forwarded address, not by the connection
    quint64 sentVersion = 0;
    quint64 beat = 0;
    QByteArray pending;
    qsizetype offset = 0;
};

// The library's callbacks, with its own types, kept out of the header.
struct HttpCallbacks
{
    static MHD_Result acceptPolicy(void *self, const sockaddr *address, socklen_t)
    {
        auto *server = static_cast<HttpServer *>(self);
        const QHostAddress peer(address);
        if (server->clients_.isTrustedProxy(peer))
            return MHD_YES;
        return server->clients_.held(peer) < server->limits_.perAddress ? MHD_YES : MHD_NO;
    }

    static void connectionNotice(void *self, MHD_Connection *connection, void **,
                                 MHD_ConnectionNotificationCode code)
    {
        auto *server = static_cast<HttpServer *>(self);
        const QHostAddress peer = peerOf(connection);
        if (server->clients_.isTrustedProxy(peer))
            return;
        if (code == MHD_CONNECTION_NOTIFY_STARTED)
            server->clients_.take(peer);
        else
            server->clients_.release(peer);
    }

    static MHD_Result handle(void *self, MHD_Connection *connection, const char *url,
                             const char *method, const char *, const char *, size_t *uploadSize,
                             void **context)
    {
        auto *server = static_cast<HttpServer *>(self);
        static int headersSeen;
        if (!*context) {
            *context = &headersSeen;
            // Only GET and HEAD, and no body: anything else is answered at once, before a
            // byte of a body is read, and the connection closed.
            if (std::strcmp(method, "GET") != 0 && std::strcmp(method, "HEAD") != 0)
                return MHD_Result(server->refuse(connection, 405));
            if (MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length") ||
                MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Transfer-Encoding"))
                return MHD_Result(server->refuse(connection, 413));
            return MHD_YES; // the answer comes with the request's end, keeping the connection
        }
        if (*uploadSize != 0) {
            *uploadSize = 0;
            return MHD_YES;
        }
        return MHD_Result(server->route(connection, QByteArray(url)));
    }

    static ssize_t streamRead(void *stream, uint64_t, char *buffer, size_t max)
    {
        auto *s = static_cast<HttpServer::Stream *>(stream);
        HttpServer &server = *s->server;
        std::lock_guard lock(server.streamMutex_);
        if (server.stopping_)
            return MHD_CONTENT_READER_END_OF_STREAM;
        if (s->offset >= s->pending.size()) {
            const RoomContent::State state = server.content_.state();
            s->offset = 0;
            if (state.version != s->sentVersion) {
                // The first announcement also sets how soon the browser reconnects.
                s->pending = (s->sentVersion == 0 ? "retry: 1000\n" : "") +
                             QByteArray("event: state\ndata: ") + state.json + "\n\n";
                s->sentVersion = state.version;
            } else if (s->beat != server.beat_) {
                s->pending = ": \n\n";
                s->beat = server.beat_;
            } else {
                s->pending.clear();
                MHD_suspend_connection(s->connection);
                server.sleeping_.push_back(s);
                return 0;
            }
        }
        const size_t n = std::min(max, size_t(s->pending.size() - s->offset));
        std::memcpy(buffer, s->pending.constData() + s->offset, n);
        s->offset += qsizetype(n);
        return ssize_t(n);
    }

    static void streamEnd(void *stream)
    {
        auto *s = static_cast<HttpServer::Stream *>(stream);
        HttpServer &server = *s->server;
        {
            std::lock_guard lock(server.streamMutex_);
            std::erase(server.sleeping_, s);
        }
        if (s->proxied)
            server.clients_.release(s->client);
        --server.streams_;
        delete s;
    }
};

HttpServer::HttpServer(RoomContent &content, QByteArray code, Limits limits,
                       QList<QHostAddress> trustedProxies)
    : content_(content), code_(std::move(code)), limits_(limits),
      clients_(limits.perAddress, std::move(trustedProxies))
{
    initPageResources();
    page_ = resource(":/web/index.html");
    script_ = resource(":/web/page.js");
    style_ = resource(":/web/page.css");
}

HttpServer::~HttpServer()
{
    stop();
}

bool HttpServer::start(ListenSocket socket)
{
    if (!socket.ok()) {
        error_ = socket.error;
        return false;
    }
    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ITC;
    if (socket.ipv6)
        flags |= MHD_USE_IPv6;
    daemon_ = MHD_start_daemon(
        flags, 0, &HttpCallbacks::acceptPolicy, this, &HttpCallbacks::handle, this,
        MHD_OPTION_LISTEN_SOCKET, socket.fd, MHD_OPTION_CONNECTION_LIMIT,
        unsigned(limits_.connections), MHD_OPTION_CONNECTION_TIMEOUT, unsigned(limits_.idleSeconds),
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, size_t(limits_.requestBytes),
        MHD_OPTION_NOTIFY_CONNECTION, &HttpCallbacks::connectionNotice, this, MHD_OPTION_END);
    if (!daemon_) {
        ::close(socket.fd);
        error_ = QStringLiteral("The web server could not start on port %1.").arg(socket.port);
        return false;
    }
    port_ = socket.port;
    return true;
}

void HttpServer::stop()
{
    if (!daemon_)
        return;
    {
        std::lock_guard lock(streamMutex_);
        stopping_ = true;
    }
    wakeAll(); // suspended channels end their stream, then the daemon closes them
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
}

void HttpServer::announce()
{
    wakeAll();
}

void HttpServer::keepAlive()
{
    {
        std::lock_guard lock(streamMutex_);
        ++beat_;
    }
    wakeAll();
}

void HttpServer::wakeAll()
{
    std::lock_guard lock(streamMutex_);
    for (Stream *s : sleeping_)
        MHD_resume_connection(s->connection);
    sleeping_.clear();
}

bool HttpServer::codeGiven(MHD_Connection *connection) const
{
    const char *given = MHD_lookup_connection_value(connection, MHD_GET_ARGUMENT_KIND, "code");
    return codeMatches(code_, given ? QByteArray(given) : QByteArray());
}

int HttpServer::answer(MHD_Connection *connection, unsigned status, const QByteArray &type,
                       const QByteArray &body, const char *cacheControl)
{
    MHD_Response *response = MHD_create_response_from_callback(
        uint64_t(body.size()), 64 * 1024, &readShared, new SharedBody{body}, &freeShared);
    secure(response);
    if (!type.isEmpty())
        MHD_add_response_header(response, "Content-Type", type.constData());
    MHD_add_response_header(response, "Cache-Control", cacheControl);
    const MHD_Result queued = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return queued;
}

int HttpServer::refuse(MHD_Connection *connection, unsigned status)
{
    MHD_Response *response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
    secure(response);
    if (status == 405)
        MHD_add_response_header(response, "Allow", "GET, HEAD");
    MHD_add_response_header(response, "Connection", "close");
    const MHD_Result queued = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return queued;
}

int HttpServer::route(MHD_Connection *connection, const QByteArray &url)
{
    constexpr char noStore[] = "no-store";
    constexpr char text[] = "text/plain; charset=utf-8";
    QByteArray token;
    quint64 number = 0;
    if (parsePicture(url, token, number)) {
        const QByteArray png = content_.picture(token, number);
        if (png.isEmpty())
            return answer(connection, 404, text, "This picture is no longer kept.\n", noStore);
        return answer(connection, 200, "image/png", png, "public, max-age=31536000, immutable");
    }
    if (url == "/page.js")
        return answer(connection, 200, "text/javascript; charset=utf-8", script_, "no-cache");
    if (url == "/page.css")
        return answer(connection, 200, "text/css; charset=utf-8", style_, "no-cache");
    const bool needsCode = url == "/" || url == "/events" || url == "/text";
    if (!needsCode)
        return answer(connection, 404, text, "Not found.\n", noStore);
    if (!codeGiven(connection))
        return answer(connection, 403, text, "This room needs its code.\n", noStore);
    if (url == "/")
        return answer(connection, 200, "text/html; charset=utf-8", page_, "no-cache");
    if (url == "/text")
        return answer(connection, 200, "application/json", content_.text(), noStore);
    return openStream(connection);
}

int HttpServer::openStream(MHD_Connection *connection)
{
    const QHostAddress peer = peerOf(connection);
    const bool proxied = clients_.isTrustedProxy(peer);
    QHostAddress client = peer;
    if (proxied) {
        // Behind the proxy every browser shares its connection count; count push channels
        // by the browser's own address instead.
        const char *forwarded =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Forwarded-For");
        client = clients_.clientOf(peer, forwarded ? QByteArrayView(forwarded) : QByteArrayView());
        if (!clients_.take(client))
            return answer(connection, 429, "text/plain; charset=utf-8",
                          "Too many connections from one address.\n", "no-store");
    }
    auto *stream = new Stream{this, connection, client, proxied, 0, 0, {}, 0};
    ++streams_;
    MHD_Response *response = MHD_create_response_from_callback(
        MHD_SIZE_UNKNOWN, 4096, &HttpCallbacks::streamRead, stream, &HttpCallbacks::streamEnd);
    secure(response);
    MHD_add_response_header(response, "Content-Type", "text/event-stream");
    MHD_add_response_header(response, "Cache-Control", "no-store");
    // nginx passes the channel through instead of buffering it.
    MHD_add_response_header(response, "X-Accel-Buffering", "no");
    const MHD_Result queued = MHD_queue_response(connection, 200, response);
    MHD_destroy_response(response);
    return queued;
}

} // namespace quorix
