#pragma once
// A text as the page draws it: JSON of paragraphs and runs with a fixed set of
// properties (alignment, bullet, indent; bold, italic, underline, colour, background,
// size, font family) and pictures at addresses of their own, made from the document
// our RTF reader built. The page puts every
// piece of text in as text, never as markup, and sets the properties through the style
// object, so the page's Content-Security-Policy needs no inline style. Nothing else of
// the document reaches the page: no link, script, style or address it may carry.
#include <QByteArray>
#include <QString>

#include <functional>

class QImage;
class QTextDocument;

namespace quorix {

// A picture in the text becomes a run {"image": address, "width", "height"} with the
// address `pictureAddress` gives it (pictures are left out without one, or when it gives
// an empty address).
using TextPictureAddress = std::function<QString(const QImage &picture)>;

QByteArray textToJson(const QTextDocument &document, const TextPictureAddress &pictureAddress = {});

} // namespace quorix
