#pragma once
// A text as the page draws it: JSON of paragraphs and runs with a fixed set of
// properties (alignment, bullet, indent; bold, italic, underline, colour, background,
// size, font family), made from the document our RTF reader built. The page puts every
// piece of text in as text, never as markup, and sets the properties through the style
// object, so the page's Content-Security-Policy needs no inline style. Nothing else of
// the document reaches the page: no link, script, style or address it may carry.
#include <QByteArray>

class QTextDocument;

namespace quorix {

QByteArray textToJson(const QTextDocument &document);

} // namespace quorix
