#pragma once
// Reports every change of the system clipboard's content (the CLIPBOARD selection), one
// changed() per copy, on the user-interface thread.
//
// Receivers connect changed() through the general error report (`reported`), so that
// nothing a handler throws unwinds through Qt's signal delivery.
#include <QObject>

namespace quorix {

class ClipboardWatcher : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool reportAtStart READ reportsAtStart WRITE setReportAtStart)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled)

  public:
    // Once the event loop next runs, after the owner has set the properties and connected
    // changed(), the watcher finishes loading (finishLoading runs once).
    explicit ClipboardWatcher(QObject *owner = nullptr);
    ~ClipboardWatcher() override;

    // On: the clipboard's content at start counts as a change, reported once when loading
    // finishes.
    bool reportsAtStart() const { return reportAtStart_; }
    void setReportAtStart(bool on) { reportAtStart_ = on; }
    // When false changed() is not emitted; changes are still watched.
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }

    // Emits changed() once when it reports at start. Runs by itself once after
    // creation; a second call does nothing.
    void finishLoading();

  signals:
    void changed(QObject *sender);

  protected:
    // Emits changed() while enabled.
    virtual void notifyChange();

  private:
    bool reportAtStart_ = true;
    bool enabled_ = true;
    bool loaded_ = false;
};

} // namespace quorix
