#pragma once
// Which of the two picture files to show. Quorix writes each picture as shar.bmp (for
// every viewer program) and then as the compact picture (for this one), which replaces
// its predecessor by rename; an older Quorix or another presenter program writes
// shar.bmp alone. So:
//
// - A compact picture at least as new as the bitmap holds the bitmap's frame (or a later
//   one): it is shown, and the bitmap is never read.
// - A bitmap newer than the compact picture (by its modification time, or seen to change
//   after the compact picture last did) is either the first half of a frame whose compact
//   picture is on its way, or a picture from a program that writes no compact one. In a
//   folder where a compact picture has been seen it is shown only once it has been still
//   for kBitmapWaitMs and no compact picture has come; elsewhere at once.
//
// Modification times on a network share may be whole seconds: within one second the
// order in which the changes were seen decides, and when both files changed between two
// looks the compact picture wins the tie. The viewer thus never shows a frame older than
// the newest picture written, and never pieces one frame out of two files.
#include "exchange/FileStamp.h"

namespace quorix {

class PictureChoice
{
  public:
    // How long a newer bitmap waits for its compact picture: above the time Quorix takes
    // to write the compact picture after the bitmap, plus the second for which network
    // mounts (cifs, NFS) may show a file's old times. Waiting too little costs a needless
    // read of the bitmap, never a wrong picture.
    static constexpr qint64 kBitmapWaitMs = 1500;

    enum class Read
    {
        Nothing,
        Compact,
        Bitmap
    };

    // The stamps of both files after one look at the folder (call it after every look in
    // which either changed; calls without a change are harmless).
    void look(const FileStamp &compact, const FileStamp &bitmap, qint64 nowMs);

    // What should be read and shown now: nothing when what is shown is already the
    // newest, or while a newer bitmap still waits.
    Read next(qint64 nowMs) const;
    // When a waiting bitmap's time is up (ms on the same clock), or -1.
    qint64 wakeAtMs() const;

    // The file shown, as read (its stamp at the time).
    void shown(Read which, const FileStamp &stamp);

  private:
    bool bitmapIsNewer() const;

    FileStamp compact_;
    FileStamp bitmap_;
    bool bitmapChangedLast_ = false;
    bool compactSeen_ = false;
    qint64 bitmapSinceMs_ = 0;
    FileStamp shownCompact_;
    FileStamp shownBitmap_;
};

} // namespace quorix
