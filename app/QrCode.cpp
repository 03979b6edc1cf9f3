#include "app/QrCode.h"

#include <qrencode.h>

#include <memory>

namespace quorix {

QImage qrCodeImage(const QString &text, int scale)
{
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return {};
    constexpr int quiet = 4; // modules of white around the code, as readers expect
    const int side = (code->width + 2 * quiet) * scale;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                for (int dy = 0; dy < scale; ++dy) {
                    auto *row = reinterpret_cast<QRgb *>(image.scanLine((y + quiet) * scale + dy));
                    for (int dx = 0; dx < scale; ++dx)
                        row[(x + quiet) * scale + dx] = qRgb(0, 0, 0);
                }
    return image;
}

} // namespace quorix
