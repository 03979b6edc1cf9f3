// quorix-view [FOLDER]: shows on this computer what the presenter's Quorix writes into the
// shared folder. Without FOLDER it watches the folder of the last run, or asks for one.
#include "controls/FolderChooser.h"
#include "exchange/ExchangeReader.h"
#include "exchange/FolderWatch.h"
#include "view/RememberedFolder.h"
#include "view/ViewerWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

using namespace quorix;

namespace {

QString chooseFolder()
{
    FolderChooser chooser(nullptr);
    chooser.title = QApplication::translate("quorix-view", "Server Shared Folder");
    chooser.options = FolderChooser::Option::ShowPath | FolderChooser::Option::Centred;
    if (!chooser.choose())
        return {};
    return chooser.directory;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuorixView"));
    QApplication::setOrganizationName(QStringLiteral("Ombrak"));
    QApplication::setApplicationVersion(QStringLiteral(QUORIX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("si.ombrak.QuorixView"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("si.ombrak.Quorix")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QApplication::translate(
        "quorix-view", "Shows what the presenter's Quorix writes into a shared folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FOLDER"),
        QApplication::translate("quorix-view", "The shared folder (default: the last one)."));
    const QCommandLineOption trace(
        QStringLiteral("trace"),
        QApplication::translate("quorix-view", "Print when each picture reaches the screen."));
    parser.addOption(trace);
    parser.process(app);

    QString folder = parser.positionalArguments().value(0);
    if (folder.isEmpty())
        folder = rememberedFolder();
    if (folder.isEmpty())
        folder = chooseFolder();
    if (folder.isEmpty())
        return 0; // nothing chosen: nothing to show
    // A folder that is not there yet (a share not mounted) is watched all the same.
    folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    rememberFolder(folder);

    ViewerWindow window(folder);
    window.setTrace(parser.isSet(trace));
    FolderWatch watch(folder);
    ExchangeReader reader(watch);
    QObject::connect(&reader, &ExchangeReader::pictureRead, &window, &ViewerWindow::showPicture);
    QObject::connect(&reader, &ExchangeReader::textRead, &window, &ViewerWindow::showText);
    QObject::connect(&reader, &ExchangeReader::settingsRead, &window, &ViewerWindow::applySettings);
    QObject::connect(&reader, &ExchangeReader::runStateChanged, &window, &ViewerWindow::setRunning);
    QObject::connect(&reader, &ExchangeReader::unreadable, &window, &ViewerWindow::setUnreadable);
    QObject::connect(&watch, &FolderWatch::reachableChanged, &window, &ViewerWindow::setReachable);
    watch.start();
    window.start();
    return app.exec();
}
