#pragma once
// The colour chooser's 16 custom colour values (A to P) and their stored text: one line per
// slot, "Color" + slot letter + "=" + the 0x00BBGGRR value in upper-case hexadecimal of at
// least six digits, an empty slot as FFFFFFFF, each line followed by CR LF. The text is kept
// under QSettings("Ombrak", "Quorix"), key "CustomColors".
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace quorix {

constexpr int kCustomColourSlots = 16;
constexpr std::int64_t kEmptySlot = -1;

// Slot values: 0x00BBGGRR, or kEmptySlot.
using CustomColourSlots = std::array<std::int64_t, kCustomColourSlots>;

// A slot whose line is missing, empty or not a hexadecimal number is empty.
CustomColourSlots parseCustomColours(const QStringList &lines);
QStringList formatCustomColours(const CustomColourSlots &values);

// The stored text: every line followed by CR LF; an empty list is an empty text.
QString customColoursText(const QStringList &lines);
QStringList customColoursLines(const QString &text);

// Replaces `lines` with the stored text when a value is stored; false when there is none.
bool readCustomColours(QStringList &lines);
// Stores the text; false when the settings could not be written.
bool writeCustomColours(const QStringList &lines);

} // namespace quorix
