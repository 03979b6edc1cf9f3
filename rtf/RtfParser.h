#pragma once
// The RTF reader's parser: walks the tokens, keeps the group stack with its character state
// and destination, fills the font, colour and list tables and hands text, paragraphs and
// pictures to the document builder.
#include "rtf/RtfDocumentBuilder.h"
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
    ColorTable,
    Pict,
    Pn,
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

enum class PictKind
{
    None,
    Png,
    Jpeg,
    Other
};

// Entries kept per font, colour or list table: far more than any document uses, few
// enough that a file of nothing but table entries cannot exhaust memory.
constexpr size_t kMaxTableEntries = 32768;
// Characters kept of a font's name.
constexpr qsizetype kMaxFontName = 256;

class RtfParser
{
  public:
    RtfParser(std::string_view input, QTextDocument &doc) : m_tok(input), m_builder(doc, m_tables)
    {
    }

    void run();

  private:
    Group &top() { return m_groups.back(); }
    int codePage();
    void openGroup();
    void closeGroup();
    void endDestination(const Group &group);
    void controlWord(const Token &t);
    void controlSymbol(char c);
    void text(std::string_view data);
    void hexByte(unsigned char b);
    void binary(std::string_view data);
    void appendChar(char16_t c);
    void flushBytes();
    void commitFont();
    void decodeFontBytes();
    void enter(Dest dest);
    void finishPicture();
    bool skipOneFallback();

    Tokenizer m_tok;
    RtfTables m_tables;
    RtfDocumentBuilder m_builder;
    std::vector<Group> m_groups;
    ParaState m_para;
    int m_ansiCodePage = 1252;
    int m_defaultFont = -1;
    int m_skip = 0; // fallback bytes still to skip after \u
    bool m_star = false;
    QString m_textBuffer;
    QByteArray m_pendingBytes; // bytes of a double-byte code page not yet decoded
    int m_pendingCodePage = 0;
    CharState m_pendingState;

    // font table
    int m_fontIndex = -1;
    int m_fontCodePage = 0;
    QString m_fontText;    // the name so far, up to its last \u
    QByteArray m_fontName; // bytes after that, in the font's code page
    // colour table
    int m_red = -1, m_green = -1, m_blue = -1;
    // list tables
    int m_listId = 0;
    std::vector<QTextListFormat::Style> m_listLevels;
    int m_levelNfc = 0;
    QString m_levelText;
    int m_overrideListId = 0;
    int m_overrideIndex = 0;
    // picture
    PictKind m_pictKind = PictKind::None;
    QByteArray m_pictData;
    int m_pictNibble = -1;
    int m_picW = 0, m_picH = 0, m_picWGoal = 0, m_picHGoal = 0, m_scaleX = 100, m_scaleY = 100;
    qint64 m_picturePixels = 0;
};

} // namespace quorix::rtf
