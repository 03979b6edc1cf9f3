#pragma once
// What every source of the main window shares: the source mode, the current bitmap, the
// shared and program folders, the stop flag, the slide position and the captured window,
// and the only ways of writing the exchange files into the shared folder.
//
// The main window owns one; the capture, slide-show and text pages get it by reference,
// so none of them needs the main window itself.
#include "core/WholeFile.h"
#include "exchange/SendingThread.h"
#include "windowsystem/WindowSystem.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

namespace quorix {

struct Bmp24File;

enum SourceMode : int
{
    smNone = 0, // no source chosen yet
    smClipboard = 1,
    smScreen = 2,
    smWindow = 3,
    smSlideShow = 4,
    smText = 5,
};

// Why an exchange write wrote nothing (a failed write throws FileError instead).
enum class Sent
{
    Written,
    NoFolder,  // the shared-folder path is empty: nothing is written anywhere
    NoPicture, // an empty picture would blank every viewer
};

class SharedState : public QObject
{
    Q_OBJECT

  public:
    explicit SharedState(QObject *parent = nullptr);

    int mode = smNone;
    // Empty (0 x 0) until the first capture; sources copy into it.
    QImage currentBitmap;
    // The folder of the program's own files, with its trailing "/".
    QString programFolder;
    // Asks a running slide-show preview or timed playback to end.
    bool stopFlag = false;
    // Index into the slide-list lines of the next slide timed playback shows.
    int slidePosition = 0;
    // The top-level window the window source captures; 0 until one is chosen.
    WindowId capturedWindow = 0;
    // Mirrors the "automatically send" box, for pages that cannot see it.
    bool autoSend = false;

    // With its trailing "/" once set; empty before.
    const QString &sharedFolder() const { return sharedFolder_; }
    void setSharedFolder(const QString &path);

    // No viewer in the room but Quorix's own: pictures go out as the compact picture
    // alone, without shar.bmp.
    bool onlyQuorixViewers = false;

    // Exchange files, each rewritten whole in place under its fixed name. They throw
    // FileError when the write fails, and write nothing while the shared-folder path is
    // empty.
    //
    // A picture is written as shar.bmp first, then as the compact picture, which replaces
    // its predecessor by rename: the viewer takes a compact picture at least as new as the
    // bitmap to be that bitmap's frame (see the viewer's PictureChoice).
    //
    // Every write goes through one sending thread, in the order asked; these wait for it.
    Sent sendBitmap(const QImage &bitmap); // shar.bmp and the compact picture
    Sent sendCurrentBitmap() { return sendBitmap(currentBitmap); }
    // A 24-bit bitmap file made by the JPEG decoder, the same way.
    Sent sendBitmapFile(const Bmp24File &bmp);
    Sent sendRtf(const QByteArray &rtf); // shar.rtf
    Sent sendPieces(const QString &name, const std::vector<FilePiece> &pieces);
    Sent writeRunState();                               // quorixlog.cfg: "Run"
    Sent writeViewerSettings(const QStringList &lines); // quorix.cfg

    // A captured frame, as sendBitmap writes it, but without waiting: the capture tick
    // hands it to the sending thread and goes on. A frame still waiting there when the next
    // one comes is dropped. The outcome comes back as sent() or frameNotWritten().
    Sent sendFrame(const QImage &frame);
    // Waits until every write asked for so far has run (tests, the end of a run).
    void finishSending() { sender_.flush(); }

    // Something the presenter should know about a source (the captured window is gone);
    // shown until cleared.
    void reportProblem(const QString &text) { emit problemChanged(text); }
    void clearProblem() { emit problemChanged(QString()); }

  signals:
    void sharedFolderChanged();
    // A problem reported, or cleared (empty text).
    void problemChanged(const QString &text);
    // An exchange write was skipped for the reason given.
    void notSent(quorix::Sent reason);
    // An exchange write went through.
    void sent();
    // A frame handed over by sendFrame could not be written (the failure's text).
    void frameNotWritten(const QString &why);

  private:
    Sent skipped(Sent reason);
    // Runs `write` on the sending thread and waits; its failure is thrown here.
    void writeThrough(SendingThread::Kind kind, const std::function<void()> &write)
    {
        sender_.sendAndWait(kind, write);
    }

    QString sharedFolder_;
    SendingThread sender_;
};

} // namespace quorix
