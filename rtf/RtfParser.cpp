#include "rtf/RtfParser.h"

#include "rtf/RtfCodePages.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfReader.h"

#include <algorithm>

namespace quorix::rtf {

namespace {

// The list style of a \listlevel from its \levelnfc and its \leveltext (whose first
// character is the text's length, and whose bullet tells disc, circle and square apart).
QTextListFormat::Style levelStyle(int nfc, const QString &levelText)
{
    switch (nfc) {
    case 0:
        return QTextListFormat::ListDecimal;
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    case 255:
        return QTextListFormat::ListStyleUndefined;
    case 23: {
        const QChar bullet = levelText.size() > 1 ? levelText.at(1) : QChar();
        if (bullet == u'\u25E6' || bullet == u'o')
            return QTextListFormat::ListCircle;
        if (bullet == u'\u25AA' || bullet == u'\u25A0' || bullet == u'\uF0A7')
            return QTextListFormat::ListSquare;
        return QTextListFormat::ListDisc;
    }
    default:
        return QTextListFormat::ListDecimal;
    }
}

} // namespace

int RtfParser::codePage()
{
    const auto f = m_tables.fonts.find(top().chars.font);
    if (f != m_tables.fonts.end() && f->second.codePage > 0)
        return f->second.codePage;
    return m_ansiCodePage;
}

void RtfParser::run()
{
    m_groups.reserve(64);
    for (;;) {
        const Token t = m_tok.next();
        if (t.kind != Token::Text && t.kind != Token::HexByte)
            flushBytes();
        switch (t.kind) {
        case Token::End:
            m_builder.finish(m_para, m_groups.empty() ? CharState{} : top().chars);
            return;
        case Token::GroupStart:
            openGroup();
            break;
        case Token::GroupEnd:
            closeGroup();
            if (m_groups.empty()) { // the document's closing brace: the rest is no RTF
                m_builder.finish(m_para, CharState{});
                return;
            }
            break;
        case Token::ControlWord:
            if (m_groups.empty())
                break;
            if (m_skip > 0 && t.word != "u") {
                --m_skip;
                break;
            }
            controlWord(t);
            break;
        case Token::ControlSymbol:
            if (m_groups.empty())
                break;
            if (m_skip > 0) {
                --m_skip;
                break;
            }
            controlSymbol(t.symbol);
            break;
        case Token::Text:
            if (!m_groups.empty())
                text(t.data);
            break;
        case Token::HexByte:
            if (!m_groups.empty())
                hexByte(t.byte);
            break;
        case Token::Binary:
            if (!m_groups.empty())
                binary(t.data);
            break;
        }
    }
}

void RtfParser::openGroup()
{
    m_skip = 0;
    m_star = false;
    if (static_cast<int>(m_groups.size()) >= RtfReader::kMaxDepth) {
        m_tok.skipGroup();
        return;
    }
    Group g = m_groups.empty() ? Group{} : top();
    g.owner = false;
    g.fresh = true;
    m_groups.push_back(g);
}

void RtfParser::closeGroup()
{
    m_skip = 0;
    m_star = false;
    if (m_groups.empty())
        return;
    const Group g = m_groups.back();
    m_groups.pop_back();
    if (g.owner)
        endDestination(g);
    else if (g.dest == Dest::FontTable && (!m_fontName.isEmpty() || !m_fontText.isEmpty()))
        endDestination(g); // a font entry group without its ";"
}

void RtfParser::enter(Dest dest)
{
    top().dest = dest;
    top().owner = true;
    switch (dest) {
    case Dest::Pict:
        m_pictKind = PictKind::None;
        m_pictData.clear();
        m_pictNibble = -1;
        m_picW = m_picH = m_picWGoal = m_picHGoal = 0;
        m_scaleX = m_scaleY = 100;
        break;
    case Dest::List:
        m_listId = 0;
        m_listLevels.clear();
        break;
    case Dest::ListLevel:
        m_levelNfc = 0;
        m_levelText.clear();
        break;
    case Dest::ListOverride:
        m_overrideListId = 0;
        m_overrideIndex = 0;
        break;
    case Dest::FontTable:
        m_fontIndex = -1;
        m_fontName.clear();
        m_fontText.clear();
        break;
    case Dest::ColorTable:
        m_red = m_green = m_blue = -1;
        break;
    default:
        break;
    }
}

void RtfParser::endDestination(const Group &g)
{
    switch (g.dest) {
    case Dest::Pict:
        finishPicture();
        break;
    case Dest::ListLevel:
        if (m_listLevels.size() < 9)
            m_listLevels.push_back(levelStyle(m_levelNfc, m_levelText));
        break;
    case Dest::List:
        if (m_tables.lists.size() < kMaxTableEntries)
            m_tables.lists[m_listId] = m_listLevels;
        break;
    case Dest::ListOverride:
        if (m_overrideIndex != 0 && m_tables.listOverrides.size() < kMaxTableEntries)
            m_tables.listOverrides[m_overrideIndex] = m_overrideListId;
        break;
    case Dest::FontTable:
        commitFont();
        break;
    default:
        break;
    }
}

void RtfParser::controlWord(const Token &t)
{
    Group &g = top();
    const Kw kw = keyword(t.word);
    const bool star = m_star;
    m_star = false;
    const int p = t.param;
    const bool on = !t.hasParam || p != 0;

    // Destinations: only at the start of a group below the document's own.
    if (kw == Kw::SkipDestination || (star && kw == Kw::Unknown)) {
        if (g.fresh && m_groups.size() > 1) {
            m_tok.skipGroup();
            m_groups.pop_back();
        }
        return;
    }
    switch (kw) {
    case Kw::FontTable:
        enter(Dest::FontTable);
        return;
    case Kw::ColorTable:
        enter(Dest::ColorTable);
        return;
    case Kw::Pict:
        enter(Dest::Pict);
        return;
    case Kw::ShpPict:
        g.dest = Dest::Normal;
        return;
    case Kw::Pn:
        m_para.pnKind = PnKind::Body;
        m_para.pnLevel = 1;
        m_para.pnStyle = QTextListFormat::ListDecimal;
        enter(Dest::Pn);
        return;
    case Kw::ListTable:
        enter(Dest::ListTable);
        return;
    case Kw::List:
        if (g.dest == Dest::ListTable)
            enter(Dest::List);
        return;
    case Kw::ListLevel:
        if (g.dest == Dest::List)
            enter(Dest::ListLevel);
        return;
    case Kw::ListOverrideTable:
        enter(Dest::ListOverrideTable);
        return;
    case Kw::ListOverride:
        if (g.dest == Dest::ListOverrideTable)
            enter(Dest::ListOverride);
        return;
    case Kw::Upr:
        g.dest = Dest::Ignore;
        return;
    case Kw::Ud:
        g.dest = Dest::Normal;
        return;
    case Kw::FieldResult:
        g.dest = Dest::Normal;
        return;
    default:
        break;
    }

    switch (g.dest) {
    case Dest::FontTable:
        switch (kw) {
        case Kw::Font:
            m_fontIndex = p;
            m_fontCodePage = 0;
            m_fontName.clear();
            m_fontText.clear();
            break;
        case Kw::FontCharset:
            m_fontCodePage = codePageForCharset(p);
            break;
        case Kw::FontCodePage:
            m_fontCodePage = p;
            break;
        case Kw::Uc:
            g.uc = std::clamp(p, 0, 16);
            break;
        case Kw::U:
            // A name outside the font's code page: the bytes so far are decoded in that
            // code page, the character joins them, its fallback is skipped.
            decodeFontBytes();
            if (m_fontText.size() < kMaxFontName)
                m_fontText.append(QChar(static_cast<char16_t>(static_cast<unsigned>(p) & 0xFFFF)));
            m_skip = g.uc;
            break;
        default:
            break;
        }
        return;
    case Dest::ColorTable:
        switch (kw) {
        case Kw::Red:
            m_red = std::clamp(p, 0, 255);
            break;
        case Kw::Green:
            m_green = std::clamp(p, 0, 255);
            break;
        case Kw::Blue:
            m_blue = std::clamp(p, 0, 255);
            break;
        default:
            break;
        }
        return;
    case Dest::Pict:
        switch (kw) {
        case Kw::PngBlip:
            m_pictKind = PictKind::Png;
            break;
        case Kw::JpegBlip:
            m_pictKind = PictKind::Jpeg;
            break;
        case Kw::OtherBlip:
            m_pictKind = PictKind::Other;
            break;
        case Kw::PicW:
            m_picW = p;
            break;
        case Kw::PicH:
            m_picH = p;
            break;
        case Kw::PicWGoal:
            m_picWGoal = p;
            break;
        case Kw::PicHGoal:
            m_picHGoal = p;
            break;
        case Kw::PicScaleX:
            m_scaleX = p;
            break;
        case Kw::PicScaleY:
            m_scaleY = p;
            break;
        default:
            break;
        }
        return;
    case Dest::Pn:
        switch (kw) {
        case Kw::PnLvlBlt:
            m_para.pnKind = PnKind::Bullet;
            break;
        case Kw::PnLvlBody:
            m_para.pnKind = PnKind::Body;
            break;
        case Kw::PnLvl:
            m_para.pnKind = PnKind::Level;
            m_para.pnLevel = std::clamp(p, 1, 9);
            break;
        case Kw::PnLvlCont:
            m_para.pnKind = PnKind::Continue;
            break;
        case Kw::PnDec:
            m_para.pnStyle = QTextListFormat::ListDecimal;
            break;
        case Kw::PnUcLtr:
            m_para.pnStyle = QTextListFormat::ListUpperAlpha;
            break;
        case Kw::PnLcLtr:
            m_para.pnStyle = QTextListFormat::ListLowerAlpha;
            break;
        case Kw::PnUcRm:
            m_para.pnStyle = QTextListFormat::ListUpperRoman;
            break;
        case Kw::PnLcRm:
            m_para.pnStyle = QTextListFormat::ListLowerRoman;
            break;
        default:
            break;
        }
        return;
    case Dest::List:
        if (kw == Kw::ListId)
            m_listId = p;
        return;
    case Dest::ListLevel:
        if (kw == Kw::LevelNfc)
            m_levelNfc = p;
        else if (t.word == "leveltext" && g.fresh)
            enter(Dest::LevelText);
        return;
    case Dest::LevelText:
        if (kw == Kw::U) {
            m_levelText.append(QChar(static_cast<char16_t>(static_cast<unsigned>(p) & 0xFFFF)));
            m_skip = g.uc;
        }
        return;
    case Dest::ListOverride:
        if (kw == Kw::ListId)
            m_overrideListId = p;
        else if (kw == Kw::ListOverrideIndex)
            m_overrideIndex = p;
        return;
    case Dest::ListTable:
    case Dest::ListOverrideTable:
        return;
    case Dest::Normal:
    case Dest::Ignore:
        break;
    }

    CharState &c = g.chars;
    switch (kw) {
    case Kw::Ansi:
        m_ansiCodePage = 1252;
        break;
    case Kw::Mac:
        m_ansiCodePage = 10000;
        break;
    case Kw::Pc:
        m_ansiCodePage = 437;
        break;
    case Kw::Pca:
        m_ansiCodePage = 850;
        break;
    case Kw::AnsiCpg:
        if (p > 0)
            m_ansiCodePage = p;
        break;
    case Kw::DefaultFont:
        m_defaultFont = p;
        c.font = p;
        break;
    case Kw::Uc:
        g.uc = std::clamp(p, 0, 16);
        break;
    case Kw::U:
        appendChar(static_cast<char16_t>(static_cast<unsigned>(p) & 0xFFFF));
        m_skip = g.uc;
        break;
    case Kw::Plain:
        c = CharState{};
        c.font = m_defaultFont;
        break;
    case Kw::Font:
        c.font = p;
        break;
    case Kw::FontSize:
        c.halfPoints = (t.hasParam && p > 0) ? std::min(p, 3276) : 24;
        break;
    case Kw::Bold:
        c.bold = on;
        break;
    case Kw::Italic:
        c.italic = on;
        break;
    case Kw::Underline:
        c.underline = on;
        break;
    case Kw::UnderlineNone:
        c.underline = false;
        break;
    case Kw::Strike:
        c.strike = on;
        break;
    case Kw::Foreground:
        c.foreground = std::max(p, 0);
        break;
    case Kw::Background:
        c.background = std::max(p, 0);
        break;
    case Kw::Super:
        c.vertical = 1;
        break;
    case Kw::Sub:
        c.vertical = 2;
        break;
    case Kw::NoSuperSub:
        c.vertical = 0;
        break;
    case Kw::Up:
        c.vertical = (t.hasParam && p == 0) ? 0 : 1;
        break;
    case Kw::Down:
        c.vertical = (t.hasParam && p == 0) ? 0 : 2;
        break;
    case Kw::Hidden:
        c.hidden = on;
        break;
    case Kw::Pard:
        m_para = ParaState{};
        break;
    case Kw::AlignLeft:
        m_para.alignment = 0;
        break;
    case Kw::AlignRight:
        m_para.alignment = 1;
        break;
    case Kw::AlignCenter:
        m_para.alignment = 2;
        break;
    case Kw::AlignJustify:
        m_para.alignment = 3;
        break;
    case Kw::LeftIndent:
        m_para.leftIndent = std::clamp(p, -31680, 31680);
        break;
    case Kw::RightIndent:
        m_para.rightIndent = std::clamp(p, -31680, 31680);
        break;
    case Kw::FirstIndent:
        m_para.firstIndent = std::clamp(p, -31680, 31680);
        break;
    case Kw::SpaceBefore:
        m_para.spaceBefore = std::clamp(p, 0, 31680);
        break;
    case Kw::SpaceAfter:
        m_para.spaceAfter = std::clamp(p, 0, 31680);
        break;
    case Kw::LineSpacing:
        m_para.lineSpacing = std::clamp(p, -31680, 31680);
        break;
    case Kw::LineMultiple:
        m_para.lineMultiple = on;
        break;
    case Kw::ListOverrideIndex:
        m_para.listOverride = std::max(p, 0);
        break;
    case Kw::ListLevelIndex:
        m_para.listLevel = std::clamp(p, 0, 8);
        break;
    case Kw::Par:
        if (g.dest == Dest::Normal)
            m_builder.endParagraph(m_para, c);
        break;
    case Kw::Line:
        appendChar(QChar::LineSeparator);
        break;
    case Kw::Tab:
        appendChar(u'\t');
        break;
    case Kw::Cell:
        appendChar(u'\t');
        break;
    case Kw::LQuote:
        appendChar(u'\u2018');
        break;
    case Kw::RQuote:
        appendChar(u'\u2019');
        break;
    case Kw::LDblQuote:
        appendChar(u'\u201C');
        break;
    case Kw::RDblQuote:
        appendChar(u'\u201D');
        break;
    case Kw::Bullet:
        appendChar(u'\u2022');
        break;
    case Kw::EnDash:
        appendChar(u'\u2013');
        break;
    case Kw::EmDash:
        appendChar(u'\u2014');
        break;
    case Kw::EnSpace:
        appendChar(u'\u2002');
        break;
    case Kw::EmSpace:
        appendChar(u'\u2003');
        break;
    case Kw::QmSpace:
        appendChar(u'\u2005');
        break;
    case Kw::Zwj:
        appendChar(u'\u200D');
        break;
    case Kw::Zwnj:
        appendChar(u'\u200C');
        break;
    case Kw::LtrMark:
        appendChar(u'\u200E');
        break;
    case Kw::RtlMark:
        appendChar(u'\u200F');
        break;
    default:
        break;
    }
}

} // namespace quorix::rtf
