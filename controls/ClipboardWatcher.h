#pragma once
// ClipboardWatcher: a non-visual component that reports every change of the system clipboard's
// content (the CLIPBOARD selection), one OnClipboardChanged per change, on the user-
// interface thread.
//
// Receivers connect OnClipboardChanged through the general error report (`reported`), so
// that nothing a handler throws unwinds through Qt's signal delivery.
#include <QObject>

namespace quorix {

class ClipboardWatcher : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool TriggerOnCreation READ TriggerOnCreation WRITE setTriggerOnCreation)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)

  public:
    // Once the event loop next runs, after the owner has set the properties and connected
    // the event, the component is "loaded" (Loaded runs once).
    explicit ClipboardWatcher(QObject *owner = nullptr);
    ~ClipboardWatcher() override;

    bool TriggerOnCreation() const { return triggerOnCreation_; }
    void setTriggerOnCreation(bool on) { triggerOnCreation_ = on; }
    // When false the event is not raised; changes are still watched.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }

    // Raises the event once when TriggerOnCreation is set. Runs by itself once after
    // creation; a second call does nothing.
    void Loaded();

  signals:
    void OnClipboardChanged(QObject *sender);

  protected:
    // Raises OnClipboardChanged when Enabled.
    virtual void ClipboardChanged();

  private:
    bool triggerOnCreation_ = true;
    bool enabled_ = true;
    bool loaded_ = false;
};

} // namespace quorix
