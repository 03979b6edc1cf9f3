#pragma once
// The presenter's own setting for the room, kept beside the editor's custom colours in
// QSettings("Ombrak", "Quorix") (not in the placement file, nor in the viewers' settings
// file): whether every viewer in the room is Quorix's own, so that pictures go out as the
// compact picture alone, without shar.bmp. Off until the presenter turns it on.
namespace quorix {

bool readOnlyQuorixViewers();
// False when the setting could not be stored.
bool writeOnlyQuorixViewers(bool on);

} // namespace quorix
