#include "text/RichTextView.h"

#include "rtf/RichTextFile.h"

#include <QPointer>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

namespace quorix {

void loadRichTextView(QTextEdit &view, const QString &path)
{
    QPointer<QTextDocument> old = view.document();
    auto fresh = std::make_unique<QTextDocument>();
    fresh->setDefaultFont(old->defaultFont());
    fresh->setUndoRedoEnabled(old->isUndoRedoEnabled());
    loadRichTextFile(*fresh, path);
    fresh->setParent(&view);
    view.setDocument(fresh.release());
    // The view's first document and every one loaded since belong to the view: a replaced
    // one goes. A document handed to the view from outside stays with its owner.
    if (!old || old == view.document())
        return;
    for (QObject *owner = old->parent(); owner; owner = owner->parent()) {
        if (owner == &view) {
            old->deleteLater();
            return;
        }
    }
}

} // namespace quorix
