#pragma once
// What the web server hands out, shared between the thread that reads the folder and the
// server's own thread: the last pictures (each under an address made of a random part
// chosen once per run and the picture's number, so nobody guesses one before it is
// announced, and no address ever names two different pictures), the room's state as a
// push-channel announcement, and the text as JSON. Every call is safe from any thread.
#include <QByteArray>
#include <QString>

#include <deque>
#include <mutex>
#include <vector>

namespace quorix {

class RoomContent
{
  public:
    // How many pictures stay fetchable; older addresses answer 404.
    static constexpr int kKeptPictures = 16;

    RoomContent();

    // The random part of this run's picture addresses (32 hex digits).
    QByteArray runToken() const { return runToken_; }

    // Keeps `png` as the next picture and returns its number (1, 2, ...).
    quint64 addPicture(const QByteArray &png);
    // The picture's bytes, or null when the token is not this run's or the picture is gone.
    QByteArray picture(QByteArrayView token, quint64 number) const;
    // "/picture/<token>/<number>.png"
    QByteArray pictureAddress(quint64 number) const;

    // Replaces the state announced on the push channel; every change counts up the version.
    void setState(const QByteArray &json);
    // A number for a picture of the text about to be set (from the pictures' own count).
    quint64 nextNumber();
    struct TextPicture
    {
        quint64 number;
        QByteArray png;
    };
    // The text, with the pictures in it; they stay fetchable as long as it is the text.
    void setText(const QByteArray &json, std::vector<TextPicture> pictures = {});

    struct State
    {
        quint64 version = 0;
        QByteArray json;
    };
    State state() const;
    QByteArray text() const;

  private:
    struct Kept
    {
        quint64 number;
        QByteArray png;
    };

    const QByteArray runToken_;
    mutable std::mutex mutex_;
    std::deque<Kept> pictures_;
    std::vector<TextPicture> textPictures_;
    quint64 lastNumber_ = 0;
    State state_;
    QByteArray text_;
};

} // namespace quorix
