#include "web/ClientLimits.h"

namespace quorix {

QHostAddress plainAddress(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : address;
}

ClientLimits::ClientLimits(int perAddress, QList<QHostAddress> trustedProxies)
    : perAddress_(perAddress), trusted_(std::move(trustedProxies))
{
}

QString ClientLimits::key(const QHostAddress &address)
{
    return plainAddress(address).toString();
}

bool ClientLimits::isTrustedProxy(const QHostAddress &peer) const
{
    const QHostAddress plain = plainAddress(peer);
    for (const QHostAddress &proxy : trusted_)
        if (plainAddress(proxy).isEqual(plain))
            return true;
    return false;
}

QHostAddress ClientLimits::clientOf(const QHostAddress &peer, QByteArrayView forwardedFor) const
{
    if (!isTrustedProxy(peer) || forwardedFor.isEmpty())
        return plainAddress(peer);
    // Each proxy appends the address it was reached from: read from the right, past the
    // proxies we trust, to the first address they vouch for.
    const QList<QByteArray> hops = forwardedFor.toByteArray().split(',');
    for (auto hop = hops.crbegin(); hop != hops.crend(); ++hop) {
        QHostAddress address;
        if (!address.setAddress(QString::fromLatin1(hop->trimmed())))
            break; // not an address: trust nothing further left
        if (!isTrustedProxy(address))
            return plainAddress(address);
    }
    return plainAddress(peer);
}

bool ClientLimits::take(const QHostAddress &address)
{
    std::lock_guard lock(mutex_);
    int &count = held_[key(address)];
    if (count >= perAddress_)
        return false;
    ++count;
    return true;
}

void ClientLimits::release(const QHostAddress &address)
{
    std::lock_guard lock(mutex_);
    const auto it = held_.find(key(address));
    if (it == held_.end())
        return;
    if (--it.value() <= 0)
        held_.erase(it);
}

int ClientLimits::held(const QHostAddress &address) const
{
    std::lock_guard lock(mutex_);
    return held_.value(key(address));
}

} // namespace quorix
