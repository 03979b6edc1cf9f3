#include "rtf/RichTextFile.h"

#include "core/WholeFile.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QTextDocument>

#include <stdexcept>

namespace quorix {

void loadRichTextFile(QTextDocument &doc, const QString &path)
{
    QByteArray bytes;
    try {
        bytes = readWholeFile(path);
    } catch (const std::exception &) {
        throw std::runtime_error("Failed to Load Stream");
    }
    const RtfReader::Result result = RtfReader::read(bytes, doc);
    if (result.ok())
        return;
    if (result.error != RtfReader::Error::NotRtf)
        throw std::runtime_error("Failed to Load Stream");
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.setPlainText(QString::fromLocal8Bit(bytes));
    doc.setUndoRedoEnabled(undo);
}

void saveRichTextFile(const QTextDocument &doc, const QString &path)
{
    try {
        writeWholeFile(path, RtfWriter::write(doc));
    } catch (const std::exception &) {
        throw std::runtime_error("Failed to Save Stream");
    }
}

} // namespace quorix
