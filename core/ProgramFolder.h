#pragma once
#include <QString>

namespace quorix {

// The folder that holds the program's own files (pointer and placement files, the text
// source's temporary file), with its trailing "/". Every file the program keeps beside
// itself takes its folder from here and nowhere else. It is the executable's folder when
// that folder is the program's own (see isOwnProgramFolder), otherwise the per-user
// configuration folder, created on demand.
QString programFolderPath();

// True when `folder` may hold this user's program files: it is writable, owned by the
// effective user and not writable by the group or others (so no two users share the
// files), and it is not where installed programs live (a "bin" or "sbin" folder, or
// anything under /usr or /opt) — an installed program never writes beside itself, even
// when root runs it.
bool isOwnProgramFolder(const QString &folder);

// Makes programFolderPath() answer `folder` (tests keep every file in a temporary folder).
// An empty text restores the normal answer.
void setProgramFolderOverride(const QString &folder);

} // namespace quorix
