#pragma once
// The program's windows as main() makes them, with the program folder and the shared
// folder in temporary folders.
#include "app/mainunit.h"
#include "app/uabout.h"
#include "app/uoptions.h"
#include "platform/LineFile.h"
#include "platform/ProgramFolder.h"
#include "platform/WholeFile.h"
#include "slideshow/uss.h"

#include <memory>
#include <QApplication>
#include <QTemporaryDir>

struct AppFixture
{
    QTemporaryDir programDir;
    QTemporaryDir sharedDir;
    std::unique_ptr<quorix::TMainForm> main;
    quorix::Tfoptions *options = nullptr;
    quorix::Tfabout *about = nullptr;
    quorix::Tfss *fss = nullptr;

    AppFixture()
    {
        QApplication::setApplicationName(QStringLiteral("Quorix"));
        quorix::setProgramFolderOverride(programDir.path());
        main = std::make_unique<quorix::TMainForm>();
        options = new quorix::Tfoptions(main.get(), main.get());
        about = new quorix::Tfabout(options);
        options->setAbout(about);
        fss = new quorix::Tfss(main->state(), main.get());
        main->setSetupWindow(fss);
        main->setOptionsDialog(options);
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
        quorix::writeLineFile(shared() + "quorix.cfg", settings);
        quorix::writeLineFile(program("qx.cfg"), {shared() + "quorix.cfg"});
    }
    void configure() const { configure({shared() + "shar.bmp", "0", "0", "0", "1", "1", "", "0"}); }
};
