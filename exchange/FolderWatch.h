#pragma once
// Watches the shared folder for the four exchange files. Change notifications arrive at
// once where the file system gives them (a local folder); a poll every kPollMs catches
// what they miss (a network share written by another machine), and on a network or FUSE
// file system, where no notification comes, the two picture files are looked at every
// kPicturePollMs (two stat calls) so that a new picture is seen within that. Either way a file
// counts as changed only when its stamp (size, times, identity) differs from the last one seen, so
// a still folder costs a few stat calls per poll and no reads at all.
#include "exchange/FileStamp.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>

namespace quorix {

class FolderWatch : public QObject
{
    Q_OBJECT

  public:
    enum class File
    {
        Picture,  // shar.bmp
        Text,     // shar.rtf
        Settings, // quorix.cfg
        RunState, // quorixlog.cfg
        Compact,  // the compact picture beside shar.bmp
    };
    Q_ENUM(File)
    // Every file watched, in the order of File.
    static constexpr std::array kFiles{File::Picture, File::Text, File::Settings, File::RunState,
                                       File::Compact};

    // One value for each file watched, looked up by the file.
    template <class T> struct PerFile
    {
        PerFile() : values() {} // zeros, or each value default-constructed
        std::array<T, kFiles.size()> values;
        T &operator[](File file) { return values[std::size_t(file)]; }
        const T &operator[](File file) const { return values[std::size_t(file)]; }
    };

    static constexpr int kPollMs = 250;
    static constexpr int kPicturePollMs = 100;

    // True when the folder lies on a file system that reports changes made elsewhere
    // (a local one); false for network and FUSE file systems.
    static bool notifiesChanges(const QString &folder);

    explicit FolderWatch(const QString &folder, QObject *parent = nullptr);

    // The first look: every file found counts as changed, and reachableChanged tells
    // whether the folder is there.
    void start();

    QString folder() const { return folder_; }
    QString path(File file) const;
    static QString fileName(File file);
    FileStamp stamp(File file) const { return stamps_[file]; }
    bool reachable() const { return reachable_; }

    // Looks at the folder now (also what every notification and poll does).
    void look();

  signals:
    // Sent for each file that changed in one look, once every file's new stamp is known.
    void fileChanged(quorix::FolderWatch::File file);
    void reachableChanged(bool reachable);

  private:
    void lookSoon();
    void lookAtPictures();
    void rewatch();

    QString folder_;
    QFileSystemWatcher watcher_;
    QTimer poll_;
    QTimer picturePoll_;
    QTimer soon_;
    PerFile<FileStamp> stamps_;
    FileStamp folderStamp_;
    bool reachable_ = false;
    bool started_ = false;
};

} // namespace quorix
