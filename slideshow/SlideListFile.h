#pragma once
// Slide-list files (*.obl): the slide-list lines as a line file, each line followed by
// CR LF, in the locale's 8-bit encoding. Line 0 is the loop flag, line 1 the duration in
// seconds, every further line the full path of one slide.
#include <QString>
#include <QStringList>

namespace quorix {

// The index of the first slide among the slide-list lines, after the loop flag and the
// duration.
constexpr int kFirstSlideLine = 2;

constexpr int kMinSetupDuration = 1;
constexpr int kMaxSetupDuration = 100;

// Throw FileError when the file cannot be written or read.
void saveSlideList(const QString &path, const QStringList &lines);
QStringList readSlideList(const QString &path);

// The loop flag of the lines: only an exact "1" ticks it.
bool slideListLoops(const QStringList &lines);

// The duration line as a whole number of seconds within 1 to 100. Throws
// std::invalid_argument when the line is not a decimal integer.
int slideListDuration(const QString &line);

} // namespace quorix
