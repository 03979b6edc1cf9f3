#pragma once
// The character format a reader sees at a position of a document: that of the character
// after it, as the cursor reports it once past that character.
#include <QTextCursor>
#include <QTextDocument>

inline QTextCharFormat formatAt(const QTextDocument &doc, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&doc));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}
