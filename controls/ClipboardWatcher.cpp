#include "controls/ClipboardWatcher.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quorix {

ClipboardWatcher::ClipboardWatcher(QObject *owner) : QObject(owner)
{
    // dataChanged is the CLIPBOARD selection only (the primary selection has its own
    // signal), raised once per new owner of the clipboard, that is once per copy.
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &ClipboardWatcher::notifyChange);
    QMetaObject::invokeMethod(this, &ClipboardWatcher::finishLoading, Qt::QueuedConnection);
}

ClipboardWatcher::~ClipboardWatcher() = default;

void ClipboardWatcher::finishLoading()
{
    if (loaded_)
        return;
    loaded_ = true;
    if (reportAtStart_)
        notifyChange();
}

void ClipboardWatcher::notifyChange()
{
    if (enabled_)
        emit changed(this);
}

} // namespace quorix
