#pragma once
// The program's windows as main() makes them, with the program folder and the shared
// folder in temporary folders.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/OptionsDialog.h"
#include "core/LineFile.h"
#include "core/ProgramFolder.h"
#include "core/WholeFile.h"
#include "exchange/ExchangeProtocol.h"
#include "slideshow/SetupWindow.h"
#include "support/TemporarySettings.h"
#include "support/Widgets.h"
#include "text/TextEditor.h"

#include <memory>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

struct AppFixture
{
    QTemporaryDir programDir;
    QTemporaryDir sharedDir;
    std::unique_ptr<quorix::MainWindow> main;
    quorix::OptionsDialog *options = nullptr;
    quorix::AboutBox *about = nullptr;
    quorix::TextEditor *textEditor = nullptr;
    quorix::SetupWindow *setupWindow = nullptr;

    // With `withTextEditor`, the text editor is made last, as at start-up, and handed to the
    // main window; without it the Text button finds no editor to open, so tests that do
    // not drive the editor never wait for it.
    explicit AppFixture(bool withTextEditor = false)
    {
        QApplication::setApplicationName(QStringLiteral("Quorix"));
        keepSettingsInTemporaryFolder();
        quorix::setProgramFolderOverride(programDir.path());
        main = std::make_unique<quorix::MainWindow>();
        options = new quorix::OptionsDialog(main.get(), main.get());
        about = new quorix::AboutBox(options);
        options->setAbout(about);
        setupWindow = new quorix::SetupWindow(main->state(), main.get());
        main->setSetupWindow(setupWindow);
        main->setOptionsDialog(options);
        if (withTextEditor) {
            textEditor = new quorix::TextEditor(programDir.path() + QLatin1Char('/'), main.get());
            main->setTextEditor(textEditor);
        }
    }
    ~AppFixture()
    {
        main.reset();
        quorix::setProgramFolderOverride(QString());
    }

    QString program(const QString &name) const { return programDir.filePath(name); }
    QString shared() const { return sharedDir.path() + QLatin1Char('/'); }

    // A configured installation: the pointer file names a viewer settings file in the
    // shared folder.
    void configure(const QStringList &settings) const
    {
        quorix::writeLineFile(shared() + quorix::kViewerSettingsName, settings);
        quorix::writeLineFile(program("qx.cfg"), {shared() + quorix::kViewerSettingsName});
    }
    void configure() const
    {
        configure({shared() + quorix::kBitmapName, "0", "0", "0", "1", "1", "", "0"});
    }
};
