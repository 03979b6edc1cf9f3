#include "controls/PJCBViewer.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quorix {

TPJCBViewer::TPJCBViewer(QObject *owner) : QObject(owner)
{
    // dataChanged is the CLIPBOARD selection only (the primary selection has its own
    // signal), raised once per new owner of the clipboard, that is once per copy.
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &TPJCBViewer::ClipboardChanged);
    QMetaObject::invokeMethod(this, &TPJCBViewer::Loaded, Qt::QueuedConnection);
}

TPJCBViewer::~TPJCBViewer() = default;

void TPJCBViewer::Loaded()
{
    if (loaded_)
        return;
    loaded_ = true;
    if (triggerOnCreation_)
        ClipboardChanged();
}

void TPJCBViewer::ClipboardChanged()
{
    if (enabled_)
        emit OnClipboardChanged(this);
}

} // namespace quorix
