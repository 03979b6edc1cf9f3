#pragma once
// Reads RTF 1.x into a QTextDocument: text in every code page and \u form, font and colour
// tables, character and paragraph formats, bulleted and numbered paragraphs in the \pn and
// the \listtable form, PNG and JPEG pictures. Stylesheets, document information, headers,
// footers, footnotes, field instructions and unknown \* destinations are skipped.
//
// Malformed input never crashes or hangs: unbalanced braces end the document where the
// bytes end, nesting deeper than kMaxDepth skips the inner groups, parameters are clamped,
// pictures larger than kMaxPicturePixels are left out.
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace quorix {

class RtfReader
{
  public:
    enum class Error
    {
        None,
        NotRtf,
        TooLarge
    };

    struct Result
    {
        Error error = Error::None;
        QString message; // empty on success
        bool ok() const { return error == Error::None; }
    };

    static constexpr int kMaxDepth = 256;
    static constexpr qsizetype kMaxInputBytes = qsizetype(256) * 1024 * 1024;
    static constexpr qint64 kMaxPicturePixels = qint64(40) * 1000 * 1000;

    // True when the bytes start (after white space or a UTF-8 byte-order mark) with "{\rtf".
    static bool looksLikeRtf(const QByteArray &bytes);

    // Replaces the document's content with the RTF. On an error the document is left
    // untouched. The undo history of the document is cleared.
    static Result read(const QByteArray &bytes, QTextDocument &doc);
};

} // namespace quorix
