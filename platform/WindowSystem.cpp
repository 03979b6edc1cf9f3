#include "platform/WindowSystem.h"

#include "platform/X11WindowSystem.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace quorix {

namespace {

// For platforms without an implementation (offscreen tests, Wayland without XWayland):
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

} // namespace

WindowSystem &windowSystem()
{
    std::unique_ptr<WindowSystem> &system = instance();
    if (!system) {
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            system = makeX11WindowSystem();
        if (!system)
            system = std::make_unique<NullWindowSystem>();
        // The server frees what this program holds on it when the connection closes; the
        // object only has local memory left to give back.
        qAddPostRoutine(dropInstance);
    }
    return *system;
}

} // namespace quorix
