#pragma once
// Settings (the editor's custom colours, the file dialogs' history) go to a temporary
// folder for the whole test program, never into the user's own configuration.
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

// Points the settings there (again, after a test pointed them elsewhere); the folder.
inline QString keepSettingsInTemporaryFolder()
{
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    return folder.path();
}
