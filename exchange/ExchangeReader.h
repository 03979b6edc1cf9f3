#pragma once
// Turns the folder watch's changes into what the viewer shows: a picture (the compact one
// or shar.bmp, as PictureChoice decides), a text, the settings, the run state. A file met
// half-written is read again shortly after, a few times with growing pauses; until then (and for a
// file that stays broken) nothing new is reported, so whatever is on screen stays there.
#include "exchange/FolderWatch.h"
#include "exchange/PictureChoice.h"
#include "exchange/ViewerSettings.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QSharedPointer>
#include <QTextDocument>
#include <QTimer>

#include <array>

namespace quorix {

class ExchangeReader : public QObject
{
    Q_OBJECT

  public:
    // The pauses before the reads again of a file that was torn or unreadable; after the
    // last one the file is left alone until it changes.
    static constexpr std::array kRetryMs{40, 80, 160, 320, 640, 1280};

    explicit ExchangeReader(FolderWatch &watch, QObject *parent = nullptr);

    // Reads made so far, per file (for tests and the benchmark: a still folder makes none).
    int reads(FolderWatch::File file) const { return reads_[file]; }

  signals:
    // `mtimeNs` is the file's modification time, so the receiver can tell which of the
    // picture and the text was written last; `decodeUs` is the time reading and decoding
    // took.
    void pictureRead(const QImage &image, qint64 mtimeNs, qint64 decodeUs);
    // The compact picture's file bytes as read, sent just before its pictureRead (for a
    // reader that passes the file on rather than shows it: the room's web server).
    void compactPictureRead(const QByteArray &bytes, qint64 mtimeNs);
    void textRead(QSharedPointer<QTextDocument> document, qint64 mtimeNs);
    void settingsRead(const quorix::ViewerSettings &settings);
    // The presenter has started (quorixlog.cfg is there); sent once.
    void runStateChanged(bool running);
    // A file stayed unreadable after every read again (its name and why).
    void unreadable(const QString &fileName, const QString &why);

  private:
    void changed(FolderWatch::File file);
    void read(FolderWatch::File file);
    // Reads whichever picture file PictureChoice asks for, if any.
    void choosePicture();
    // True when the file was read (or is gone); false asks for a read again.
    bool readPicture();
    bool readCompact();
    bool readText();
    bool readSettings();
    // True when the file is still the one last read whole (a change seen while it was
    // being written, then its end): nothing to read again.
    bool alreadyRead(FolderWatch::File file) const;
    void retryLater(FolderWatch::File file, const QString &why);

    FolderWatch &watch_;
    PictureChoice choice_;
    QElapsedTimer clock_;
    QTimer bitmapWait_;
    FolderWatch::PerFile<QTimer> retry_;
    FolderWatch::PerFile<int> attempts_;
    FolderWatch::PerFile<int> reads_;
    FolderWatch::PerFile<bool> lastAttempt_;
    FolderWatch::PerFile<FileStamp> lastRead_;
    FrameTag lastTag_; // of the compact picture last read
    QImage lastCompactImage_;
    bool running_ = false;
    QString why_;
};

} // namespace quorix
