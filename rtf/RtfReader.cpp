#include "rtf/RtfReader.h"

#include "rtf/RtfParser.h"

#include <QCoreApplication>
#include <QTextDocument>

namespace quorix {

bool RtfReader::looksLikeRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    const QByteArrayView rest = QByteArrayView(bytes).sliced(i);
    return rest.startsWith("{\\rtf") || rest.startsWith("{\\urtf");
}

RtfReader::Result RtfReader::read(const QByteArray &bytes, QTextDocument &doc)
{
    if (!looksLikeRtf(bytes))
        return {Error::NotRtf, QCoreApplication::translate("RtfReader", "The file is not RTF.")};
    if (bytes.size() > kMaxInputBytes)
        return {Error::TooLarge,
                QCoreApplication::translate("RtfReader", "The file is too large.")};
    const qsizetype start = bytes.indexOf('{');
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    {
        rtf::RtfParser parser(
            std::string_view(bytes.constData() + start, static_cast<size_t>(bytes.size() - start)),
            doc);
        parser.run();
    }
    doc.setUndoRedoEnabled(undo);
    return {};
}

} // namespace quorix
