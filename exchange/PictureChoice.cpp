#include "exchange/PictureChoice.h"

namespace quorix {

namespace {

constexpr qint64 kSecondNs = 1'000'000'000;

} // namespace

void PictureChoice::noteTimes(const FileStamp &stamp)
{
    if (!stamp.isRegular())
        return;
    anyTime_ = true;
    for (qint64 t : {stamp.mtimeNs, stamp.ctimeNs}) {
        subSecond_ = subSecond_ || t % kSecondNs != 0;
        oddSecond_ = oddSecond_ || (t / kSecondNs) % 2 != 0;
    }
}

qint64 PictureChoice::granularityMs() const
{
    if (!anyTime_ || subSecond_)
        return 0;
    return oddSecond_ ? 1000 : 2000;
}

void PictureChoice::look(const FileStamp &compact, const FileStamp &bitmap, qint64 nowMs)
{
    noteTimes(compact);
    noteTimes(bitmap);
    compact_ = compact;
    if (!(bitmap == bitmap_)) {
        // A change counts against a promise unless it is the promised bitmap growing
        // (written in place, it is seen short first).
        if (promise_.open && bitmap.isRegular() &&
            (bitmap.size >= promise_.bytes || (bitmap.size == bitmap_.size && bitmap.size > 0))) {
            ++promise_.changes;
            if (promise_.firstChangeMs < 0)
                promise_.firstChangeMs = nowMs;
        }
        bitmap_ = bitmap;
        bitmapSinceMs_ = nowMs;
    }
    judgeBitmap(nowMs);
}

void PictureChoice::judgeBitmap(qint64 nowMs)
{
    verdict_ = Verdict::None;
    if (!bitmap_.isRegular() || bitmap_ == shownBitmap_ || bitmap_ == settledBitmap_)
        return;
    if (compact_.isRegular() && !(compact_ == readCompact_))
        return; // the compact picture is read first; the bitmap is judged against it
    // On a share with whole-second times the two files' times may tie: a bitmap with the
    // compact picture's time that was there already when it was read may be the one
    // before or the promised one; either way it is not read, and the promise stands.
    const bool changedSince = !(bitmap_ == bitmapAtCompactRead_);
    const bool coarseTie = granularityMs() > 0 && !changedSince;
    if (promise_.open) {
        if (bitmap_.mtimeNs < promise_.compactMtimeNs ||
            (bitmap_.mtimeNs == promise_.compactMtimeNs && coarseTie)) {
            settledBitmap_ = bitmap_;
            return;
        }
        if (bitmap_.size == promise_.bytes) {
            if (!changedSince) {
                verdict_ = Verdict::Check;
                return;
            }
            settledBitmap_ = bitmap_; // the promised bitmap, whole
            promise_.open = false;
            return;
        }
        if (promise_.firstChangeMs < 0)
            promise_.firstChangeMs = nowMs;
        if (promise_.changes < kPairChanges && nowMs - promise_.firstChangeMs < kPairGiveUpMs) {
            verdict_ = Verdict::Pair;
            return;
        }
        promise_.open = false; // a promise not kept: the bitmap is another program's
    } else if (readCompact_.isRegular() &&
               (bitmap_.mtimeNs < readCompact_.mtimeNs ||
                (bitmap_.mtimeNs == readCompact_.mtimeNs && !changedSince))) {
        settledBitmap_ = bitmap_;
        return;
    }
    verdict_ = Verdict::Foreign;
}

PictureChoice::Read PictureChoice::next(qint64 nowMs)
{
    if (compact_.isRegular() && !(compact_ == readCompact_))
        return Read::Compact;
    judgeBitmap(nowMs);
    if (verdict_ == Verdict::Check)
        return Read::CheckBitmap;
    if (verdict_ != Verdict::Foreign)
        return Read::Nothing;
    const qint64 g = granularityMs();
    return g == 0 || nowMs - bitmapSinceMs_ > g ? Read::Bitmap : Read::Nothing;
}

qint64 PictureChoice::wakeAtMs() const
{
    if (verdict_ == Verdict::Foreign && granularityMs() > 0)
        return bitmapSinceMs_ + granularityMs() + 1;
    if (verdict_ == Verdict::Pair && promise_.firstChangeMs >= 0)
        return promise_.firstChangeMs + kPairGiveUpMs;
    return -1;
}

bool PictureChoice::compactRead(const FileStamp &stamp, const FrameTag &tag, qint64 nowMs)
{
    if (stamp == readCompact_)
        return false; // read again, unchanged: its promise stands as it was
    noteTimes(stamp);
    readCompact_ = stamp;
    // The frame on screen met again (a share may give the same file a new stamp) is not newer
    // either: showing it again would repaint for nothing and announce it twice.
    const bool earlierFrame = tag.present() && shownTag_.present() && tag.run == shownTag_.run &&
                              tag.frame <= shownTag_.frame;
    promise_ = {};
    if (tag.present() && tag.bitmapBytes >= 0)
        promise_ = {true, tag.bitmapBytes, stamp.mtimeNs, 0, -1};
    // A compact picture that promises no bitmap, beside a newer bitmap not yet judged (the
    // viewer starts, or both changed at once): the bitmap is the newest picture.
    const bool bitmapNewer = !promise_.open && bitmap_.isRegular() && !(bitmap_ == shownBitmap_) &&
                             !(bitmap_ == settledBitmap_) && bitmap_.mtimeNs > stamp.mtimeNs;
    const bool older = earlierFrame || stamp.mtimeNs < shownMtimeNs_ || bitmapNewer;
    bitmapAtCompactRead_ = bitmap_;
    if (!older) {
        shownTag_ = tag;
        shownMtimeNs_ = stamp.mtimeNs;
    }
    judgeBitmap(nowMs);
    return !older;
}

void PictureChoice::bitmapChecked(bool samePicture)
{
    if (verdict_ != Verdict::Check)
        return;
    if (samePicture) {
        settledBitmap_ = bitmap_;
        promise_.open = false;
        verdict_ = Verdict::None;
    } else {
        promise_.open = false; // another program's bitmap: judged again, it is read
        judgeBitmap(0);
    }
}

void PictureChoice::bitmapShown(const FileStamp &stamp)
{
    noteTimes(stamp);
    shownBitmap_ = stamp;
    shownMtimeNs_ = qMax(shownMtimeNs_, stamp.mtimeNs);
    promise_.open = false;
    verdict_ = Verdict::None;
}

} // namespace quorix
