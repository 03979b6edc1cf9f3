#pragma once
// The file operations of the rich-text controls: load a file (RTF, else plain text,
// else "Failed to Load Stream") and save the whole document as RTF ("Failed to Save
// Stream").
#include <QString>

class QTextDocument;

namespace quorix {

// Reads the file as RTF into the document; a file that is not RTF is loaded from its start
// as plain text in the locale's encoding. Throws std::runtime_error("Failed to Load Stream")
// when the file cannot be read; the document then keeps its content.
void loadRichTextFile(QTextDocument &doc, const QString &path);

// Writes the whole document as RTF with one write that follows no symbolic link. Throws
// std::runtime_error("Failed to Save Stream") when the file cannot be written.
void saveRichTextFile(const QTextDocument &doc, const QString &path);

} // namespace quorix
