#pragma once
#include <QString>

namespace quorix {

// The folder that holds the program's own files (pointer and placement files), with its
// trailing "/": the executable's folder when it is writable, otherwise the per-user
// configuration folder, created on demand.
QString programFolderPath();

// Makes programFolderPath() answer `folder` (tests keep every file in a temporary folder).
// An empty text restores the normal answer.
void setProgramFolderOverride(const QString &folder);

} // namespace quorix
