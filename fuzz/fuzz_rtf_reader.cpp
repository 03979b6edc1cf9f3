// libFuzzer target for the RTF reader: any bytes, read into a document and written back.
// Built only with clang and -DQUORIX_FUZZ=ON (see fuzz/CMakeLists.txt).
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // Most inputs should reach the parser: give them the header when they lack it.
    if (!quorix::RtfReader::looksLikeRtf(bytes))
        bytes.prepend("{\\rtf1 ");
    QTextDocument doc;
    quorix::RtfReader::read(bytes, doc);
    const QByteArray again = quorix::RtfWriter::write(doc);
    QTextDocument second;
    quorix::RtfReader::read(again, second);
    return 0;
}
