#include "exchange/PictureChoice.h"

namespace quorix {

void PictureChoice::look(const FileStamp &compact, const FileStamp &bitmap, qint64 nowMs)
{
    const bool compactChanged = !(compact == compact_);
    const bool bitmapChanged = !(bitmap == bitmap_);
    if (bitmapChanged)
        bitmapSinceMs_ = nowMs;
    if (compactChanged)
        bitmapChangedLast_ = false; // both at once: the tie goes to the compact picture
    else if (bitmapChanged && compact_.isRegular())
        bitmapChangedLast_ = true;
    compact_ = compact;
    bitmap_ = bitmap;
    compactSeen_ = compactSeen_ || compact.isRegular();
}

bool PictureChoice::bitmapIsNewer() const
{
    if (!bitmap_.isRegular())
        return false;
    if (!compact_.isRegular())
        return true;
    return bitmapChangedLast_ || bitmap_.mtimeNs > compact_.mtimeNs;
}

PictureChoice::Read PictureChoice::next(qint64 nowMs) const
{
    if (bitmapIsNewer()) {
        if (bitmap_ == shownBitmap_ || (compactSeen_ && nowMs - bitmapSinceMs_ < kBitmapWaitMs))
            return Read::Nothing;
        return Read::Bitmap;
    }
    if (compact_.isRegular() && !(compact_ == shownCompact_))
        return Read::Compact;
    return Read::Nothing;
}

qint64 PictureChoice::wakeAtMs() const
{
    if (compactSeen_ && bitmapIsNewer() && !(bitmap_ == shownBitmap_))
        return bitmapSinceMs_ + kBitmapWaitMs;
    return -1;
}

void PictureChoice::shown(Read which, const FileStamp &stamp)
{
    if (which == Read::Compact)
        shownCompact_ = stamp;
    else if (which == Read::Bitmap)
        shownBitmap_ = stamp;
}

} // namespace quorix
