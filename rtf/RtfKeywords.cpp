// The control words that the reader knows, and the handlers of the words that act in one
// destination (most of them templates that take the flag, measure, character or kind they
// set from the table). Words that act in several destinations are handled in RtfParser.cpp.
#include "rtf/RtfKeywords.h"

#include "rtf/RtfParser.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace quorix::rtf {

namespace {

// Indents and spacing are kept within 22 inches either way.
constexpr int kMaxTwips = 31680;
// Colour components of \red, \green and \blue.
constexpr int kMaxComponent = 255;

} // namespace

// Destinations.

template <Dest D> void RtfParser::enterDestination(Group &, const ControlWord &)
{
    enter(D);
}

// A part of a list table counts only inside its own table.
template <Dest D, Dest Parent> void RtfParser::enterListPart(Group &g, const ControlWord &)
{
    if (g.dest == Parent)
        enter(D);
}

// The group goes on in another destination, without ending one of its own when it closes.
template <Dest D> void RtfParser::switchDestination(Group &g, const ControlWord &)
{
    g.dest = D;
}

// The document and its text.

template <int CodePage> void RtfParser::documentCodePage(Group &, const ControlWord &)
{
    ansiCodePage_ = CodePage;
}

void RtfParser::ansiCodePage(Group &, const ControlWord &w)
{
    if (w.param > 0)
        ansiCodePage_ = w.param;
}

void RtfParser::defaultFont(Group &g, const ControlWord &w)
{
    defaultFont_ = w.param;
    g.chars.font = w.param;
}

void RtfParser::plain(Group &g, const ControlWord &)
{
    g.chars = CharState{};
    g.chars.font = defaultFont_;
}

void RtfParser::fontSize(Group &g, const ControlWord &w)
{
    g.chars.halfPoints =
        (w.hasParam && w.param > 0) ? std::min(w.param, kMaxHalfPoints) : kDefaultHalfPoints;
}

template <bool CharState::*Flag> void RtfParser::characterFlag(Group &g, const ControlWord &w)
{
    g.chars.*Flag = w.on();
}

void RtfParser::underlineNone(Group &g, const ControlWord &)
{
    g.chars.underline = false;
}

template <int CharState::*Index> void RtfParser::colourIndex(Group &g, const ControlWord &w)
{
    g.chars.*Index = std::max(w.param, 0);
}

template <VerticalPosition V> void RtfParser::verticalPosition(Group &g, const ControlWord &)
{
    g.chars.vertical = V;
}

// \up and \dn: raised or lowered, back to normal with a parameter of 0.
template <VerticalPosition V> void RtfParser::raise(Group &g, const ControlWord &w)
{
    g.chars.vertical = (w.hasParam && w.param == 0) ? VerticalPosition::Normal : V;
}

void RtfParser::paragraphDefaults(Group &, const ControlWord &)
{
    para_ = ParaState{};
}

template <Alignment A> void RtfParser::alignment(Group &, const ControlWord &)
{
    para_.alignment = A;
}

template <int ParaState::*Measure, int Min>
void RtfParser::paragraphMeasure(Group &, const ControlWord &w)
{
    para_.*Measure = std::clamp(w.param, Min, kMaxTwips);
}

void RtfParser::lineMultiple(Group &, const ControlWord &w)
{
    para_.lineMultiple = w.on();
}

void RtfParser::listLevelIndex(Group &, const ControlWord &w)
{
    para_.listLevel = std::clamp(w.param, 0, kListLevels - 1);
}

void RtfParser::paragraphEnd(Group &g, const ControlWord &)
{
    if (g.dest == Dest::Normal)
        builder_.endParagraph(para_, g.chars);
}

template <char16_t C> void RtfParser::character(Group &, const ControlWord &)
{
    appendChar(C);
}

// The tables and pictures.

void RtfParser::fontCharset(Group &, const ControlWord &w)
{
    fontCodePage_ = codePageForCharset(w.param);
}

void RtfParser::fontCodePage(Group &, const ControlWord &w)
{
    fontCodePage_ = w.param;
}

template <int RtfParser::*Component> void RtfParser::colourComponent(Group &, const ControlWord &w)
{
    this->*Component = std::clamp(w.param, 0, kMaxComponent);
}

template <PictureKind K> void RtfParser::pictureKind(Group &, const ControlWord &)
{
    pictureKind_ = K;
}

template <int RtfParser::*Measure> void RtfParser::pictureMeasure(Group &, const ControlWord &w)
{
    this->*Measure = w.param;
}

template <PnKind K> void RtfParser::numberingKind(Group &, const ControlWord &)
{
    para_.pnKind = K;
}

void RtfParser::numberingLevel(Group &, const ControlWord &w)
{
    para_.pnKind = PnKind::Level;
    para_.pnLevel = std::clamp(w.param, 1, kListLevels);
}

template <QTextListFormat::Style S> void RtfParser::numberingStyle(Group &, const ControlWord &)
{
    para_.pnStyle = S;
}

void RtfParser::levelNumbering(Group &, const ControlWord &w)
{
    levelNumbering_ = static_cast<LevelNumbering>(w.param);
}

using P = RtfParser;

const Keyword RtfParser::kKeywords[] = {
    // Destinations whose content is no part of the text.
    {"stylesheet", WordScope::Anywhere, &P::skipDestination},
    {"info", WordScope::Anywhere, &P::skipDestination},
    {"header", WordScope::Anywhere, &P::skipDestination},
    {"headerl", WordScope::Anywhere, &P::skipDestination},
    {"headerr", WordScope::Anywhere, &P::skipDestination},
    {"headerf", WordScope::Anywhere, &P::skipDestination},
    {"footer", WordScope::Anywhere, &P::skipDestination},
    {"footerl", WordScope::Anywhere, &P::skipDestination},
    {"footerr", WordScope::Anywhere, &P::skipDestination},
    {"footerf", WordScope::Anywhere, &P::skipDestination},
    {"footnote", WordScope::Anywhere, &P::skipDestination},
    {"annotation", WordScope::Anywhere, &P::skipDestination},
    {"pntext", WordScope::Anywhere, &P::skipDestination},
    {"pntxta", WordScope::Anywhere, &P::skipDestination},
    {"pntxtb", WordScope::Anywhere, &P::skipDestination},
    {"listtext", WordScope::Anywhere, &P::skipDestination},
    {"fldinst", WordScope::Anywhere, &P::skipDestination},
    {"xe", WordScope::Anywhere, &P::skipDestination},
    {"tc", WordScope::Anywhere, &P::skipDestination},
    {"txe", WordScope::Anywhere, &P::skipDestination},
    {"ftnsep", WordScope::Anywhere, &P::skipDestination},
    {"ftnsepc", WordScope::Anywhere, &P::skipDestination},
    {"ftncn", WordScope::Anywhere, &P::skipDestination},
    {"aftnsep", WordScope::Anywhere, &P::skipDestination},
    {"aftnsepc", WordScope::Anywhere, &P::skipDestination},
    {"aftncn", WordScope::Anywhere, &P::skipDestination},
    {"nonshppict", WordScope::Anywhere, &P::skipDestination},
    {"revtbl", WordScope::Anywhere, &P::skipDestination},
    {"filetbl", WordScope::Anywhere, &P::skipDestination},
    {"rsidtbl", WordScope::Anywhere, &P::skipDestination},
    {"objdata", WordScope::Anywhere, &P::skipDestination},
    {"objclass", WordScope::Anywhere, &P::skipDestination},
    {"objname", WordScope::Anywhere, &P::skipDestination},
    {"levelnumbers", WordScope::Anywhere, &P::skipDestination},
    {"listname", WordScope::Anywhere, &P::skipDestination},
    {"pnseclvl", WordScope::Anywhere, &P::skipDestination},
    {"template", WordScope::Anywhere, &P::skipDestination},
    {"bkmkstart", WordScope::Anywhere, &P::skipDestination},
    {"bkmkend", WordScope::Anywhere, &P::skipDestination},
    {"title", WordScope::Anywhere, &P::skipDestination},
    {"author", WordScope::Anywhere, &P::skipDestination},
    {"operator", WordScope::Anywhere, &P::skipDestination},
    {"keywords", WordScope::Anywhere, &P::skipDestination},
    {"subject", WordScope::Anywhere, &P::skipDestination},
    {"doccomm", WordScope::Anywhere, &P::skipDestination},
    {"comment", WordScope::Anywhere, &P::skipDestination},
    {"buptim", WordScope::Anywhere, &P::skipDestination},
    {"creatim", WordScope::Anywhere, &P::skipDestination},
    {"printim", WordScope::Anywhere, &P::skipDestination},
    {"revtim", WordScope::Anywhere, &P::skipDestination},
    {"shpinst", WordScope::Anywhere, &P::skipDestination},
    {"do", WordScope::Anywhere, &P::skipDestination},
    {"generator", WordScope::Anywhere, &P::skipDestination},
    {"themedata", WordScope::Anywhere, &P::skipDestination},
    {"colorschememapping", WordScope::Anywhere, &P::skipDestination},
    {"datastore", WordScope::Anywhere, &P::skipDestination},
    {"latentstyles", WordScope::Anywhere, &P::skipDestination},
    {"xmlnstbl", WordScope::Anywhere, &P::skipDestination},
    {"pgdsctbl", WordScope::Anywhere, &P::skipDestination},
    {"picprop", WordScope::Anywhere, &P::skipDestination},
    {"blipuid", WordScope::Anywhere, &P::skipDestination},
    {"falt", WordScope::Anywhere, &P::skipDestination},
    {"panose", WordScope::Anywhere, &P::skipDestination},
    {"fname", WordScope::Anywhere, &P::skipDestination},
    {"atnid", WordScope::Anywhere, &P::skipDestination},
    {"atnauthor", WordScope::Anywhere, &P::skipDestination},
    {"atndate", WordScope::Anywhere, &P::skipDestination},
    {"atnref", WordScope::Anywhere, &P::skipDestination},
    {"private", WordScope::Anywhere, &P::skipDestination},
    {"userprops", WordScope::Anywhere, &P::skipDestination},
    {"listpicture", WordScope::Anywhere, &P::skipDestination},
    {"mmathPr", WordScope::Anywhere, &P::skipDestination},
    {"wgrffmtfilter", WordScope::Anywhere, &P::skipDestination},
    {"ftnalt", WordScope::Anywhere, &P::skipDestination},
    {"nesttableprops", WordScope::Anywhere, &P::skipDestination},
    // Destinations the reader enters, and words that mean something in several.
    {"fonttbl", WordScope::Anywhere, &P::enterDestination<Dest::FontTable>},
    {"colortbl", WordScope::Anywhere, &P::enterDestination<Dest::ColourTable>},
    {"pict", WordScope::Anywhere, &P::enterDestination<Dest::Picture>},
    {"shppict", WordScope::Anywhere, &P::switchDestination<Dest::Normal>},
    {"pn", WordScope::Anywhere, &P::enterNumbering},
    {"listtable", WordScope::Anywhere, &P::enterDestination<Dest::ListTable>},
    {"list", WordScope::Anywhere, &P::enterListPart<Dest::List, Dest::ListTable>},
    {"listlevel", WordScope::Anywhere, &P::enterListPart<Dest::ListLevel, Dest::List>},
    {"leveltext", WordScope::Anywhere, &P::enterLevelText},
    {"listoverridetable", WordScope::Anywhere, &P::enterDestination<Dest::ListOverrideTable>},
    {"listoverride", WordScope::Anywhere,
     &P::enterListPart<Dest::ListOverride, Dest::ListOverrideTable>},
    {"upr", WordScope::Anywhere, &P::switchDestination<Dest::Ignore>},
    {"ud", WordScope::Anywhere, &P::switchDestination<Dest::Normal>},
    {"fldrslt", WordScope::Anywhere, &P::switchDestination<Dest::Normal>},
    {"f", WordScope::Anywhere, &P::fontNumber},
    {"uc", WordScope::Anywhere, &P::unicodeSkip},
    {"u", WordScope::Anywhere, &P::unicodeChar},
    {"listid", WordScope::Anywhere, &P::listId},
    {"ls", WordScope::Anywhere, &P::listOverrideIndex},
    // The document.
    {"ansi", WordScope::Text, &P::documentCodePage<kCodePageWindowsLatin>},
    {"mac", WordScope::Text, &P::documentCodePage<kCodePageMacRoman>},
    {"pc", WordScope::Text, &P::documentCodePage<kCodePageDosUs>},
    {"pca", WordScope::Text, &P::documentCodePage<kCodePageDosLatin>},
    {"ansicpg", WordScope::Text, &P::ansiCodePage},
    {"deff", WordScope::Text, &P::defaultFont},
    // Font and colour tables.
    {"fcharset", WordScope::FontTable, &P::fontCharset},
    {"cpg", WordScope::FontTable, &P::fontCodePage},
    {"red", WordScope::ColourTable, &P::colourComponent<&P::red_>},
    {"green", WordScope::ColourTable, &P::colourComponent<&P::green_>},
    {"blue", WordScope::ColourTable, &P::colourComponent<&P::blue_>},
    // Character formats.
    {"plain", WordScope::Text, &P::plain},
    {"fs", WordScope::Text, &P::fontSize},
    {"b", WordScope::Text, &P::characterFlag<&CharState::bold>},
    {"i", WordScope::Text, &P::characterFlag<&CharState::italic>},
    {"ulnone", WordScope::Text, &P::underlineNone},
    {"strike", WordScope::Text, &P::characterFlag<&CharState::strike>},
    {"striked", WordScope::Text, &P::characterFlag<&CharState::strike>},
    {"cf", WordScope::Text, &P::colourIndex<&CharState::foreground>},
    {"cb", WordScope::Text, &P::colourIndex<&CharState::background>},
    {"highlight", WordScope::Text, &P::colourIndex<&CharState::background>},
    {"chcbpat", WordScope::Text, &P::colourIndex<&CharState::background>},
    {"super", WordScope::Text, &P::verticalPosition<VerticalPosition::Superscript>},
    {"sub", WordScope::Text, &P::verticalPosition<VerticalPosition::Subscript>},
    {"nosupersub", WordScope::Text, &P::verticalPosition<VerticalPosition::Normal>},
    {"up", WordScope::Text, &P::raise<VerticalPosition::Superscript>},
    {"dn", WordScope::Text, &P::raise<VerticalPosition::Subscript>},
    {"v", WordScope::Text, &P::characterFlag<&CharState::hidden>},
    // Every underline style is an underline here; \ulc (its colour) is not one.
    {"ul", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"uld", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"uldash", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"uldashd", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"uldashdd", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"uldb", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulhwave", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulldash", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulth", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulthd", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulthdash", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulthdashd", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulthdashdd", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulthldash", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ululdbwave", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulw", WordScope::Text, &P::characterFlag<&CharState::underline>},
    {"ulwave", WordScope::Text, &P::characterFlag<&CharState::underline>},
    // Paragraph formats.
    {"pard", WordScope::Text, &P::paragraphDefaults},
    {"ql", WordScope::Text, &P::alignment<Alignment::Left>},
    {"qr", WordScope::Text, &P::alignment<Alignment::Right>},
    {"qc", WordScope::Text, &P::alignment<Alignment::Centre>},
    {"qj", WordScope::Text, &P::alignment<Alignment::Justify>},
    {"qd", WordScope::Text, &P::alignment<Alignment::Justify>},
    {"li", WordScope::Text, &P::paragraphMeasure<&ParaState::leftIndent, -kMaxTwips>},
    {"ri", WordScope::Text, &P::paragraphMeasure<&ParaState::rightIndent, -kMaxTwips>},
    {"fi", WordScope::Text, &P::paragraphMeasure<&ParaState::firstIndent, -kMaxTwips>},
    {"sb", WordScope::Text, &P::paragraphMeasure<&ParaState::spaceBefore, 0>},
    {"sa", WordScope::Text, &P::paragraphMeasure<&ParaState::spaceAfter, 0>},
    {"sl", WordScope::Text, &P::paragraphMeasure<&ParaState::lineSpacing, -kMaxTwips>},
    {"slmult", WordScope::Text, &P::lineMultiple},
    {"ilvl", WordScope::Text, &P::listLevelIndex},
    // Breaks and special characters.
    {"par", WordScope::Text, &P::paragraphEnd},
    {"sect", WordScope::Text, &P::paragraphEnd},
    {"page", WordScope::Text, &P::paragraphEnd},
    {"row", WordScope::Text, &P::paragraphEnd},
    {"nestrow", WordScope::Text, &P::paragraphEnd},
    {"line", WordScope::Text, &P::character<QChar::LineSeparator>},
    {"tab", WordScope::Text, &P::character<u'\t'>},
    {"cell", WordScope::Text, &P::character<u'\t'>},
    {"nestcell", WordScope::Text, &P::character<u'\t'>},
    {"lquote", WordScope::Text, &P::character<u'\u2018'>},
    {"rquote", WordScope::Text, &P::character<u'\u2019'>},
    {"ldblquote", WordScope::Text, &P::character<u'\u201C'>},
    {"rdblquote", WordScope::Text, &P::character<u'\u201D'>},
    {"bullet", WordScope::Text, &P::character<u'\u2022'>},
    {"endash", WordScope::Text, &P::character<u'\u2013'>},
    {"emdash", WordScope::Text, &P::character<u'\u2014'>},
    {"enspace", WordScope::Text, &P::character<u'\u2002'>},
    {"emspace", WordScope::Text, &P::character<u'\u2003'>},
    {"qmspace", WordScope::Text, &P::character<u'\u2005'>},
    {"zwj", WordScope::Text, &P::character<u'\u200D'>},
    {"zwnj", WordScope::Text, &P::character<u'\u200C'>},
    {"ltrmark", WordScope::Text, &P::character<u'\u200E'>},
    {"rtlmark", WordScope::Text, &P::character<u'\u200F'>},
    // Pictures.
    {"pngblip", WordScope::Picture, &P::pictureKind<PictureKind::Png>},
    {"jpegblip", WordScope::Picture, &P::pictureKind<PictureKind::Jpeg>},
    {"emfblip", WordScope::Picture, &P::pictureKind<PictureKind::Other>},
    {"wmetafile", WordScope::Picture, &P::pictureKind<PictureKind::Other>},
    {"macpict", WordScope::Picture, &P::pictureKind<PictureKind::Other>},
    {"dibitmap", WordScope::Picture, &P::pictureKind<PictureKind::Other>},
    {"wbitmap", WordScope::Picture, &P::pictureKind<PictureKind::Other>},
    {"pmmetafile", WordScope::Picture, &P::pictureKind<PictureKind::Other>},
    {"picw", WordScope::Picture, &P::pictureMeasure<&P::picW_>},
    {"pich", WordScope::Picture, &P::pictureMeasure<&P::picH_>},
    {"picwgoal", WordScope::Picture, &P::pictureMeasure<&P::picWGoal_>},
    {"pichgoal", WordScope::Picture, &P::pictureMeasure<&P::picHGoal_>},
    {"picscalex", WordScope::Picture, &P::pictureMeasure<&P::scaleX_>},
    {"picscaley", WordScope::Picture, &P::pictureMeasure<&P::scaleY_>},
    // Old-style numbering (\pn).
    {"pnlvlblt", WordScope::Numbering, &P::numberingKind<PnKind::Bullet>},
    {"pnlvlbody", WordScope::Numbering, &P::numberingKind<PnKind::Body>},
    {"pnlvl", WordScope::Numbering, &P::numberingLevel},
    {"pnlvlcont", WordScope::Numbering, &P::numberingKind<PnKind::Continue>},
    {"pndec", WordScope::Numbering, &P::numberingStyle<QTextListFormat::ListDecimal>},
    {"pnucltr", WordScope::Numbering, &P::numberingStyle<QTextListFormat::ListUpperAlpha>},
    {"pnlcltr", WordScope::Numbering, &P::numberingStyle<QTextListFormat::ListLowerAlpha>},
    {"pnucrm", WordScope::Numbering, &P::numberingStyle<QTextListFormat::ListUpperRoman>},
    {"pnlcrm", WordScope::Numbering, &P::numberingStyle<QTextListFormat::ListLowerRoman>},
    // List table.
    {"levelnfc", WordScope::ListLevel, &P::levelNumbering},
    {"levelnfcn", WordScope::ListLevel, &P::levelNumbering},
};

const Keyword &RtfParser::keyword(std::string_view word)
{
    static const Keyword unknown{{}, WordScope::Anywhere, &P::unknownWord};
    static const auto table = [] {
        std::unordered_map<std::string_view, const Keyword *> map;
        map.reserve(std::size(kKeywords));
        for (const Keyword &k : kKeywords)
            map.emplace(k.word, &k);
        return map;
    }();
    const auto it = table.find(word);
    return it == table.end() ? unknown : *it->second;
}

} // namespace quorix::rtf
