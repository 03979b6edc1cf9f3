#pragma once
// What the status strip says about sending: one text at a time, chosen from the problems
// that stand now. Each has its owner, who reports and clears it:
//   - the source: the captured window is gone, the desktop's consent is awaited, the
//     desktop stopped sharing;
//   - the folder: no shared folder, nothing to send yet;
//   - the writes: the folder is full, read-only, cannot be reached, or a viewer holds the
//     picture open.
// A write that went through settles the folder's and the writes' problems that were
// reported before it was asked: a late success of an older write never clears a newer
// problem, and no write clears the source's.
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

namespace quorix {

class StatusProblems : public QObject
{
    Q_OBJECT

  public:
    // In the order they are shown: the first that stands is the text.
    enum class Topic
    {
        Source,
        Folder,
        Write,
    };

    using QObject::QObject;

    // Reports a problem of `topic` (a newer one replaces an older one of the same
    // topic); a write numbered `settledBy` or later settles it.
    void report(Topic topic, const QString &text, std::uint64_t settledBy = 0);
    void clear(Topic topic);
    // The write numbered `number` went through.
    void writeSucceeded(std::uint64_t number);

    bool has(Topic topic) const { return !problems_[index(topic)].text.isEmpty(); }
    // The text shown: empty when nothing stands.
    QString text() const;

  signals:
    // The text shown changed (empty: no problem is left).
    void changed(const QString &text);

  private:
    struct Problem
    {
        QString text;
        std::uint64_t settledBy = 0;
    };
    static std::size_t index(Topic topic) { return std::size_t(topic); }
    void update();

    std::array<Problem, 3> problems_;
    QString shown_;
};

} // namespace quorix
