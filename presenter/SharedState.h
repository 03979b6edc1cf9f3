#pragma once
// What every source of the main window shares: the source mode, the current bitmap, the
// shared and program folders, the stop flag, the slide position and the captured window,
// and the only ways of writing the exchange files into the shared folder.
//
// The main window owns one; the capture, slide-show and text pages get it by reference,
// so none of them needs the main window itself.
#include "core/WholeFile.h"
#include "exchange/CompactPicture.h"
#include "exchange/SendingThread.h"
#include "presenter/StatusProblems.h"
#include "windowsystem/WindowSystem.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>

namespace quorix {

struct Bmp24File;

// The source the main window shows and sends, chosen with the source buttons.
enum class SourceMode
{
    None, // no source chosen yet
    Clipboard,
    Screen,
    Window,
    SlideShow,
    Text,
};

// The sources that send a picture (the text source sends a text, and None nothing).
constexpr bool isPictureSource(SourceMode mode)
{
    return mode == SourceMode::Clipboard || mode == SourceMode::Screen ||
           mode == SourceMode::Window || mode == SourceMode::SlideShow;
}

// Why an exchange write wrote nothing (a failed write throws FileError instead).
enum class Sent
{
    Written,
    NoFolder,  // the shared-folder path is empty: nothing is written anywhere
    NoPicture, // an empty picture would blank every viewer
};

// The status strip's text for a picture or text that could not be written, from the
// system's error number (0: not a file error).
QString notSentText(int code);

class SharedState : public QObject
{
    Q_OBJECT

  public:
    explicit SharedState(QObject *parent = nullptr);

    SourceMode mode = SourceMode::None;
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
    // A picture is written as the compact picture first, which replaces its predecessor by
    // rename and carries the frame's tag (this run, the frame's number, the bitmap that
    // follows), then as shar.bmp: the viewer pairs the two by the tag (see the viewer's
    // PictureChoice).
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
    //
    // After a write failed, frames are not encoded and written again while the folder
    // refuses them: the newest is kept, the folder is looked at about once a second with
    // a small write (kProbeInterval), and the frame kept goes out as soon as that works.
    // A write still under way after kStuckAfter counts as failed for the status strip.
    Sent sendFrame(const QImage &frame);
    // Waits until every write asked for so far has run (tests, the end of a run).
    void finishSending() { sender_.flush(); }

    static constexpr int kProbeInterval = 1000; // ms
    static constexpr int kStuckAfter = 3000;    // ms

    // What the status strip says: the source's, the folder's and the writes' problems.
    StatusProblems &problems() { return problems_; }
    const StatusProblems &problems() const { return problems_; }
    // Something the presenter should know about a source (the captured window is gone,
    // the desktop's consent is awaited); shown until cleared. Writes never clear it.
    void reportProblem(const QString &text)
    {
        problems_.report(StatusProblems::Topic::Source, text);
    }
    void clearProblem() { problems_.clear(StatusProblems::Topic::Source); }

    // Frames and pictures whose writing began on the sending thread, and looks at a folder
    // that refused them, since the start.
    int framesTried() const { return counts_->frames; }
    int probesTried() const { return counts_->probes; }

  signals:
    void sharedFolderChanged();
    // An exchange write was skipped for the reason given.
    void notSent(quorix::Sent reason);
    // An exchange write went through.
    void sent();
    // A frame handed over by sendFrame could not be written (the failure's text).
    void frameNotWritten(const QString &why);

  private:
    // A frame kept while the folder refuses writes.
    struct HeldFrame
    {
        QString folder;
        QImage frame;
        bool onlyQuorixViewers;
    };
    // What the sending thread counts; shared with writes that may outlive this object.
    struct Counts
    {
        std::atomic<int> frames{0};
        std::atomic<int> probes{0};
        // The bytes the last picture took in the folder: what a probe looks for room for.
        std::atomic<qint64> pictureBytes{0};
    };

    Sent skipped(Sent reason);
    // The tag of the next picture written (its bitmap's size is filled in by the write).
    FrameTag nextTag();
    // Runs `write` on the sending thread and waits; its failure is thrown here, and told
    // in the status strip when it was a picture or a text.
    void writeThrough(SendingThread::Kind kind, const std::function<void()> &write);
    void queueFrame(HeldFrame held);
    void onWritten(SendingThread::Kind kind, std::uint64_t number);
    void onFailed(SendingThread::Kind kind, const QString &text, std::uint64_t number, int code);
    void writeFailed(int code, std::uint64_t number);
    void probeFolder();
    void checkStuck();

    QString sharedFolder_;
    // This run of the program, for the tags: the viewer tells a run's frames apart from
    // those of a run before.
    quint64 run_;
    quint64 frames_ = 0;
    StatusProblems problems_;
    std::shared_ptr<Counts> counts_ = std::make_shared<Counts>();
    std::optional<HeldFrame> held_;
    std::uint64_t lastQueued_ = 0;   // the newest write queued without waiting
    std::uint64_t lastAnswered_ = 0; // the newest of those whose outcome came back
    std::uint64_t probe_ = 0;        // the look at the folder under way
    QTimer probeTimer_;
    QTimer stuckTimer_;
    SendingThread sender_;
};

} // namespace quorix
