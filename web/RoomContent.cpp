#include "web/RoomContent.h"

#include <QRandomGenerator>

namespace quorix {

namespace {

QByteArray randomToken()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex();
}

} // namespace

RoomContent::RoomContent() : runToken_(randomToken()) {}

quint64 RoomContent::addPicture(const QByteArray &png)
{
    std::lock_guard lock(mutex_);
    pictures_.push_back({++lastNumber_, png});
    while (pictures_.size() > size_t(kKeptPictures))
        pictures_.pop_front();
    return lastNumber_;
}

QByteArray RoomContent::picture(QByteArrayView token, quint64 number) const
{
    if (token != runToken_)
        return {};
    std::lock_guard lock(mutex_);
    for (const Kept &kept : pictures_)
        if (kept.number == number)
            return kept.png;
    for (const TextPicture &kept : textPictures_)
        if (kept.number == number)
            return kept.png;
    return {};
}

QByteArray RoomContent::pictureAddress(quint64 number) const
{
    return "/picture/" + runToken_ + '/' + QByteArray::number(number) + ".png";
}

void RoomContent::setState(const QByteArray &json)
{
    std::lock_guard lock(mutex_);
    ++state_.version;
    state_.json = json;
}

quint64 RoomContent::nextNumber()
{
    std::lock_guard lock(mutex_);
    return ++lastNumber_;
}

void RoomContent::setText(const QByteArray &json, std::vector<TextPicture> pictures)
{
    std::lock_guard lock(mutex_);
    text_ = json;
    textPictures_ = std::move(pictures);
}

RoomContent::State RoomContent::state() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

QByteArray RoomContent::text() const
{
    std::lock_guard lock(mutex_);
    return text_;
}

} // namespace quorix
