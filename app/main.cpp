#include "app/AboutBox.h"
#include "app/Glyphs.h"
#include "app/MainWindow.h"
#include "app/OptionsDialog.h"
#include "slideshow/SetupWindow.h"
#include "text/TextEditor.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char **argv)
{
    // The main window needs its position, stacking order and "always on top", which
    // Wayland gives no client: on a Wayland desktop it runs through XWayland, and its
    // captures go through the desktop's screen-cast portal. Qt would otherwise take its
    // Wayland plugin, which the viewer uses.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform.startsWith("wayland"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorix"));
    QApplication::setOrganizationName(QStringLiteral("Ombrak"));
    // The desktop entry's name ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("si.ombrak.Quorix"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(quorix::programIcon())));

    // Every window is made once, hidden, and only shown and hidden afterwards. The
    // Options dialog exists before the main window's creation step, which may open it.
    quorix::MainWindow mainWindow;
    quorix::OptionsDialog optionsDialog(&mainWindow, &mainWindow);
    quorix::AboutBox aboutBox(&optionsDialog);
    optionsDialog.setAbout(&aboutBox);
    quorix::SetupWindow setupWindow(mainWindow.state(), &mainWindow);
    mainWindow.setSetupWindow(&setupWindow);
    mainWindow.setOptionsDialog(&optionsDialog);
    mainWindow.startUp();
    // The text editor comes last; it stays above the always-on-top main window it
    // belongs to.
    quorix::TextEditor textEditor(quorix::TextEditor::documentsFolder(), &mainWindow);
    mainWindow.setTextEditor(&textEditor);

    mainWindow.show();
    return app.exec();
}
