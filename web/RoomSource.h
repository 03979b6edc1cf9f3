#pragma once
// What the room is shown, taken from the reading side of the exchange (the folder watch
// and the reader the viewer program uses, never a reader of its own): the newest picture
// as PNG bytes with its kind and number, the text, the viewers' settings and whether the
// presenter is running. The compact picture's bytes are passed on exactly as the presenter
// wrote them; a picture from a program that writes only shar.bmp is made into one PNG per
// frame here. What is shown follows the viewer: the waiting screen until the presenter
// starts, then the picture or the text, whichever was written last.
#include "exchange/ViewerSettings.h"

#include <QByteArray>
#include <QObject>
#include <QSharedPointer>

class QImage;
class QTextDocument;

namespace quorix {

class ExchangeReader;
class FolderWatch;

class RoomSource : public QObject
{
    Q_OBJECT

  public:
    enum class PictureKind
    {
        Compact, // the presenter's own PNG, byte for byte
        Bitmap   // made here from shar.bmp
    };
    struct Picture
    {
        QByteArray png;
        PictureKind kind = PictureKind::Compact;
        quint64 frame = 0; // counts the pictures read, from 1
        qint64 mtimeNs = -1;
    };
    enum class Showing
    {
        Waiting,
        Picture,
        Text
    };

    RoomSource(FolderWatch &watch, ExchangeReader &reader, QObject *parent = nullptr);

    const Picture &picture() const { return picture_; }
    QSharedPointer<QTextDocument> text() const { return text_; }
    ViewerSettings settings() const { return settings_; }
    bool running() const { return running_; }
    Showing showing() const;

  signals:
    void pictureChanged();
    void textChanged();
    // The settings, the run state or what is shown changed.
    void stateChanged();

  private:
    void compactRead(const QByteArray &png, qint64 mtimeNs);
    void pictureRead(const QImage &image, qint64 mtimeNs);
    void runFileChanged();

    FolderWatch &watch_;
    Picture picture_;
    QByteArray compactBytes_;
    qint64 compactMtimeNs_ = -1;
    QSharedPointer<QTextDocument> text_;
    qint64 textMtimeNs_ = -1;
    ViewerSettings settings_;
    bool running_ = false;
};

} // namespace quorix
