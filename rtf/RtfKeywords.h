#pragma once
// The RTF control words that the reader acts on: each word's entry says where the word acts
// and which of the parser's handlers acts on it. The table is RtfParser::kKeywords.
#include <string_view>

namespace quorix::rtf {

class RtfParser;
struct Group;

// A control word as its handler sees it.
struct ControlWord
{
    int param = 0; // 0 when the word has none
    bool hasParam = false;
    bool starred = false; // \* came before it
    // A toggle (\b, \i, \ul, ...) switches on without a parameter or with one other than 0.
    bool on() const { return !hasParam || param != 0; }
};

// Where a control word acts. A word of a table or a picture acts only inside it, a word of
// the text in the text and in destinations whose groups may hold text (\upr). Anywhere is for
// the words that open or change destinations and those that mean something in several.
enum class WordScope
{
    Anywhere,
    Text,
    FontTable,
    ColourTable,
    Picture,
    Numbering,
    ListLevel
};

struct Keyword
{
    using Handler = void (RtfParser::*)(Group &, const ControlWord &);
    std::string_view word;
    WordScope scope = WordScope::Anywhere;
    Handler handler = nullptr;
};

} // namespace quorix::rtf
