#pragma once
// The server's listening socket, opened by us rather than by the HTTP library so that a
// port already taken is told plainly. ADDRESS:PORT, [IPv6]:PORT, :PORT or PORT; without an
// address it listens on every address of the machine, IPv6 and IPv4 both.
#include <QString>

namespace quorix {

struct ListenSocket
{
    int fd = -1;
    bool ipv6 = false;
    quint16 port = 0;
    QString error; // why there is no socket, for the user
    bool portInUse = false;

    bool ok() const { return fd >= 0; }
};

inline constexpr quint16 kDefaultWebPort = 8080;

ListenSocket openListenSocket(const QString &listen);

} // namespace quorix
