#pragma once
// The files in the shared folder are the public interface between the presenter and every
// viewer in the room: Quorix writes them, quorix-view and other viewer programs read them.
// What both sides must agree on is spelled here once.
//
//   shar.bmp       the picture: a Windows bitmap, 24 bits per pixel, bottom-up; every
//                  viewer program reads it. Rewritten in place under its fixed name with
//                  one write (a reader that meets it short reads again). Left out when the
//                  presenter says only Quorix viewers are in the room.
//   shar.png       the same picture, lossless and about a tenth of the bytes, for
//                  quorix-view; written under a temporary name and renamed into place, so
//                  a reader sees the old file or the new one, never a part.
//   shar.rtf       the text, RTF.
//   quorix.cfg     how every viewer shows what it gets: the lines of ViewerSettingsLine,
//                  read by ViewerSettings.
//   quorixlog.cfg  the run state: the line "Run" while the presenter sends.
//
// Write order of one picture: shar.png first, then shar.bmp, so that Quorix's viewers show
// a frame as soon as its small file is in place, without waiting for the 6 MB bitmap. The
// compact picture carries a PNG text chunk (kFrameTagKeyword: the run, the frame's number
// and the size of the bitmap that follows, or none), so a viewer pairs the two exactly: the
// first change of shar.bmp after a picture that promises one is that frame's bitmap and is
// never read; any other change of shar.bmp is another program's picture (PictureChoice).
//
// Line files (quorix.cfg, quorixlog.cfg) are in the locale's encoding with CR LF after
// every line.

namespace quorix {

inline constexpr char kBitmapName[] = "shar.bmp";
inline constexpr char kCompactPictureName[] = "shar.png";
inline constexpr char kTextName[] = "shar.rtf";
inline constexpr char kViewerSettingsName[] = "quorix.cfg";
inline constexpr char kRunStateName[] = "quorixlog.cfg";

// The one line of quorixlog.cfg while the presenter runs.
inline constexpr char kRunningLine[] = "Run";

// The lines of quorix.cfg, in order. A switch is written "1" or "0"; a reader takes any
// non-zero whole number as on, anything else (missing, empty, not a number) as off.
enum class ViewerSettingsLine
{
    PicturePath,   // the full path of shar.bmp as the presenter sees it
    Stretch,       // stretch the picture to the window
    Centre,        // centre it
    AutoSize,      // size the window to the picture
    FullScreen,    // full screen rather than a sizeable window
    ScrollVisible, // show the scroll text
    ScrollText,    // the scroll text itself
    DialogBorder,  // a dialog-style border for the sizeable window
    Count          // the number of lines of a complete file
};

} // namespace quorix
