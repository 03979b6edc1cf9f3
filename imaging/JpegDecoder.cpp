// JPEG through libjpeg-turbo. libjpeg reports fatal errors through a callback that must
// not return; it leaves by longjmp to the setjmp in runStep(). The steps that libjpeg can
// leave that way hold no C++ object with a destructor, so the jump skips no cleanup; the
// C++ side (allocation, checks, messages) runs between the steps.
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace quorix {

namespace {

struct JpegJob
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errorManager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    std::FILE *file = nullptr;
    bool created = false;
    // Where decoded rows go: row y lands at rows + y * rowStep (rowStep may be negative,
    // for bottom-up bitmap rows).
    unsigned char *rows = nullptr;
    std::ptrdiff_t rowStep = 0;
    // CMYK rows are read here first and turned into RGB.
    unsigned char *cmykRow = nullptr;
    bool bgr = false; // the order of the RGB rows asked for

    JpegJob() = default;
    JpegJob(const JpegJob &) = delete;
    JpegJob &operator=(const JpegJob &) = delete;
    ~JpegJob()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
        if (file)
            std::fclose(file);
    }
};

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto *job = reinterpret_cast<JpegJob *>(cinfo->client_data);
    (*cinfo->err->format_message)(cinfo, job->message);
    std::longjmp(job->jump, 1);
}

// Warnings are ignored (a camera's stray bytes before a marker should not refuse its
// photo), except a file that ends before its picture does: that one is cut short.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        onError(cinfo);
}

// Runs one libjpeg step; false (with job.message set) when libjpeg gave up.
bool runStep(JpegJob &job, void (*step)(JpegJob &))
{
    if (setjmp(job.jump))
        return false;
    step(job);
    return true;
}

void readHeader(JpegJob &job)
{
    jpeg_create_decompress(&job.cinfo);
    job.created = true;
    jpeg_stdio_src(&job.cinfo, job.file);
    jpeg_read_header(&job.cinfo, TRUE);
}

bool isCmyk(const JpegJob &job)
{
    return job.cinfo.jpeg_color_space == JCS_CMYK || job.cinfo.jpeg_color_space == JCS_YCCK;
}

void start(JpegJob &job)
{
    jpeg_start_decompress(&job.cinfo);
}

void readRows(JpegJob &job)
{
    jpeg_decompress_struct &c = job.cinfo;
    const bool cmyk = c.out_color_space == JCS_CMYK;
    // Adobe writes CMYK inverted (0 is full ink); others plain.
    const bool inverted = c.saw_Adobe_marker;
    while (c.output_scanline < c.output_height) {
        unsigned char *row = job.rows + std::ptrdiff_t(c.output_scanline) * job.rowStep;
        if (!cmyk) {
            // Several rows per call, as many as the decoder hands out at once.
            JSAMPROW targets[16];
            const JDIMENSION count = std::min<JDIMENSION>(16, c.output_height - c.output_scanline);
            for (JDIMENSION i = 0; i < count; ++i)
                targets[i] = row + std::ptrdiff_t(i) * job.rowStep;
            jpeg_read_scanlines(&c, targets, count);
            continue;
        }
        JSAMPROW target = job.cmykRow;
        jpeg_read_scanlines(&c, &target, 1);
        const unsigned char *in = job.cmykRow;
        for (JDIMENSION x = 0; x < c.output_width; ++x, in += 4, row += 3) {
            const unsigned k = inverted ? in[3] : 255u - in[3];
            for (int i = 0; i < 3; ++i) {
                const unsigned ink = inverted ? in[i] : 255u - in[i];
                row[job.bgr ? 2 - i : i] = static_cast<unsigned char>(ink * k / 255u);
            }
        }
    }
    jpeg_finish_decompress(&c);
}

// Owns the job's libjpeg state and file.
class JpegReader
{
  public:
    explicit JpegReader(const QString &path) : path_(path)
    {
        std::memset(&job_.cinfo, 0, sizeof job_.cinfo);
        job_.cinfo.err = jpeg_std_error(&job_.errorManager);
        job_.errorManager.error_exit = onError;
        job_.errorManager.emit_message = onMessage;
        job_.cinfo.client_data = &job_;
        job_.file = std::fopen(QFile::encodeName(path).constData(), "rb");
        if (!job_.file)
            fail(QStringLiteral("cannot be opened"));
        run(readHeader);
        checkImageSize(path_, job_.cinfo.image_width, job_.cinfo.image_height);
    }

    QSize size() const { return {int(job_.cinfo.image_width), int(job_.cinfo.image_height)}; }

    // Picks the output colours and the smallest scale that still covers `atLeast`, and
    // starts decoding; the output size is then known.
    QSize start(J_COLOR_SPACE rgbOrder, QSize atLeast)
    {
        jpeg_decompress_struct &c = job_.cinfo;
        c.out_color_space = isCmyk(job_) ? JCS_CMYK : rgbOrder;
        job_.bgr = rgbOrder == JCS_EXT_BGR;
        c.scale_num = 8;
        c.scale_denom = 8;
        if (atLeast.isValid() && !atLeast.isEmpty()) {
            // libjpeg's output size at num/8 is the scaled size rounded up.
            auto scaled = [](JDIMENSION side, unsigned num) {
                return (static_cast<long long>(side) * num + 7) / 8;
            };
            for (unsigned num = 1; num < 8; ++num) {
                if (scaled(c.image_width, num) >= atLeast.width() &&
                    scaled(c.image_height, num) >= atLeast.height()) {
                    c.scale_num = num;
                    break;
                }
            }
        }
        run(quorix::start);
        return {int(c.output_width), int(c.output_height)};
    }

    void readInto(unsigned char *firstRow, std::ptrdiff_t rowStep)
    {
        std::unique_ptr<unsigned char[]> cmyk;
        if (job_.cinfo.out_color_space == JCS_CMYK) {
            cmyk = std::make_unique<unsigned char[]>(std::size_t(job_.cinfo.output_width) * 4);
            job_.cmykRow = cmyk.get();
        }
        job_.rows = firstRow;
        job_.rowStep = rowStep;
        run(readRows);
        job_.cmykRow = nullptr;
    }

  private:
    void run(void (*step)(JpegJob &))
    {
        if (!runStep(job_, step))
            fail(QString::fromLocal8Bit(job_.message));
    }
    [[noreturn]] void fail(const QString &why) const
    {
        throw ImageError(QStringLiteral("Cannot read the JPEG picture %1: %2")
                             .arg(QFileInfo(path_).fileName(), why)
                             .toStdString());
    }

    QString path_;
    JpegJob job_;
};

} // namespace

QSize jpegDimensions(const QString &path)
{
    return JpegReader(path).size();
}

QImage decodeJpeg(const QString &path, QSize atLeast)
{
    JpegReader reader(path);
    const QSize size = reader.start(JCS_EXT_RGB, atLeast);
    QImage image(size, QImage::Format_RGB888);
    if (image.isNull())
        throw ImageError("Not enough memory for the picture");
    reader.readInto(image.bits(), image.bytesPerLine());
    return image;
}

Bmp24File decodeJpegAsBmp24(const QString &path)
{
    JpegReader reader(path);
    const QSize size = reader.start(JCS_EXT_BGR, QSize());
    Bmp24File bmp;
    bmp.headers = bmp24Headers(size.width(), size.height());
    const std::size_t stride = bmp24Stride(size.width());
    bmp.pixelBytes = stride * std::size_t(size.height());
    bmp.pixels = std::make_unique_for_overwrite<unsigned char[]>(bmp.pixelBytes);
    const std::size_t used = std::size_t(size.width()) * 3;
    if (stride > used) {
        for (int y = 0; y < size.height(); ++y)
            std::memset(bmp.pixels.get() + stride * std::size_t(y) + used, 0, stride - used);
    }
    // The first decoded row is the last row of the file.
    reader.readInto(bmp.pixels.get() + stride * std::size_t(size.height() - 1),
                    -std::ptrdiff_t(stride));
    return bmp;
}

} // namespace quorix
