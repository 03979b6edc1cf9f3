#pragma once
// Format values that the RTF reader and writer share: a document written and read back
// keeps its look only while both sides give them the same meaning.

namespace quorix::rtf {

// Font sizes are counted in half points (\fs): 12 pt when a document names none, and at
// most the largest size that a word processor offers.
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 3276;

// List levels that a list can have (\ilvl 0 to 8, \pnlvl 1 to 9).
constexpr int kListLevels = 9;

// Raised or lowered text (\super, \sub, \nosupersub).
enum class VerticalPosition
{
    Normal,
    Superscript,
    Subscript
};

// The numbering of a list level as RTF numbers it (\levelnfc).
enum class LevelNumbering : int
{
    Decimal = 0,
    UpperRoman = 1,
    LowerRoman = 2,
    UpperAlpha = 3,
    LowerAlpha = 4,
    Bullet = 23,
    None = 255
};

} // namespace quorix::rtf
