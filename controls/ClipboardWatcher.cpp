#include "controls/ClipboardWatcher.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quorix {

ClipboardWatcher::ClipboardWatcher(QObject *owner) : QObject(owner)
{
    // dataChanged is the CLIPBOARD selection only (the primary selection has its own
    // signal), raised once per new owner of the clipboard, that is once per copy.
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &ClipboardWatcher::ClipboardChanged);
    QMetaObject::invokeMethod(this, &ClipboardWatcher::Loaded, Qt::QueuedConnection);
}

ClipboardWatcher::~ClipboardWatcher() = default;

void ClipboardWatcher::Loaded()
{
    if (loaded_)
        return;
    loaded_ = true;
    if (triggerOnCreation_)
        ClipboardChanged();
}

void ClipboardWatcher::ClipboardChanged()
{
    if (enabled_)
        emit OnClipboardChanged(this);
}

} // namespace quorix
