#include "text/RtfKeywords.h"

#include <unordered_map>

namespace quorix::rtf {

namespace {

const std::unordered_map<std::string_view, Kw> &table()
{
    static const std::unordered_map<std::string_view, Kw> t = [] {
        std::unordered_map<std::string_view, Kw> m;
        // Destinations whose content is no part of the text.
        for (std::string_view w :
             {"stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer",
              "footerl", "footerr", "footerf", "footnote", "annotation", "pntext", "pntxta",
              "pntxtb", "listtext", "fldinst", "xe", "tc", "txe", "ftnsep", "ftnsepc", "ftncn",
              "aftnsep", "aftnsepc", "aftncn", "nonshppict", "revtbl", "filetbl", "rsidtbl",
              "objdata", "objclass", "objname", "levelnumbers", "listname",
              "pnseclvl", "template", "bkmkstart", "bkmkend", "title", "author", "operator",
              "keywords", "subject", "doccomm", "comment", "buptim", "creatim", "printim",
              "revtim", "shpinst", "do", "generator", "themedata", "colorschememapping",
              "datastore", "latentstyles", "xmlnstbl", "pgdsctbl", "picprop", "blipuid",
              "falt", "panose", "fname", "atnid", "atnauthor", "atndate", "atnref", "private",
              "userprops", "listpicture", "mmathPr", "wgrffmtfilter", "ftnalt", "nesttableprops"})
            m.emplace(w, Kw::SkipDestination);
        const std::pair<std::string_view, Kw> words[] = {
            {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable}, {"pict", Kw::Pict},
            {"shppict", Kw::ShpPict}, {"pn", Kw::Pn}, {"listtable", Kw::ListTable},
            {"list", Kw::List}, {"listlevel", Kw::ListLevel},
            {"listoverridetable", Kw::ListOverrideTable}, {"listoverride", Kw::ListOverride},
            {"upr", Kw::Upr}, {"ud", Kw::Ud}, {"fldrslt", Kw::FieldResult},
            {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
            {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::DefaultFont}, {"uc", Kw::Uc}, {"u", Kw::U},
            {"fcharset", Kw::FontCharset}, {"cpg", Kw::FontCodePage}, {"red", Kw::Red},
            {"green", Kw::Green}, {"blue", Kw::Blue},
            {"plain", Kw::Plain}, {"f", Kw::Font}, {"fs", Kw::FontSize}, {"b", Kw::Bold},
            {"i", Kw::Italic}, {"ulnone", Kw::UnderlineNone}, {"strike", Kw::Strike},
            {"striked", Kw::Strike}, {"cf", Kw::Foreground}, {"cb", Kw::Background},
            {"highlight", Kw::Background}, {"chcbpat", Kw::Background}, {"super", Kw::Super},
            {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub}, {"up", Kw::Up}, {"dn", Kw::Down},
            {"v", Kw::Hidden},
            {"pard", Kw::Pard}, {"ql", Kw::AlignLeft}, {"qr", Kw::AlignRight},
            {"qc", Kw::AlignCenter}, {"qj", Kw::AlignJustify}, {"qd", Kw::AlignJustify},
            {"li", Kw::LeftIndent}, {"ri", Kw::RightIndent}, {"fi", Kw::FirstIndent},
            {"sb", Kw::SpaceBefore}, {"sa", Kw::SpaceAfter}, {"sl", Kw::LineSpacing},
            {"slmult", Kw::LineMultiple}, {"ls", Kw::ListOverrideIndex},
            {"ilvl", Kw::ListLevelIndex},
            {"par", Kw::Par}, {"sect", Kw::Par}, {"page", Kw::Par}, {"row", Kw::Par},
            {"nestrow", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab}, {"cell", Kw::Cell},
            {"nestcell", Kw::Cell}, {"lquote", Kw::LQuote}, {"rquote", Kw::RQuote},
            {"ldblquote", Kw::LDblQuote}, {"rdblquote", Kw::RDblQuote},
            {"bullet", Kw::Bullet}, {"endash", Kw::EnDash}, {"emdash", Kw::EmDash},
            {"enspace", Kw::EnSpace}, {"emspace", Kw::EmSpace}, {"qmspace", Kw::QmSpace},
            {"zwj", Kw::Zwj}, {"zwnj", Kw::Zwnj}, {"ltrmark", Kw::LtrMark},
            {"rtlmark", Kw::RtlMark},
            {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip}, {"emfblip", Kw::OtherBlip},
            {"wmetafile", Kw::OtherBlip}, {"macpict", Kw::OtherBlip},
            {"dibitmap", Kw::OtherBlip}, {"wbitmap", Kw::OtherBlip},
            {"pmmetafile", Kw::OtherBlip}, {"picw", Kw::PicW}, {"pich", Kw::PicH},
            {"picwgoal", Kw::PicWGoal}, {"pichgoal", Kw::PicHGoal},
            {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
            {"pnlvlblt", Kw::PnLvlBlt}, {"pnlvlbody", Kw::PnLvlBody}, {"pnlvl", Kw::PnLvl},
            {"pnlvlcont", Kw::PnLvlCont}, {"pndec", Kw::PnDec}, {"pnucltr", Kw::PnUcLtr},
            {"pnlcltr", Kw::PnLcLtr}, {"pnucrm", Kw::PnUcRm}, {"pnlcrm", Kw::PnLcRm},
            {"listid", Kw::ListId}, {"levelnfc", Kw::LevelNfc}, {"levelnfcn", Kw::LevelNfc},
        };
        for (const auto &[w, k] : words)
            m.emplace(w, k);
        // Every underline style is an underline here; \ulc (its colour) is not one.
        for (std::string_view w :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
              "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
              "ulwave"})
            m.emplace(w, Kw::Underline);
        return m;
    }();
    return t;
}

} // namespace

Kw keyword(std::string_view word)
{
    const auto &t = table();
    const auto it = t.find(word);
    return it == t.end() ? Kw::Unknown : it->second;
}

} // namespace quorix::rtf
