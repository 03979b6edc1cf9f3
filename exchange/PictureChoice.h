#pragma once
// Which of the two picture files to show. Quorix writes each picture as the compact picture
// first (renamed into place, so never met half-written), then as shar.bmp in place; the
// compact picture's tag says that a bitmap of its frame follows, and how many bytes it has.
// An older Quorix, or another presenter program, writes shar.bmp alone. So:
//
// - A compact picture that changed is read first; it is shown unless it is older than the
//   picture on screen (an earlier frame of the same run, or older than a bitmap shown).
// - The first change of shar.bmp after a compact picture whose tag promises a bitmap is
//   that bitmap (while it is written, and once it has the promised size): never read. A
//   bitmap older than the compact picture is never read either.
// - Any other change of shar.bmp is another program's picture, shown at once. A promise
//   that is not kept (a compact picture left from an earlier run beside another program's
//   bitmaps) stops holding the bitmap back once the bitmap has changed kPairChanges times,
//   or for kPairGiveUpMs, without becoming the promised bitmap.
// - Shares that keep whole seconds (or two seconds) in their times: a rewrite within the
//   same second leaves an identical stamp, so a bitmap is read only once its stamp has been
//   seen unchanged for longer than that (any later write then changes it, and the reader's
//   before-and-after check catches one during the read). The granularity is told from the
//   times themselves: no sub-second part ever seen, and (for two seconds) no odd second.
//
// The viewer thus never shows a frame older than the one on screen, never pieces one
// frame out of two files, and reads shar.bmp only for pictures that have no compact one.
#include "exchange/CompactPicture.h"
#include "exchange/FileStamp.h"

namespace quorix {

class PictureChoice
{
  public:
    // How many changes of the bitmap, or how long, a compact picture's promise of a bitmap
    // holds other bitmaps back.
    static constexpr int kPairChanges = 3;
    static constexpr qint64 kPairGiveUpMs = 3000;

    enum class Read
    {
        Nothing,
        Compact,
        Bitmap,
        // A bitmap of the promised size that was there before the compact picture was read
        // (the viewer starts, or both changed between two looks): the promised one, or
        // another program's of the same size? A few of its rows against the compact
        // picture's tell (bitmapChecked).
        CheckBitmap
    };

    // The stamps of both files after one look at the folder (call it after every look in
    // which either changed; calls without a change are harmless).
    void look(const FileStamp &compact, const FileStamp &bitmap, qint64 nowMs);

    // What should be read now: nothing when what is shown is already the newest, while
    // the promised bitmap is being written, or while a bitmap's stamp is not yet trusted.
    Read next(qint64 nowMs);
    // When a bitmap held back now may have to be read (ms on the same clock), or -1.
    qint64 wakeAtMs() const;

    // A compact picture was read: its stamp as read and its tag. True when it is to be
    // shown (false: an older frame than the picture on screen).
    bool compactRead(const FileStamp &stamp, const FrameTag &tag, qint64 nowMs);
    // A bitmap was read and shown (its stamp as read).
    void bitmapShown(const FileStamp &stamp);
    // The answer to CheckBitmap for the bitmap's current stamp: true when its rows are the
    // compact picture's.
    void bitmapChecked(bool samePicture);

    // The granularity of the share's times seen so far: 0 (sub-second), 1000 or 2000 ms.
    qint64 granularityMs() const;

  private:
    enum class Verdict
    {
        None,    // nothing new to read
        Pair,    // the promised bitmap, still being written
        Check,   // the promised bitmap, or another program's of the same size
        Foreign, // another program's picture: to be read
    };
    // Judges the bitmap's current stamp against the compact picture last read.
    void judgeBitmap(qint64 nowMs);
    void noteTimes(const FileStamp &stamp);

    FileStamp compact_;
    FileStamp bitmap_;
    qint64 bitmapSinceMs_ = 0; // when the bitmap's current stamp was first seen

    FileStamp readCompact_; // the compact picture last read, shown or not
    FileStamp bitmapAtCompactRead_;
    FileStamp shownBitmap_;
    FileStamp settledBitmap_; // a bitmap stamp that needs no read
    Verdict verdict_ = Verdict::None;

    // The promise of the compact picture last read.
    struct Promise
    {
        bool open = false;
        qint64 bytes = 0;
        qint64 compactMtimeNs = 0;
        int changes = 0;
        qint64 firstChangeMs = -1;
    } promise_;

    // The picture on screen: the tag of the compact picture shown, and the modification
    // time of what was shown last (compact or bitmap).
    FrameTag shownTag_;
    qint64 shownMtimeNs_ = 0;

    bool subSecond_ = false;
    bool oddSecond_ = false;
    bool anyTime_ = false;
};

} // namespace quorix
