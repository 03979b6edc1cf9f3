#pragma once
// The RTF control words that the reader acts on, looked up by name.
#include <string_view>

namespace quorix::rtf {

enum class Kw
{
    Unknown,
    // destinations skipped with all they contain
    SkipDestination,
    // destinations the reader enters
    FontTable,
    ColorTable,
    Pict,
    ShpPict,
    Pn,
    ListTable,
    List,
    ListLevel,
    ListOverrideTable,
    ListOverride,
    Upr,
    Ud,
    FieldResult,
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    DefaultFont,
    Uc,
    U,
    // font and colour tables
    FontCharset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // character formats
    Plain,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Foreground,
    Background,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Down,
    Hidden,
    // paragraph formats
    Pard,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    ListOverrideIndex,
    ListLevelIndex,
    // breaks and special characters
    Par,
    Line,
    Tab,
    Cell,
    LQuote,
    RQuote,
    LDblQuote,
    RDblQuote,
    Bullet,
    EnDash,
    EmDash,
    EnSpace,
    EmSpace,
    QmSpace,
    Zwj,
    Zwnj,
    LtrMark,
    RtlMark,
    // pictures
    PngBlip,
    JpegBlip,
    OtherBlip,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    // old-style numbering
    PnLvlBlt,
    PnLvlBody,
    PnLvl,
    PnLvlCont,
    PnDec,
    PnUcLtr,
    PnLcLtr,
    PnUcRm,
    PnLcRm,
    // list table
    ListId,
    LevelNfc,
};

Kw keyword(std::string_view word);

} // namespace quorix::rtf
