#pragma once
// A QR code of a text (libqrencode), drawn black on white with its quiet zone, each module
// `scale` pixels square. A null image when the text does not fit a QR code.
#include <QImage>
#include <QString>

namespace quorix {

QImage qrCodeImage(const QString &text, int scale);

} // namespace quorix
