#pragma once
// The RTF reader's parser: walks the tokens, keeps the group stack with its character state
// and destination, fills the font, colour and list tables and hands text, paragraphs and
// pictures to the document builder.
#include "rtf/RtfCodePages.h"
#include "rtf/RtfDocumentBuilder.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

#include <QByteArray>
#include <QString>

#include <string_view>
#include <vector>

class QTextDocument;

namespace quorix::rtf {

enum class Dest
{
    Normal,
    Ignore, // content that is no text, but whose groups may hold what matters (\upr)
    FontTable,
    ColourTable,
    Picture,
    Numbering, // \pn
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
};

struct Group
{
    CharState chars;
    Dest dest = Dest::Normal;
    int uc = 1;         // \uc: bytes of fallback after each \u
    bool owner = false; // this group opened its destination
    bool fresh = true;  // no text seen yet: a destination word may still come
};

enum class PictureKind
{
    None,
    Png,
    Jpeg,
    Other
};

// Entries kept per font, colour or list table: far more than any document uses, few
// enough that a file of nothing but table entries cannot exhaust memory.
constexpr size_t kMaxTableEntries = 32768;
// Characters kept of a font's name, and of a list level's \leveltext.
constexpr qsizetype kMaxFontName = 256;
constexpr qsizetype kMaxLevelText = 64;
// A picture's \picscalex and \picscaley when it has none: 100 percent.
constexpr int kFullScale = 100;

class RtfParser
{
  public:
    RtfParser(std::string_view input, QTextDocument &doc) : tok_(input), builder_(doc, tables_) {}

    void run();

  private:
    // The control words the reader knows (RtfKeywords.cpp), and the entry of a word: the
    // entry of an unknown word when the reader does not know it.
    static const Keyword kKeywords[];
    static const Keyword &keyword(std::string_view word);

    Group &top() { return groups_.back(); }
    int codePage();
    void openGroup();
    void closeGroup();
    void endDestination(const Group &group);
    void controlWord(const Token &t);
    void controlSymbol(char c);
    void text(std::string_view data);
    void fontNameText(std::string_view data);
    void colourTableText(std::string_view data);
    void pictureText(std::string_view data);
    void hexByte(unsigned char b);
    void binary(std::string_view data);
    void appendChar(char16_t c);
    // Text and hex escapes in a double-byte code page wait in one queue, so that a
    // character split between them is decoded whole; false for a single-byte code page.
    bool queueDoubleBytes(int cp, std::string_view bytes);
    void flushBytes();
    void commitFont();
    void decodeFontBytes();
    void enter(Dest dest);
    void finishPicture();

    // What the control words do, one handler per kind of word, named by the keyword table.
    // Destinations and the words that mean something in several of them (RtfParser.cpp, the
    // templates in RtfKeywords.cpp):
    void skipDestination(Group &g, const ControlWord &w);
    void unknownWord(Group &g, const ControlWord &w);
    template <Dest D> void enterDestination(Group &g, const ControlWord &w);
    template <Dest D, Dest Parent> void enterListPart(Group &g, const ControlWord &w);
    template <Dest D> void switchDestination(Group &g, const ControlWord &w);
    void enterNumbering(Group &g, const ControlWord &w);
    void enterLevelText(Group &g, const ControlWord &w);
    void fontNumber(Group &g, const ControlWord &w);
    void unicodeSkip(Group &g, const ControlWord &w);
    void unicodeChar(Group &g, const ControlWord &w);
    void listId(Group &g, const ControlWord &w);
    void listOverrideIndex(Group &g, const ControlWord &w);
    // The document and its text (RtfKeywords.cpp):
    template <int CodePage> void documentCodePage(Group &g, const ControlWord &w);
    void ansiCodePage(Group &g, const ControlWord &w);
    void defaultFont(Group &g, const ControlWord &w);
    void plain(Group &g, const ControlWord &w);
    void fontSize(Group &g, const ControlWord &w);
    template <bool CharState::*Flag> void characterFlag(Group &g, const ControlWord &w);
    void underlineNone(Group &g, const ControlWord &w);
    template <int CharState::*Index> void colourIndex(Group &g, const ControlWord &w);
    template <VerticalPosition V> void verticalPosition(Group &g, const ControlWord &w);
    template <VerticalPosition V> void raise(Group &g, const ControlWord &w);
    void paragraphDefaults(Group &g, const ControlWord &w);
    template <Alignment A> void alignment(Group &g, const ControlWord &w);
    template <int ParaState::*Measure, int Min>
    void paragraphMeasure(Group &g, const ControlWord &w);
    void lineMultiple(Group &g, const ControlWord &w);
    void listLevelIndex(Group &g, const ControlWord &w);
    void paragraphEnd(Group &g, const ControlWord &w);
    template <char16_t C> void character(Group &g, const ControlWord &w);
    // The tables and pictures:
    void fontCharset(Group &g, const ControlWord &w);
    void fontCodePage(Group &g, const ControlWord &w);
    template <int RtfParser::*Component> void colourComponent(Group &g, const ControlWord &w);
    template <PictureKind K> void pictureKind(Group &g, const ControlWord &w);
    template <int RtfParser::*Measure> void pictureMeasure(Group &g, const ControlWord &w);
    template <PnKind K> void numberingKind(Group &g, const ControlWord &w);
    void numberingLevel(Group &g, const ControlWord &w);
    template <QTextListFormat::Style S> void numberingStyle(Group &g, const ControlWord &w);
    void levelNumbering(Group &g, const ControlWord &w);

    Tokenizer tok_;
    RtfTables tables_;
    RtfDocumentBuilder builder_;
    std::vector<Group> groups_;
    ParaState para_;
    int ansiCodePage_ = kCodePageWindowsLatin;
    int defaultFont_ = -1;
    int skip_ = 0; // fallback bytes still to skip after \u
    bool star_ = false;
    QString textBuffer_;
    QByteArray pendingBytes_; // bytes of a double-byte code page not yet decoded
    int pendingCodePage_ = 0;
    CharState pendingState_;

    // font table
    int fontIndex_ = -1;
    int fontCodePage_ = 0;
    QString fontText_;    // the name so far, up to its last \u
    QByteArray fontName_; // bytes after that, in the font's code page
    // colour table
    int red_ = -1, green_ = -1, blue_ = -1;
    // list tables
    int listId_ = 0;
    std::vector<QTextListFormat::Style> listLevels_;
    LevelNumbering levelNumbering_ = LevelNumbering::Decimal;
    QString levelText_;
    int overrideListId_ = 0;
    int overrideIndex_ = 0;
    // picture
    PictureKind pictureKind_ = PictureKind::None;
    QByteArray pictureData_;
    int pictureNibble_ = -1;
    int picW_ = 0, picH_ = 0, picWGoal_ = 0, picHGoal_ = 0;
    int scaleX_ = kFullScale, scaleY_ = kFullScale;
    qint64 picturePixels_ = 0;
};

} // namespace quorix::rtf
