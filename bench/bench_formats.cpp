// build/bench_formats: which lossless format and library makes the compact picture. Every
// candidate encodes each of the four 1920 x 1080 screen pictures (bench/data/make-screens.sh)
// from the capture's own pixel layout (B, G, R, X bytes) and is decoded back to the same;
// the table gives the size against the 24-bit bitmap and the median thread CPU time of
// encoding and decoding (one core each), and checks that every picture comes back exact.
//
//   build/bench_formats [PICTURE_FOLDER [NAME_PART]]   (default: build/bench-screens, all)
#include "exchange/CompactPicture.h"

#include <QDir>
#include <QImage>

#include <libdeflate.h>
#include <png.h>
#include <spng.h>
#include <webp/decode.h>
#include <webp/encode.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double medianMs(int runs, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = threadMs();
        step();
        times.push_back(threadMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The capture's pixels, B G R X per pixel, rows top-down.
struct Picture
{
    std::string name;
    int width = 0;
    int height = 0;
    const unsigned char *bgrx(int row) const { return image.constScanLine(row); }
    QImage image; // Format_RGB32
};

Bytes rgbRows(const Picture &p)
{
    Bytes rgb(std::size_t(p.width) * p.height * 3);
    unsigned char *out = rgb.data();
    for (int y = 0; y < p.height; ++y) {
        const unsigned char *in = p.bgrx(y);
        for (int x = 0; x < p.width; ++x, in += 4, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return rgb;
}

bool sameAsPicture(const Picture &p, const Bytes &bgrx)
{
    if (bgrx.size() != std::size_t(p.width) * p.height * 4)
        return false;
    for (int y = 0; y < p.height; ++y) {
        const unsigned char *a = p.bgrx(y);
        const unsigned char *b = bgrx.data() + std::size_t(y) * p.width * 4;
        for (int x = 0; x < p.width; ++x)
            if (std::memcmp(a + 4 * x, b + 4 * x, 3) != 0)
                return false;
    }
    return true;
}

// ---- libpng -----------------------------------------------------------------------------

Bytes libpngEncode(const Picture &p, int level, int filters, int strategy)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp s, png_bytep data, png_size_t n) {
            auto *o = static_cast<Bytes *>(png_get_io_ptr(s));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(p.width), png_uint_32(p.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, level);
    png_set_compression_strategy(png, strategy);
    png_set_filter(png, 0, filters);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < p.height; ++y)
        png_write_row(png, p.bgrx(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes libpngDecode(const Bytes &file, int width, int height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return {};
    image.format = PNG_FORMAT_BGRA;
    Bytes out(std::size_t(width) * height * 4);
    if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr))
        return {};
    return out;
}

// ---- libspng ----------------------------------------------------------------------------

Bytes spngEncode(const Picture &p, int level, int filters)
{
    const Bytes rgb = rgbRows(p);
    spng_ctx *ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, level);
    spng_set_option(ctx, SPNG_FILTER_CHOICE, filters);
    spng_ihdr ihdr{};
    ihdr.width = uint32_t(p.width);
    ihdr.height = uint32_t(p.height);
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    spng_set_ihdr(ctx, &ihdr);
    Bytes out;
    if (spng_encode_image(ctx, rgb.data(), rgb.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) == 0) {
        size_t size = 0;
        int error = 0;
        void *buffer = spng_get_png_buffer(ctx, &size, &error);
        if (buffer) {
            out.assign(static_cast<unsigned char *>(buffer),
                       static_cast<unsigned char *>(buffer) + size);
            free(buffer);
        }
    }
    spng_ctx_free(ctx);
    return out;
}

Bytes spngDecode(const Bytes &file, int width, int height)
{
    spng_ctx *ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, file.data(), file.size());
    Bytes rgba(std::size_t(width) * height * 4);
    const int r = spng_decode_image(ctx, rgba.data(), rgba.size(), SPNG_FMT_RGBA8, 0);
    spng_ctx_free(ctx);
    if (r != 0)
        return {};
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        std::swap(rgba[i], rgba[i + 2]);
    return rgba;
}

// ---- PNG through libdeflate: rows filtered here, one zlib stream ----------------------------

void put32(Bytes &out, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(static_cast<unsigned char>(v >> s));
}

void chunk(Bytes &out, const char *type, const unsigned char *data, std::size_t n)
{
    put32(out, uint32_t(n));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + n);
    put32(out, uint32_t(libdeflate_crc32(0, out.data() + start, n + 4)));
}

enum class Filter
{
    None,
    Sub,
    Up,
    Choice // per row, the one of None, Sub, Up with the smallest sum of |bytes|
};

Bytes filtered(const Picture &p, Filter filter)
{
    const std::size_t stride = std::size_t(p.width) * 3;
    Bytes out((stride + 1) * p.height);
    Bytes prev(stride, 0), cur(stride), sub(stride), up(stride);
    for (int y = 0; y < p.height; ++y) {
        const unsigned char *in = p.bgrx(y);
        for (int x = 0; x < p.width; ++x) {
            cur[3 * x] = in[4 * x + 2];
            cur[3 * x + 1] = in[4 * x + 1];
            cur[3 * x + 2] = in[4 * x];
        }
        unsigned char *row = out.data() + (stride + 1) * y;
        Filter f = filter;
        if (filter != Filter::None) {
            for (std::size_t i = 0; i < stride; ++i) {
                sub[i] = static_cast<unsigned char>(cur[i] - (i >= 3 ? cur[i - 3] : 0));
                up[i] = static_cast<unsigned char>(cur[i] - prev[i]);
            }
        }
        if (filter == Filter::Choice) {
            auto cost = [&](const Bytes &r) {
                long s = 0;
                for (unsigned char c : r)
                    s += c < 128 ? c : 256 - c;
                return s;
            };
            const long n = cost(cur), s = cost(sub), u = cost(up);
            f = n <= s && n <= u ? Filter::None : s <= u ? Filter::Sub : Filter::Up;
        }
        row[0] = f == Filter::None ? 0 : f == Filter::Sub ? 1 : 2;
        const Bytes &src = f == Filter::None ? cur : f == Filter::Sub ? sub : up;
        std::memcpy(row + 1, src.data(), stride);
        std::swap(prev, cur);
    }
    return out;
}

// level < 0: zlib at -level instead of libdeflate.
Bytes deflatePngEncode(const Picture &p, int level, Filter filter)
{
    const Bytes raw = filtered(p, filter);
    Bytes z;
    if (level < 0) {
        uLongf n = compressBound(uLong(raw.size()));
        z.resize(n);
        compress2(z.data(), &n, raw.data(), uLong(raw.size()), -level);
        z.resize(n);
    } else {
        libdeflate_compressor *c = libdeflate_alloc_compressor(level);
        z.resize(libdeflate_zlib_compress_bound(c, raw.size()));
        z.resize(libdeflate_zlib_compress(c, raw.data(), raw.size(), z.data(), z.size()));
        libdeflate_free_compressor(c);
    }
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes ihdr;
    put32(ihdr, uint32_t(p.width));
    put32(ihdr, uint32_t(p.height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    chunk(out, "IHDR", ihdr.data(), ihdr.size());
    chunk(out, "IDAT", z.data(), z.size());
    chunk(out, "IEND", nullptr, 0);
    return out;
}

// Decodes what deflatePngEncode writes (one IDAT, filters 0 to 4 unused beyond 2).
Bytes deflatePngDecode(const Bytes &file, int width, int height)
{
    const std::size_t stride = std::size_t(width) * 3;
    std::size_t pos = 8;
    Bytes z;
    while (pos + 8 <= file.size()) {
        const uint32_t n = uint32_t(file[pos]) << 24 | uint32_t(file[pos + 1]) << 16 |
                           uint32_t(file[pos + 2]) << 8 | file[pos + 3];
        if (std::memcmp(&file[pos + 4], "IDAT", 4) == 0)
            z.insert(z.end(), file.begin() + long(pos + 8), file.begin() + long(pos + 8 + n));
        pos += 12 + n;
    }
    Bytes raw((stride + 1) * height);
    libdeflate_decompressor *d = libdeflate_alloc_decompressor();
    const bool ok = libdeflate_zlib_decompress(d, z.data(), z.size(), raw.data(), raw.size(),
                                               nullptr) == LIBDEFLATE_SUCCESS;
    libdeflate_free_decompressor(d);
    if (!ok)
        return {};
    Bytes out(std::size_t(width) * height * 4);
    Bytes prev(stride, 0), cur(stride);
    for (int y = 0; y < height; ++y) {
        const unsigned char *row = raw.data() + (stride + 1) * y;
        const unsigned char f = row[0];
        for (std::size_t i = 0; i < stride; ++i) {
            unsigned char v = row[1 + i];
            if (f == 1)
                v = static_cast<unsigned char>(v + (i >= 3 ? cur[i - 3] : 0));
            else if (f == 2)
                v = static_cast<unsigned char>(v + prev[i]);
            cur[i] = v;
        }
        unsigned char *o = out.data() + std::size_t(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            o[4 * x] = cur[3 * x + 2];
            o[4 * x + 1] = cur[3 * x + 1];
            o[4 * x + 2] = cur[3 * x];
            o[4 * x + 3] = 255;
        }
        std::swap(prev, cur);
    }
    return out;
}

// ---- WebP lossless ------------------------------------------------------------------------

Bytes webpEncode(const Picture &p, int preset)
{
    WebPConfig config;
    WebPConfigInit(&config);
    WebPConfigLosslessPreset(&config, preset);
    config.exact = 1;
    WebPPicture pic;
    WebPPictureInit(&pic);
    pic.use_argb = 1;
    pic.width = p.width;
    pic.height = p.height;
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    pic.writer = WebPMemoryWrite;
    pic.custom_ptr = &writer;
    Bytes out;
    if (WebPPictureImportBGRX(&pic, p.bgrx(0), int(p.image.bytesPerLine())) &&
        WebPEncode(&config, &pic))
        out.assign(writer.mem, writer.mem + writer.size);
    WebPPictureFree(&pic);
    WebPMemoryWriterClear(&writer);
    return out;
}

Bytes webpDecode(const Bytes &file, int width, int height)
{
    Bytes out(std::size_t(width) * height * 4);
    if (!WebPDecodeBGRAInto(file.data(), file.size(), out.data(), out.size(), width * 4))
        return {};
    return out;
}

// The program's own encoder and decoder.
Bytes quorixEncode(const Picture &p, quorix::RowFilter filter)
{
    const QByteArray b = quorix::encodeCompactPicture(p.image, filter);
    return Bytes(b.begin(), b.end());
}

Bytes quorixDecode(const Bytes &file, int, int)
{
    const QImage image = quorix::decodeCompactPicture(
        QByteArray(reinterpret_cast<const char *>(file.data()), qsizetype(file.size())),
        QStringLiteral("shar.png"));
    Bytes out(std::size_t(image.sizeInBytes()));
    std::memcpy(out.data(), image.constBits(), out.size());
    return out;
}

struct Candidate
{
    std::string name;
    std::function<Bytes(const Picture &)> encode;
    std::function<Bytes(const Bytes &, int, int)> decode;
    std::string decoder;
};

// Every encoder and setting compared, each with the decoder that reads it back.
std::vector<Candidate> candidates()
{
    return {
        {"libpng z1 none",
         [](const Picture &p) { return libpngEncode(p, 1, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY); },
         libpngDecode, "libpng"},
        {"libpng z1 up",
         [](const Picture &p) { return libpngEncode(p, 1, PNG_FILTER_UP, Z_DEFAULT_STRATEGY); },
         libpngDecode, "libpng"},
        {"libpng z1 sub",
         [](const Picture &p) { return libpngEncode(p, 1, PNG_FILTER_SUB, Z_DEFAULT_STRATEGY); },
         libpngDecode, "libpng"},
        {"libpng z1 all",
         [](const Picture &p) { return libpngEncode(p, 1, PNG_ALL_FILTERS, Z_DEFAULT_STRATEGY); },
         libpngDecode, "libpng"},
        {"libpng z1 rle up",
         [](const Picture &p) { return libpngEncode(p, 1, PNG_FILTER_UP, Z_RLE); }, libpngDecode,
         "libpng"},
        {"libpng z3 up",
         [](const Picture &p) { return libpngEncode(p, 3, PNG_FILTER_UP, Z_DEFAULT_STRATEGY); },
         libpngDecode, "libpng"},
        {"spng z1 none", [](const Picture &p) { return spngEncode(p, 1, SPNG_FILTER_CHOICE_NONE); },
         spngDecode, "spng"},
        {"spng z1 up", [](const Picture &p) { return spngEncode(p, 1, SPNG_FILTER_CHOICE_UP); },
         spngDecode, "spng"},
        {"spng z1 all", [](const Picture &p) { return spngEncode(p, 1, SPNG_FILTER_CHOICE_ALL); },
         spngDecode, "spng"},
        {"deflate1 none", [](const Picture &p) { return deflatePngEncode(p, 1, Filter::None); },
         deflatePngDecode, "libdeflate"},
        {"deflate1 up", [](const Picture &p) { return deflatePngEncode(p, 1, Filter::Up); },
         deflatePngDecode, "libdeflate"},
        {"deflate1 sub", [](const Picture &p) { return deflatePngEncode(p, 1, Filter::Sub); },
         deflatePngDecode, "libdeflate"},
        {"deflate1 choice", [](const Picture &p) { return deflatePngEncode(p, 1, Filter::Choice); },
         deflatePngDecode, "libdeflate"},
        {"deflate2 choice", [](const Picture &p) { return deflatePngEncode(p, 2, Filter::Choice); },
         deflatePngDecode, "libdeflate"},
        {"zlib1 up", [](const Picture &p) { return deflatePngEncode(p, -1, Filter::Up); },
         deflatePngDecode, "libdeflate"},
        {"deflate2 up", [](const Picture &p) { return deflatePngEncode(p, 2, Filter::Up); },
         deflatePngDecode, "libdeflate"},
        {"deflate3 up", [](const Picture &p) { return deflatePngEncode(p, 3, Filter::Up); },
         deflatePngDecode, "libdeflate"},
        {"deflate6 up", [](const Picture &p) { return deflatePngEncode(p, 6, Filter::Up); },
         deflatePngDecode, "libdeflate"},
        {"deflate4 up", [](const Picture &p) { return deflatePngEncode(p, 4, Filter::Up); },
         deflatePngDecode, "libdeflate"},
        {"quorix up", [](const Picture &p) { return quorixEncode(p, quorix::RowFilter::Up); },
         quorixDecode, "quorix"},
        {"quorix none", [](const Picture &p) { return quorixEncode(p, quorix::RowFilter::None); },
         quorixDecode, "quorix"},
        {"webp lossless 0", [](const Picture &p) { return webpEncode(p, 0); }, webpDecode,
         "libwebp"},
        {"webp lossless 1", [](const Picture &p) { return webpEncode(p, 1); }, webpDecode,
         "libwebp"},
        {"webp lossless 2", [](const Picture &p) { return webpEncode(p, 2); }, webpDecode,
         "libwebp"},
    };
}

// The four screen pictures from `folder`; none when one is missing, which is reported.
std::vector<Picture> readPictures(const QString &folder)
{
    std::vector<Picture> pictures;
    for (const char *name : {"document", "terminal", "slide", "desktop"}) {
        QImage image(QDir(folder).filePath(QString::fromLatin1(name) + ".png"));
        if (image.isNull()) {
            std::fprintf(stderr, "no %s.png in %s: run bench/data/make-screens.sh %s\n", name,
                         qPrintable(folder), qPrintable(folder));
            return {};
        }
        image = image.convertToFormat(QImage::Format_RGB32);
        pictures.push_back({name, image.width(), image.height(), image});
    }
    return pictures;
}

// One row of the table: the candidate's share of the bitmap's size for each picture, their
// median, the encoding and decoding times, and whether every picture came back exact.
void printCandidateRow(const Candidate &c, const std::vector<Picture> &pictures, double bmpBytes,
                       int runs)
{
    std::vector<double> shares, enc, dec;
    bool exact = true;
    std::printf("%-18s", c.name.c_str());
    for (const Picture &p : pictures) {
        Bytes file;
        enc.push_back(medianMs(runs, [&] { file = c.encode(p); }));
        Bytes back;
        dec.push_back(medianMs(runs, [&] { back = c.decode(file, p.width, p.height); }));
        exact = exact && sameAsPicture(p, back);
        shares.push_back(double(file.size()) / bmpBytes);
        if (std::getenv("BENCH_FORMATS_MS"))
            std::printf(" [%.1f/%.1f]", enc.back(), dec.back());
        std::printf(" %8.2f%%", 100 * shares.back());
        std::fflush(stdout);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return (v[1] + v[2]) / 2;
    };
    std::printf(" %6.2f%% %8.1f %8.1f %8.1f %8.1f %6s\n", 100 * median(shares), median(enc),
                *std::max_element(enc.begin(), enc.end()), median(dec),
                *std::max_element(dec.begin(), dec.end()), exact ? "yes" : "NO");
}

} // namespace

int main(int argc, char **argv)
{
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(QUORIX_BUILD_DIR "/bench-screens");
    const std::vector<Picture> pictures = readPictures(folder);
    if (pictures.empty())
        return 1;
    const double bmpBytes = double((pictures[0].width * 3 + 3) / 4 * 4) * pictures[0].height + 54;

    const int runs = 5;
    std::printf("24-bit bitmap: %.0f bytes. Sizes as a share of it; ms are median thread CPU "
                "time of %d runs.\n\n",
                bmpBytes, runs);
    std::printf("%-18s", "candidate");
    for (const Picture &p : pictures)
        std::printf(" %9s", p.name.c_str());
    std::printf(" %7s %8s %8s %8s %8s %6s\n", "median", "enc med", "enc max", "dec med", "dec max",
                "exact");
    const std::string only = argc > 2 ? argv[2] : "";
    for (const Candidate &c : candidates())
        if (c.name.find(only) != std::string::npos)
            printCandidateRow(c, pictures, bmpBytes, runs);
    return 0;
}
