#pragma once
// Writes a QTextDocument as RTF that word processors and WordPad-class readers open with
// the same text and look: font and colour tables; per run face, size, bold, italic,
// underline, strike, colour, highlight, super- and subscript; per paragraph alignment,
// indents, spacing; bulleted and numbered paragraphs both in the \listtable/\ls form and
// in the old \pn form (with its \pntext marker for readers that know neither); non-ASCII
// text as \uN with a code page 1252 fallback; pictures as \pict\pngblip.
//
// The bytes depend only on the document: the same document always gives the same bytes.
#include <QByteArray>

class QTextDocument;

namespace quorix {

class RtfWriter
{
  public:
    static QByteArray write(const QTextDocument &doc);
};

} // namespace quorix
