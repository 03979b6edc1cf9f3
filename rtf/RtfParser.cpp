#include "rtf/RtfParser.h"

#include "rtf/RtfReader.h"

#include <algorithm>

namespace quorix::rtf {

namespace {

// The list style of a \listlevel from its \levelnfc and its \leveltext (whose first
// character is the text's length, and whose bullet tells disc, circle and square apart).
QTextListFormat::Style levelStyle(LevelNumbering numbering, const QString &levelText)
{
    switch (numbering) {
    case LevelNumbering::Decimal:
        return QTextListFormat::ListDecimal;
    case LevelNumbering::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case LevelNumbering::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case LevelNumbering::UpperAlpha:
        return QTextListFormat::ListUpperAlpha;
    case LevelNumbering::LowerAlpha:
        return QTextListFormat::ListLowerAlpha;
    case LevelNumbering::None:
        return QTextListFormat::ListStyleUndefined;
    case LevelNumbering::Bullet: {
        const QChar bullet = levelText.size() > 1 ? levelText.at(1) : QChar();
        if (bullet == u'\u25E6' || bullet == u'o')
            return QTextListFormat::ListCircle;
        if (bullet == u'\u25AA' || bullet == u'\u25A0' || bullet == u'\uF0A7')
            return QTextListFormat::ListSquare;
        return QTextListFormat::ListDisc;
    }
    }
    return QTextListFormat::ListDecimal; // the numberings that the reader does not know
}

} // namespace

int RtfParser::codePage()
{
    const auto f = tables_.fonts.find(top().chars.font);
    if (f != tables_.fonts.end() && f->second.codePage > 0)
        return f->second.codePage;
    return ansiCodePage_;
}

void RtfParser::run()
{
    groups_.reserve(64);
    for (;;) {
        const Token t = tok_.next();
        if (t.kind != Token::Kind::Text && t.kind != Token::Kind::HexByte)
            flushBytes();
        switch (t.kind) {
        case Token::Kind::End:
            builder_.finish(para_, groups_.empty() ? CharState{} : top().chars);
            return;
        case Token::Kind::GroupStart:
            openGroup();
            break;
        case Token::Kind::GroupEnd:
            closeGroup();
            if (groups_.empty()) { // the document's closing brace: the rest is no RTF
                builder_.finish(para_, CharState{});
                return;
            }
            break;
        case Token::Kind::ControlWord:
            if (groups_.empty())
                break;
            if (skip_ > 0 && t.word != "u") {
                --skip_;
                break;
            }
            controlWord(t);
            break;
        case Token::Kind::ControlSymbol:
            if (groups_.empty())
                break;
            if (skip_ > 0) {
                --skip_;
                break;
            }
            controlSymbol(t.symbol);
            break;
        case Token::Kind::Text:
            if (!groups_.empty())
                text(t.data);
            break;
        case Token::Kind::HexByte:
            if (!groups_.empty())
                hexByte(t.byte);
            break;
        case Token::Kind::Binary:
            if (!groups_.empty())
                binary(t.data);
            break;
        }
    }
}

void RtfParser::openGroup()
{
    skip_ = 0;
    star_ = false;
    if (static_cast<int>(groups_.size()) >= RtfReader::kMaxDepth) {
        tok_.skipGroup();
        return;
    }
    Group g = groups_.empty() ? Group{} : top();
    g.owner = false;
    g.fresh = true;
    groups_.push_back(g);
}

void RtfParser::closeGroup()
{
    skip_ = 0;
    star_ = false;
    if (groups_.empty())
        return;
    const Group g = groups_.back();
    groups_.pop_back();
    if (g.owner)
        endDestination(g);
    else if (g.dest == Dest::FontTable && (!fontName_.isEmpty() || !fontText_.isEmpty()))
        endDestination(g); // a font entry group without its ";"
}

void RtfParser::enter(Dest dest)
{
    top().dest = dest;
    top().owner = true;
    switch (dest) {
    case Dest::Picture:
        pictureKind_ = PictureKind::None;
        pictureData_.clear();
        pictureNibble_ = -1;
        picW_ = picH_ = picWGoal_ = picHGoal_ = 0;
        scaleX_ = scaleY_ = kFullScale;
        break;
    case Dest::List:
        listId_ = 0;
        listLevels_.clear();
        break;
    case Dest::ListLevel:
        levelNumbering_ = LevelNumbering::Decimal;
        levelText_.clear();
        break;
    case Dest::ListOverride:
        overrideListId_ = 0;
        overrideIndex_ = 0;
        break;
    case Dest::FontTable:
        fontIndex_ = -1;
        fontName_.clear();
        fontText_.clear();
        break;
    case Dest::ColourTable:
        red_ = green_ = blue_ = -1;
        break;
    default:
        break;
    }
}

void RtfParser::endDestination(const Group &g)
{
    switch (g.dest) {
    case Dest::Picture:
        finishPicture();
        break;
    case Dest::ListLevel:
        if (listLevels_.size() < kListLevels)
            listLevels_.push_back(levelStyle(levelNumbering_, levelText_));
        break;
    case Dest::List:
        if (tables_.lists.size() < kMaxTableEntries)
            tables_.lists[listId_] = listLevels_;
        break;
    case Dest::ListOverride:
        if (overrideIndex_ != 0 && tables_.listOverrides.size() < kMaxTableEntries)
            tables_.listOverrides[overrideIndex_] = overrideListId_;
        break;
    case Dest::FontTable:
        commitFont();
        break;
    default:
        break;
    }
}

namespace {

// Bytes of fallback that \uc may ask for.
constexpr int kMaxFallbackBytes = 16;

// The destinations whose words are those of the text.
bool isText(Dest dest)
{
    return dest == Dest::Normal || dest == Dest::Ignore;
}

// Whether a word of the scope acts in the destination.
bool actsIn(WordScope scope, Dest dest)
{
    switch (scope) {
    case WordScope::Anywhere:
        return true;
    case WordScope::Text:
        return isText(dest);
    case WordScope::FontTable:
        return dest == Dest::FontTable;
    case WordScope::ColourTable:
        return dest == Dest::ColourTable;
    case WordScope::Picture:
        return dest == Dest::Picture;
    case WordScope::Numbering:
        return dest == Dest::Numbering;
    case WordScope::ListLevel:
        return dest == Dest::ListLevel;
    }
    return false;
}

} // namespace

void RtfParser::controlWord(const Token &t)
{
    const Keyword &k = keyword(t.word);
    Group &g = top();
    const ControlWord word{t.param, t.hasParam, star_};
    star_ = false;
    if (actsIn(k.scope, g.dest))
        (this->*k.handler)(g, word);
}

// A destination is skipped only at the start of a group below the document's own.
void RtfParser::skipDestination(Group &g, const ControlWord &)
{
    if (g.fresh && groups_.size() > 1) {
        tok_.skipGroup();
        groups_.pop_back();
    }
}

// A \* destination that the reader does not know is skipped; other unknown words are not.
void RtfParser::unknownWord(Group &g, const ControlWord &w)
{
    if (w.starred)
        skipDestination(g, w);
}

void RtfParser::enterNumbering(Group &, const ControlWord &)
{
    para_.pnKind = PnKind::Body;
    para_.pnLevel = 1;
    para_.pnStyle = QTextListFormat::ListDecimal;
    enter(Dest::Numbering);
}

// \leveltext opens its destination only at the start of a group inside a \listlevel; a
// starred one is skipped like any \* destination the reader does not know.
void RtfParser::enterLevelText(Group &g, const ControlWord &w)
{
    if (w.starred)
        skipDestination(g, w);
    else if (g.dest == Dest::ListLevel && g.fresh)
        enter(Dest::LevelText);
}

// \f starts an entry in the font table and chooses a font in the text.
void RtfParser::fontNumber(Group &g, const ControlWord &w)
{
    if (g.dest == Dest::FontTable) {
        fontIndex_ = w.param;
        fontCodePage_ = 0;
        fontName_.clear();
        fontText_.clear();
    } else if (isText(g.dest)) {
        g.chars.font = w.param;
    }
}

// \uc counts in the font table and the text.
void RtfParser::unicodeSkip(Group &g, const ControlWord &w)
{
    if (g.dest == Dest::FontTable || isText(g.dest))
        g.uc = std::clamp(w.param, 0, kMaxFallbackBytes);
}

// \u gives a character as a signed 16-bit number: its low 16 bits are the UTF-16 unit.
void RtfParser::unicodeChar(Group &g, const ControlWord &w)
{
    const auto c = static_cast<char16_t>(static_cast<unsigned>(w.param) & 0xFFFF);
    switch (g.dest) {
    case Dest::FontTable:
        // A name outside the font's code page: the bytes so far are decoded in that code
        // page, the character joins them, its fallback is skipped.
        decodeFontBytes();
        if (fontText_.size() < kMaxFontName)
            fontText_.append(QChar(c));
        break;
    case Dest::LevelText:
        levelText_.append(QChar(c));
        break;
    case Dest::Normal:
    case Dest::Ignore:
        appendChar(c);
        break;
    default:
        return;
    }
    skip_ = g.uc;
}

// \listid names the list in the list table and the list that an override stands for.
void RtfParser::listId(Group &g, const ControlWord &w)
{
    if (g.dest == Dest::List)
        listId_ = w.param;
    else if (g.dest == Dest::ListOverride)
        overrideListId_ = w.param;
}

// \ls numbers an override in its table and chooses one for a paragraph in the text.
void RtfParser::listOverrideIndex(Group &g, const ControlWord &w)
{
    if (g.dest == Dest::ListOverride)
        overrideIndex_ = w.param;
    else if (isText(g.dest))
        para_.listOverride = std::max(w.param, 0);
}

} // namespace quorix::rtf
