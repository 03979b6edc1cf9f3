#pragma once
// The room's optional code. Compared in a time that does not depend on how much of a guess
// was right: both sides are hashed first, so neither their contents nor their lengths
// show in the timing.
#include <QByteArray>
#include <QCryptographicHash>

namespace quorix {

inline bool codeMatches(const QByteArray &expected, const QByteArray &given)
{
    if (expected.isEmpty())
        return true; // no code asked for
    const QByteArray a = QCryptographicHash::hash(expected, QCryptographicHash::Sha256);
    const QByteArray b = QCryptographicHash::hash(given, QCryptographicHash::Sha256);
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

} // namespace quorix
