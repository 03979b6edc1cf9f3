#pragma once
// Measures that the RTF reader and writer share: a document written and read back keeps
// its indents only while both sides count them alike.
#include <QTextDocument>

#include <cmath>

namespace quorix::rtf {

// Twips per pixel of a QTextDocument measure (96 dots per inch).
constexpr qreal kTwipsPerPixel = 15.0;

// The height of a single line for \sl with \slmult1: 12 points.
constexpr int kSingleLineTwips = 240;

// The room that the writer gives a list marker before the text (a hanging \fi).
constexpr int kMarkerTwips = 360;

// Twips of list indentation per list level: the document's indent width.
inline int listIndentTwips(const QTextDocument &doc)
{
    return static_cast<int>(std::lround(doc.indentWidth() * kTwipsPerPixel));
}

} // namespace quorix::rtf
