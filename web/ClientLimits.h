#pragma once
// Who a request comes from, and how many connections each may hold. A browser's own
// address is the connection's; behind a reverse proxy named as trusted, it is the last
// address in X-Forwarded-For that is not itself a trusted proxy (anyone else can write that
// header, so from anyone else it is ignored). Without limits one device, or one slow
// client opening connection after connection, could hold every connection the server has.
#include <QByteArrayView>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <mutex>

namespace quorix {

class ClientLimits
{
  public:
    explicit ClientLimits(int perAddress, QList<QHostAddress> trustedProxies = {});

    bool isTrustedProxy(const QHostAddress &peer) const;
    // The client's address: the peer's, or the forwarded one when the peer is trusted.
    QHostAddress clientOf(const QHostAddress &peer, QByteArrayView forwardedFor) const;

    // Counts one more connection (or push channel) for `address`; false, counting
    // nothing, when it already holds as many as it may.
    bool take(const QHostAddress &address);
    void release(const QHostAddress &address);
    int held(const QHostAddress &address) const;

  private:
    static QString key(const QHostAddress &address);

    const int perAddress_;
    const QList<QHostAddress> trusted_;
    mutable std::mutex mutex_;
    QHash<QString, int> held_;
};

// The address an IPv4 client has also when it reaches an IPv6 socket (::ffff:a.b.c.d).
QHostAddress plainAddress(const QHostAddress &address);

} // namespace quorix
