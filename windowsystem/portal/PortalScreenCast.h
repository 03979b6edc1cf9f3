#pragma once
// One screen-cast session with the desktop's portal (org.freedesktop.portal.ScreenCast on
// the session bus): the presenter's consent, then a PipeWire stream of one monitor or one
// window. Every step is asynchronous; the state says where the session stands.
//
// A monitor session asks the desktop to remember the presenter's answer (persist mode 2)
// and keeps the restore token it gets back in the program's own settings, so the presenter
// is asked once, not at every start. A portal older than version 4 cannot remember: it
// asks at each start.
#include "windowsystem/portal/PipeWireStream.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <cstdint>

class QDBusMessage;
class QDBusPendingCall;

namespace quorix {

// What the desktop's portal offers; `available` false when there is none, or no
// screen-cast interface on it.
struct PortalOffer
{
    bool available = false;
    std::uint32_t version = 0;
    std::uint32_t sourceTypes = 0; // 1 monitor, 2 window, 4 virtual
    std::uint32_t cursorModes = 0; // 1 hidden, 2 embedded, 4 metadata
};

class PortalScreenCast : public QObject
{
    Q_OBJECT

  public:
    enum class Source : std::uint32_t
    {
        Monitor = 1,
        Window = 2
    };
    enum class State
    {
        Idle,        // not started
        Asking,      // waiting for the portal and the presenter
        Streaming,   // granted; frames come as the desktop draws
        Refused,     // the presenter cancelled the desktop's dialog
        Ended,       // the desktop (or this program) ended the session
        Failed,      // the portal or PipeWire failed
        Unavailable, // no portal, or it cannot capture this source
    };

    // The settings key under QSettings("Ombrak", "Quorix") holding the monitor's token.
    static constexpr const char *kRestoreTokenKey = "ScreenCastRestoreToken";

    PortalScreenCast(Source source, const PortalOffer &offer, QObject *parent = nullptr);
    ~PortalScreenCast() override;

    // Asks the portal for the session; `parentWindow` is the "x11:<hex id>" of the window
    // the desktop's dialog belongs to (empty: none). A running session is kept.
    void start(const QString &parentWindow);
    // Closes the session (the desktop's sharing indicator goes away). While the desktop's
    // dialog is open the session is closed only once the presenter has answered it: some
    // desktops' back ends crash when a session goes under their open dialog. A start()
    // meanwhile takes the open dialog's answer again.
    void stop();

    State state() const { return state_; }
    // Whether the desktop's own dialog may be open: the session's Start is out (with a
    // remembered answer the desktop shows none, but only it knows). dialogChanged() says
    // when this changes.
    bool dialogMayBeOpen() const { return step_ == Step::Start; }
    Source source() const { return source_; }
    // The stream while the state is Streaming or Ended (the last frame stays readable).
    PipeWireStream *stream() const { return stream_; }

    // Asks the session bus what the portal offers; waits up to `timeoutMs` (PortalProbe
    // asks without waiting).
    static PortalOffer probe(int timeoutMs);
    // The offer in the portal's ScreenCast properties.
    static PortalOffer offerFrom(const QVariantMap &properties);
    // A newer answer about what the portal offers, for the next start().
    void setOffer(const PortalOffer &offer) { offer_ = offer; }

  signals:
    void stateChanged();
    void dialogChanged();

  private slots:
    void onResponse(const QDBusMessage &message);
    void onSessionClosed(const QDBusMessage &message);
    void onPortalGone();

  private:
    enum class Step
    {
        None,
        CreateSession,
        SelectSources,
        Start
    };
    // Sends `method` with a fresh request handle and waits for its Response signal.
    void request(Step step, const QString &method, const QList<QVariant> &arguments,
                 QVariantMap options);
    void selectSources();
    void startCast();
    void openRemote(std::uint32_t node);
    void setState(State state);
    void setStep(Step step);
    void closeSession();
    void keepRestoreToken(const QVariantMap &results) const;

    Source source_;
    PortalOffer offer_;
    State state_ = State::Idle;
    Step step_ = Step::None;
    QString parentWindow_;
    QString requestPath_;
    QString sessionPath_;
    QPointer<PipeWireStream> stream_;
    int generation_ = 0;
    // Stopped while a request was out: the answer only closes the session.
    bool abandoned_ = false;
};

} // namespace quorix
