#include "windowsystem/portal/PortalWindowSystem.h"

#include "windowsystem/portal/PipeWireStream.h"
#include "windowsystem/portal/PortalProbe.h"
#include "windowsystem/portal/PortalScreenCast.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWindow>

namespace quorix {

namespace {

// Whether the portal can share single windows.
bool offersWindows(const PortalOffer &offer)
{
    return (offer.sourceTypes & std::uint32_t(PortalScreenCast::Source::Window)) != 0;
}

// How long the question of what the portal offers may stay out: the session bus may have to
// start the portal first. Nothing waits for it; a screen wanted meanwhile starts when the
// answer comes.
constexpr int kProbeTimeoutMs = 30000;

// The handle a desktop's dialog takes to sit above its parent.
QString parentHandle(QWindow *parent)
{
    if (!parent || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    return QStringLiteral("x11:") + QString::number(parent->winId(), 16);
}

class PortalWindowSystem final : public WindowSystem
{
  public:
    explicit PortalWindowSystem(std::unique_ptr<WindowSystem> x11) : x11_(std::move(x11))
    {
        if (x11_) // the windows of XWayland clients
            connect(x11_.get(), &WindowSystem::drawn, this, &WindowSystem::drawn);
        connect(&probe_, &PortalProbe::answered, this, &PortalWindowSystem::onOffer);
        // Asked at once, while the presenter does other things.
        probe_.ask(kProbeTimeoutMs);
    }

    bool captureScreen(QImage &image) override { return take(screen_, screenSeen_, image); }

    bool captureWindow(WindowId window, QImage &image) override
    {
        if (window < kPortalWindowBase) {
            if (x11_)
                return x11_->captureWindow(window, image);
            image = QImage();
            return false;
        }
        if (window != windowId_) {
            image = QImage();
            return false;
        }
        return take(window_, windowSeen_, image);
    }

    std::vector<WindowInfo> listTopLevelWindows() override
    {
        return x11_ ? x11_->listTopLevelWindows() : std::vector<WindowInfo>{};
    }
    bool canCaptureWindows() const override
    {
        return (x11_ && x11_->canCaptureWindows()) || offersWindows(offer_);
    }
    void releaseWindowCapture() override
    {
        if (x11_)
            x11_->releaseWindowCapture();
    }
    WindowId heldWindow() const override { return x11_ ? x11_->heldWindow() : 0; }

    bool mayHaveChanged(WindowId window) override
    {
        if (window == 0)
            return changed(screen_, screenSeen_);
        if (window < kPortalWindowBase)
            return !x11_ || x11_->mayHaveChanged(window);
        return window != windowId_ || changed(window_, windowSeen_);
    }

    void prepareCapture(WindowId target, QWindow *parent) override
    {
        if (target != 0)
            return; // windows are prepared by the chooser
        screenSeen_ = 0;
        screenParent_ = parentHandle(parent);
        if (!knowOffer()) {
            screenWanted_ = true; // started when the answer comes
            return;
        }
        startScreen();
    }

    void endCapture(WindowId target) override
    {
        if (target == 0)
            screenWanted_ = false;
        if (target == 0 && screen_)
            screen_->stop();
        else if (target >= kPortalWindowBase && target == windowId_ && window_)
            window_->stop();
        else if (target != 0 && target < kPortalWindowBase && x11_)
            x11_->endCapture(target);
    }

    QString captureProblem(WindowId target) const override
    {
        if (target != 0 && target < kPortalWindowBase)
            return x11_ ? x11_->captureProblem(target) : QString();
        const bool screen = target == 0;
        if (probe_.status() == PortalProbe::Status::Asking ||
            probe_.status() == PortalProbe::Status::NotAsked)
            return tr("Asking the desktop...");
        if (!offer_.available)
            return screen ? tr("No screen capture on this desktop")
                          : tr("No window capture on this desktop");
        const PortalScreenCast *cast = screen ? screen_.data() : window_.data();
        if (!screen && target != windowId_)
            return tr("The window is gone: choose another");
        if (!cast)
            return {};
        switch (cast->state()) {
        case PortalScreenCast::State::Idle:
        case PortalScreenCast::State::Asking:
            return screen ? tr("Waiting for the desktop's consent")
                          : tr("Choose the window on the desktop");
        case PortalScreenCast::State::Streaming:
            return screen ? tr("Waiting for the first picture")
                          : tr("Waiting for the first picture");
        case PortalScreenCast::State::Refused:
            return screen ? tr("Sharing cancelled: nothing sent")
                          : tr("No window chosen: nothing sent");
        case PortalScreenCast::State::Ended:
            return screen ? tr("Sharing stopped: last picture kept")
                          : tr("Sharing stopped: last picture kept");
        case PortalScreenCast::State::Failed:
            return screen ? tr("Screen sharing failed: press Screen Image to try again")
                          : tr("Window sharing failed: choose the window again");
        case PortalScreenCast::State::Unavailable:
            return screen ? tr("No screen capture on this desktop")
                          : tr("No window capture on this desktop");
        }
        return {};
    }

    bool desktopDialogMayBeOpen() const override
    {
        return (screen_ && screen_->dialogMayBeOpen()) || (window_ && window_->dialogMayBeOpen());
    }

    OtherWindows otherWindows() override
    {
        if (!knowOffer())
            return OtherWindows::Asking;
        if (!offer_.available)
            return OtherWindows::Unavailable;
        return offersWindows(offer_) ? OtherWindows::Chooser : OtherWindows::MonitorsOnly;
    }

    WindowId chooseOtherWindow(QWindow *parent) override
    {
        if (otherWindows() != OtherWindows::Chooser)
            return 0;
        delete window_.data();
        window_ = new PortalScreenCast(PortalScreenCast::Source::Window, offer_, this);
        connect(window_, &PortalScreenCast::stateChanged, this, &WindowSystem::captureStateChanged);
        connect(window_, &PortalScreenCast::dialogChanged, this,
                &WindowSystem::captureStateChanged);
        windowId_ = kPortalWindowBase + ++chosenWindows_;
        connect(window_, &PortalScreenCast::stateChanged, this,
                [this, id = windowId_] { followFrames(window_, windowStream_, id); });
        windowSeen_ = 0;
        window_->start(parentHandle(parent));
        return windowId_;
    }

  private:
    // Whether the portal has said what it offers; a question that failed is asked again.
    bool knowOffer()
    {
        if (probe_.status() == PortalProbe::Status::Failed)
            probe_.ask(kProbeTimeoutMs);
        return probe_.status() == PortalProbe::Status::Answered ||
               probe_.status() == PortalProbe::Status::Failed;
    }

    void onOffer()
    {
        offer_ = probe_.offer();
        for (PortalScreenCast *cast : {screen_.data(), window_.data()})
            if (cast)
                cast->setOffer(offer_);
        if (screenWanted_) {
            screenWanted_ = false;
            startScreen();
        }
        emit captureStateChanged();
    }

    void startScreen()
    {
        if (!screen_) {
            screen_ = new PortalScreenCast(PortalScreenCast::Source::Monitor, offer_, this);
            connect(screen_, &PortalScreenCast::stateChanged, this,
                    &WindowSystem::captureStateChanged);
            connect(screen_, &PortalScreenCast::dialogChanged, this,
                    &WindowSystem::captureStateChanged);
            connect(screen_, &PortalScreenCast::stateChanged, this,
                    [this] { followFrames(screen_, screenStream_, 0); });
        }
        screen_->start(screenParent_);
    }

    static bool take(const PortalScreenCast *cast, std::uint64_t &seen, QImage &image)
    {
        image = QImage();
        if (!cast || cast->state() != PortalScreenCast::State::Streaming || !cast->stream())
            return false;
        std::uint64_t serial = 0;
        image = cast->stream()->newestFrame(&serial);
        seen = serial;
        return !image.isNull();
    }

    // Only a new frame is a change; a session that is not streaming is asked about at
    // every tick, so that its reason reaches the status strip.
    static bool changed(const PortalScreenCast *cast, std::uint64_t &seen)
    {
        if (!cast || cast->state() != PortalScreenCast::State::Streaming || !cast->stream())
            return true;
        std::uint64_t serial = 0;
        cast->stream()->newestFrame(&serial);
        return serial == 0 || serial != seen;
    }

    // Each new buffer of a cast's stream is drawing on its target, with no rectangle known
    // (the desktop sends buffers only when something was drawn).
    void followFrames(PortalScreenCast *cast, QPointer<PipeWireStream> &followed, WindowId id)
    {
        PipeWireStream *stream = cast ? cast->stream() : nullptr;
        if (!stream || stream == followed)
            return;
        followed = stream;
        connect(stream, &PipeWireStream::frameArrived, this, [this, id] { emit drawn(id, {}); });
    }

    std::unique_ptr<WindowSystem> x11_;
    QPointer<PipeWireStream> screenStream_;
    QPointer<PipeWireStream> windowStream_;
    PortalProbe probe_;
    PortalOffer offer_;
    // The screen was asked for before the portal said what it offers.
    bool screenWanted_ = false;
    QString screenParent_;
    QPointer<PortalScreenCast> screen_;
    QPointer<PortalScreenCast> window_;
    WindowId windowId_ = 0;
    std::uint64_t chosenWindows_ = 0;
    std::uint64_t screenSeen_ = 0;
    std::uint64_t windowSeen_ = 0;
};

} // namespace

bool onWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

std::unique_ptr<WindowSystem> makePortalWindowSystem(std::unique_ptr<WindowSystem> x11)
{
    return std::make_unique<PortalWindowSystem>(std::move(x11));
}

} // namespace quorix
