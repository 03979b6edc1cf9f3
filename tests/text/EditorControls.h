#pragma once
// The text editor's widgets and actions as the tests reach them: by object name.
#include "support/Widgets.h"
#include "text/TextEditor.h"

#include <QAction>
#include <QPushButton>
#include <QTextEdit>

inline QTextEdit *textEditOf(const quorix::TextEditor &editor)
{
    return child<QTextEdit>(editor, "textEdit");
}

inline QAction *actionOf(const quorix::TextEditor &editor, const char *name)
{
    return child<QAction>(editor, name);
}

inline QPushButton *buttonOf(const quorix::TextEditor &editor, const char *name)
{
    return child<QPushButton>(editor, name);
}
