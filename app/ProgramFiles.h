#pragma once
// The presenter's own files, kept in the program folder (core/ProgramFolder.h).
namespace quorix {

// One line: the full path of the viewers' settings file (quorix.cfg) in the shared folder,
// whose first line in turn names the shared folder's bitmap.
inline constexpr char kSettingsPointerName[] = "qx.cfg";
// Where the main window was left, an INI file.
inline constexpr char kPlacementName[] = "Progset.cfg";

} // namespace quorix
