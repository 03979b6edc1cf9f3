#include "rtf/RtfCodePages.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <map>
#include <memory>

namespace quorix::rtf {

namespace {

// Bytes 0x80..0x9F of code page 1252; the rest are ISO 8859-1. The five undefined bytes
// keep their C1 value, as Windows' own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const std::array<char16_t, 256> &cp1252Table()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<char16_t>(i);
        for (int i = 0; i < 32; ++i)
            t[0x80 + i] = kCp1252High[i];
        return t;
    }();
    return table;
}

const char *iconvName(int codePage)
{
    switch (codePage) {
    case 437:
        return "CP437";
    case 737:
        return "CP737";
    case 775:
        return "CP775";
    case 850:
        return "IBM850";
    case 852:
        return "IBM852";
    case 855:
        return "IBM855";
    case 857:
        return "IBM857";
    case 860:
        return "IBM860";
    case 861:
        return "IBM861";
    case 862:
        return "IBM862";
    case 863:
        return "IBM863";
    case 864:
        return "IBM864";
    case 865:
        return "IBM865";
    case 866:
        return "IBM866";
    case 869:
        return "IBM869";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "GBK";
    case 949:
        return "CP949";
    case 950:
        return "BIG5";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 1361:
        return "JOHAB";
    case 10000:
        return "MACINTOSH";
    case 10007:
        return "MAC-CYRILLIC";
    case 65001:
        return "UTF-8";
    default:
        return nullptr;
    }
}

struct IconvCloser
{
    void operator()(void *cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

// One converter per code page, opened on first use; null when iconv lacks the code page.
iconv_t converter(int codePage)
{
    thread_local std::map<int, IconvHandle> cache;
    auto it = cache.find(codePage);
    if (it == cache.end()) {
        const char *name = iconvName(codePage);
        void *cd = nullptr;
        if (name) {
            iconv_t opened = iconv_open("UTF-16LE", name);
            if (opened != reinterpret_cast<iconv_t>(-1))
                cd = opened;
        }
        it = cache.emplace(codePage, IconvHandle(cd)).first;
    }
    return static_cast<iconv_t>(it->second.get());
}

void iconvAppend(iconv_t cd, const char *bytes, qsizetype size, QString &out)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *in = const_cast<char *>(bytes);
    size_t inLeft = static_cast<size_t>(size);
    char16_t buffer[1024];
    while (inLeft > 0) {
        char *outPtr = reinterpret_cast<char *>(buffer);
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const qsizetype produced =
            static_cast<qsizetype>((sizeof buffer - outLeft) / sizeof(char16_t));
        out.append(reinterpret_cast<const QChar *>(buffer), produced);
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ: an invalid byte; EINVAL: a sequence cut off at the end.
        out.append(QChar(QChar::ReplacementCharacter));
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

} // namespace

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 1252; // Symbol: no Unicode mapping of its own here
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

bool isDoubleByteCodePage(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
           codePage == 1361 || codePage == 65001;
}

const char16_t *singleByteTable(int codePage)
{
    if (codePage == 1252 || isDoubleByteCodePage(codePage))
        return cp1252Table().data();
    thread_local std::map<int, std::array<char16_t, 256>> tables;
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        std::array<char16_t, 256> t = cp1252Table();
        if (iconv_t cd = converter(codePage)) {
            for (int i = 0x80; i < 256; ++i) {
                const char byte = static_cast<char>(i);
                QString one;
                iconvAppend(cd, &byte, 1, one);
                t[i] = one.size() == 1 ? one.at(0).unicode() : char16_t(0xFFFD);
            }
        }
        it = tables.emplace(codePage, t).first;
    }
    return it->second.data();
}

void decodeAppend(int codePage, const char *bytes, qsizetype size, QString &out)
{
    if (size <= 0)
        return;
    if (isDoubleByteCodePage(codePage)) {
        if (iconv_t cd = converter(codePage)) {
            iconvAppend(cd, bytes, size, out);
            return;
        }
    }
    const char16_t *table = singleByteTable(codePage);
    const qsizetype start = out.size();
    out.resize(start + size);
    QChar *dst = out.data() + start;
    for (qsizetype i = 0; i < size; ++i)
        dst[i] = QChar(table[static_cast<unsigned char>(bytes[i])]);
}

int toCp1252(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == ch && ch > 0xFF)
            return 0x80 + i;
    }
    return -1;
}

} // namespace quorix::rtf
