#pragma once
// Reports every change of the clipboard's content (first cut: enabling only).
#include <QObject>

namespace quorix {

class TPJCBViewer : public QObject
{
    Q_OBJECT

public:
    explicit TPJCBViewer(QObject *parent = nullptr) : QObject(parent) {}

    bool Enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }

signals:
    void OnClipboardChanged(QObject *sender);

private:
    bool enabled_ = true;
};

} // namespace quorix
