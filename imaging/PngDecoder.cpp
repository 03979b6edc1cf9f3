// PNG through libpng: every colour type and bit depth is expanded to 8-bit RGB, with an
// alpha channel when the picture has transparency, which is then laid over white.
// libpng reports fatal errors by longjmp to the setjmp in runStep(); the steps it can
// leave that way hold no C++ object with a destructor.
#include "core/FileError.h"
#include "core/WholeFile.h"
#include "imaging/ImageDecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

namespace quorix {

namespace {

struct PngJob
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    const unsigned char *data = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
    char message[200] = {};
    png_bytepp rows = nullptr;
    // Reading into a picture `factor` times smaller: each output pixel is the average of a
    // factor x factor box, summed row by row in `sums`.
    unsigned factor = 1;
    png_bytep row = nullptr;
    png_uint_32 *sums = nullptr;
    unsigned char *out = nullptr;
    std::ptrdiff_t outStride = 0;
    png_uint_32 outWidth = 0;
    png_uint_32 outHeight = 0;

    PngJob() = default;
    PngJob(const PngJob &) = delete;
    PngJob &operator=(const PngJob &) = delete;
    ~PngJob() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

[[noreturn]] void onError(png_structp png, png_const_charp message)
{
    auto *job = static_cast<PngJob *>(png_get_error_ptr(png));
    std::strncpy(job->message, message, sizeof job->message - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep out, png_size_t length)
{
    auto *job = static_cast<PngJob *>(png_get_io_ptr(png));
    if (length > job->size - job->offset)
        png_error(png, "the file is cut short");
    std::memcpy(out, job->data + job->offset, length);
    job->offset += length;
}

bool runStep(PngJob &job, void (*step)(PngJob &))
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    step(job);
    return true;
}

void readInfo(PngJob &job)
{
    png_set_read_fn(job.png, &job, readBytes);
    png_read_info(job.png, job.info);
    png_set_expand(job.png);
    png_set_strip_16(job.png);
    png_set_gray_to_rgb(job.png);
    png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
}

void readRows(PngJob &job)
{
    png_read_image(job.png, job.rows);
    png_read_end(job.png, nullptr);
}

// Transparent pixels are laid over white before they are averaged.
void readRowsReduced(PngJob &job)
{
    const png_uint_32 height = png_get_image_height(job.png, job.info);
    const unsigned channels = png_get_channels(job.png, job.info);
    const unsigned k = job.factor;
    const std::size_t sumCount = std::size_t(job.outWidth) * 3;
    std::memset(job.sums, 0, sumCount * sizeof *job.sums);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(job.png, job.row, nullptr);
        const png_uint_32 outY = y / k;
        if (outY >= job.outHeight)
            continue;
        const png_bytep in = job.row;
        for (png_uint_32 x = 0; x < job.outWidth * k; ++x) {
            const png_bytep p = in + std::size_t(x) * channels;
            png_uint_32 *sum = job.sums + std::size_t(x / k) * 3;
            for (unsigned c = 0; c < 3; ++c) {
                unsigned v = p[c];
                if (channels == 4)
                    v = (v * p[3] + 255u * (255u - p[3]) + 127u) / 255u;
                sum[c] += v;
            }
        }
        if ((y + 1) % k == 0) {
            unsigned char *target = job.out + std::ptrdiff_t(outY) * job.outStride;
            for (std::size_t i = 0; i < sumCount; ++i)
                target[i] = static_cast<unsigned char>((job.sums[i] + k * k / 2) / (k * k));
            std::memset(job.sums, 0, sumCount * sizeof *job.sums);
        }
    }
    png_read_end(job.png, nullptr);
}

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw ImageError(QStringLiteral("Cannot read the PNG picture %1: %2")
                         .arg(QFileInfo(path).fileName(), why)
                         .toStdString());
}

} // namespace

QSize pngDimensions(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    // The signature, then the IHDR chunk: length, type, width, height.
    const QByteArray h = file.read(24);
    if (h.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(h.constData()), 0, 8))
        fail(path, QStringLiteral("not a PNG file"));
    if (h.size() < 24)
        fail(path, QStringLiteral("the file is cut short"));
    if (h.mid(12, 4) != "IHDR")
        fail(path, QStringLiteral("the header is missing"));
    const auto *p = reinterpret_cast<const uchar *>(h.constData());
    const long long width = qFromBigEndian<quint32>(p + 16);
    const long long height = qFromBigEndian<quint32>(p + 20);
    checkImageSize(path, width, height);
    return {int(width), int(height)};
}

QImage decodePng(const QString &path, QSize atLeast)
{
    QByteArray bytes;
    try {
        bytes = readWholeFile(path);
    } catch (const std::exception &e) {
        fail(path, failureText(e));
    }
    return decodePngBytes(bytes, path, atLeast);
}

QImage decodePngBytes(const QByteArray &bytes, const QString &path, QSize atLeast)
{
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.constData()), 0, 8))
        fail(path, QStringLiteral("not a PNG file"));
    PngJob job;
    job.data = reinterpret_cast<const unsigned char *>(bytes.constData());
    job.size = std::size_t(bytes.size());
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    if (job.png)
        job.info = png_create_info_struct(job.png);
    if (!job.png || !job.info)
        throw ImageError("Not enough memory for the picture");
    if (!runStep(job, readInfo))
        fail(path, QString::fromLocal8Bit(job.message));
    const png_uint_32 width = png_get_image_width(job.png, job.info);
    const png_uint_32 height = png_get_image_height(job.png, job.info);
    checkImageSize(path, width, height);
    // A preview needs no picture at full size: a non-interlaced one is read row by row
    // into a picture as many times smaller as still covers `atLeast`.
    if (atLeast.isValid() && !atLeast.isEmpty() &&
        png_get_interlace_type(job.png, job.info) == PNG_INTERLACE_NONE) {
        const png_uint_32 factor =
            std::min(width / png_uint_32(atLeast.width()), height / png_uint_32(atLeast.height()));
        if (factor >= 2) {
            job.factor = factor;
            job.outWidth = width / factor;
            job.outHeight = height / factor;
            QImage image(int(job.outWidth), int(job.outHeight), QImage::Format_RGB888);
            std::vector<png_byte> row(png_get_rowbytes(job.png, job.info));
            std::vector<png_uint_32> sums(std::size_t(job.outWidth) * 3);
            if (image.isNull())
                throw ImageError("Not enough memory for the picture");
            job.row = row.data();
            job.sums = sums.data();
            job.out = image.bits();
            job.outStride = image.bytesPerLine();
            if (!runStep(job, readRowsReduced))
                fail(path, QString::fromLocal8Bit(job.message));
            return image;
        }
    }
    const bool alpha = png_get_channels(job.png, job.info) == 4;
    QImage image(int(width), int(height), alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (image.isNull() || png_get_rowbytes(job.png, job.info) > std::size_t(image.bytesPerLine()))
        throw ImageError("Not enough memory for the picture");
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = image.scanLine(int(y));
    job.rows = rows.data();
    if (!runStep(job, readRows))
        fail(path, QString::fromLocal8Bit(job.message));
    return opaqueOverWhite(std::move(image));
}

} // namespace quorix
