#include "windowsystem/WindowSystem.h"

#ifdef QUORIX_WITH_PORTAL
#include "windowsystem/portal/PortalWindowSystem.h"
#endif
#ifdef QUORIX_WITH_X11
#include "windowsystem/x11/X11WindowSystem.h"
#endif

#include <QCoreApplication>
#include <QGuiApplication>

namespace quorix {

namespace {

// For platforms without an implementation (offscreen tests, a display server of another kind):
// captures come back empty, as when the window system refuses them.
class NullWindowSystem final : public WindowSystem
{
  public:
    bool captureScreen(QImage &image) override
    {
        image = QImage();
        return false;
    }
    bool captureWindow(WindowId, QImage &image) override
    {
        image = QImage();
        return false;
    }
    std::vector<WindowInfo> listTopLevelWindows() override { return {}; }
    bool canCaptureWindows() const override { return false; }
};

std::unique_ptr<WindowSystem> &instance()
{
    static std::unique_ptr<WindowSystem> system;
    return system;
}

void dropInstance()
{
    instance().reset();
}

// A build may leave out a back end; the loader then falls back as if it found none.
std::unique_ptr<WindowSystem> x11WindowSystem()
{
#ifdef QUORIX_WITH_X11
    return makeX11WindowSystem();
#else
    return nullptr;
#endif
}

} // namespace

WindowSystem &windowSystem()
{
    std::unique_ptr<WindowSystem> &system = instance();
    if (!system) {
        const QString platform = QGuiApplication::platformName();
        const bool xcb = platform == QLatin1String("xcb");
        // On a Wayland desktop the X server (XWayland) sees no other program's pixels: the
        // screen comes through the desktop's portal, the XWayland windows still through X11.
#ifdef QUORIX_WITH_PORTAL
        if (onWaylandSession() && (xcb || platform.startsWith(QLatin1String("wayland"))))
            system = makePortalWindowSystem(xcb ? x11WindowSystem() : nullptr);
#endif
        if (!system && xcb)
            system = x11WindowSystem();
        if (!system)
            system = std::make_unique<NullWindowSystem>();
        // The server frees what this program holds on it when the connection closes; the
        // object only has local memory left to give back.
        qAddPostRoutine(dropInstance);
    }
    return *system;
}

} // namespace quorix
