#include "web/ListenSocket.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorix {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("quorix::ListenSocket", text);
}

struct Split
{
    QString host;
    QString port;
};

Split split(const QString &listen)
{
    if (listen.startsWith(u'[')) {
        const qsizetype close = listen.indexOf(u']');
        if (close < 0)
            return {listen, {}};
        return {listen.mid(1, close - 1), listen.mid(close + 1).remove(0, 1)};
    }
    const qsizetype colon = listen.lastIndexOf(u':');
    if (colon < 0) {
        bool number = false;
        listen.toUInt(&number);
        return number ? Split{{}, listen} : Split{listen, QString::number(kDefaultWebPort)};
    }
    if (listen.indexOf(u':') != colon) // a bare IPv6 address
        return {listen, QString::number(kDefaultWebPort)};
    return {listen.left(colon), listen.mid(colon + 1)};
}

ListenSocket bindTo(const sockaddr *address, socklen_t length, const QString &shown, quint16 port)
{
    ListenSocket result;
    const int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        result.error =
            tr("Cannot listen on %1: %2").arg(shown, QString::fromLocal8Bit(strerror(errno)));
        return result;
    }
    const int on = 1;
    const int off = 0;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (address->sa_family == AF_INET6)
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    if (::bind(fd, address, length) != 0 || ::listen(fd, 511) != 0) {
        const int error = errno;
        ::close(fd);
        result.portInUse = error == EADDRINUSE;
        if (result.portInUse)
            result.error = tr("Port %1 is already in use on %2: another program listens there. "
                              "Stop it, or choose another port with --listen ADDRESS:PORT.")
                               .arg(port)
                               .arg(shown);
        else
            result.error =
                tr("Cannot listen on %1: %2").arg(shown, QString::fromLocal8Bit(strerror(error)));
        return result;
    }
    sockaddr_storage bound{};
    socklen_t boundLength = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&bound), &boundLength);
    result.fd = fd;
    result.ipv6 = address->sa_family == AF_INET6;
    result.port = ntohs(result.ipv6 ? reinterpret_cast<sockaddr_in6 *>(&bound)->sin6_port
                                    : reinterpret_cast<sockaddr_in *>(&bound)->sin_port);
    return result;
}

} // namespace

ListenSocket openListenSocket(const QString &listen)
{
    const Split parts = split(listen.trimmed());
    bool number = false;
    const uint port = parts.port.toUInt(&number);
    if (!number || port > 65535) {
        ListenSocket bad;
        bad.error = tr("Not an address and port to listen on: \"%1\" (for example 0.0.0.0:8080)")
                        .arg(listen);
        return bad;
    }
    if (parts.host.isEmpty() || parts.host == u"*") {
        sockaddr_in6 any{};
        any.sin6_family = AF_INET6;
        any.sin6_addr = in6addr_any;
        any.sin6_port = htons(quint16(port));
        ListenSocket both = bindTo(reinterpret_cast<sockaddr *>(&any), sizeof any,
                                   tr("every address"), quint16(port));
        if (both.ok() || both.portInUse)
            return both;
        sockaddr_in v4{}; // a machine without IPv6
        v4.sin_family = AF_INET;
        v4.sin_addr.s_addr = htonl(INADDR_ANY);
        v4.sin_port = htons(quint16(port));
        return bindTo(reinterpret_cast<sockaddr *>(&v4), sizeof v4, tr("every address"),
                      quint16(port));
    }
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const QByteArray host = parts.host.toUtf8();
    const QByteArray service = QByteArray::number(port);
    if (::getaddrinfo(host.constData(), service.constData(), &hints, &found) != 0 || !found) {
        ListenSocket bad;
        bad.error = tr("Not an address of this machine to listen on: \"%1\" (give a numeric "
                       "address such as 192.168.1.10 or ::)")
                        .arg(parts.host);
        return bad;
    }
    ListenSocket result = bindTo(found->ai_addr, found->ai_addrlen, parts.host, quint16(port));
    ::freeaddrinfo(found);
    return result;
}

} // namespace quorix
