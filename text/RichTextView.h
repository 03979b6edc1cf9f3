#pragma once
// Loading a file into a rich-text view. The file is read into a fresh document that the
// view then shows: reading straight into a shown view's document lays the text out again
// after every paragraph, which takes seconds (or minutes) for a long file.
class QString;
class QTextEdit;

namespace quorix {

// Reads the file (RTF, else plain text) as loadRichTextFile does; the new document keeps
// the view's default font and undo setting. On failure it throws and the view keeps its
// document.
void loadRichTextView(QTextEdit &view, const QString &path);

} // namespace quorix
