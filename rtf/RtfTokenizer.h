#pragma once
// Splits RTF bytes into tokens: group braces, control words with their parameter, control
// symbols, \'hh bytes, \bin data and runs of plain text. Every call consumes at least one
// byte, so a loop over next() ends after at most size() + 1 calls whatever the input.
#include <QByteArray>

#include <string_view>

namespace quorix::rtf {

struct Token
{
    enum class Kind
    {
        End,
        GroupStart,
        GroupEnd,
        ControlWord,
        ControlSymbol,
        Text,
        HexByte,
        Binary
    };
    Kind kind = Kind::End;
    std::string_view word;  // ControlWord: the letters (at most 32)
    bool hasParam = false;  // ControlWord: a numeric parameter followed
    int param = 0;          // ControlWord: the parameter, clamped to the int range
    char symbol = 0;        // ControlSymbol: the character after the backslash
    unsigned char byte = 0; // HexByte: the byte value
    std::string_view data;  // Text: bytes without CR and LF; Binary: the \bin bytes
};

// The value of a hexadecimal digit, -1 for any other character.
inline int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Tokenizer
{
  public:
    explicit Tokenizer(std::string_view input) : input_(input) {}

    Token next();

    // Skips the rest of the current group, including its closing brace, without
    // producing tokens (nested groups and \bin data included). Returns false at the end
    // of the input.
    bool skipGroup();

    qsizetype position() const { return static_cast<qsizetype>(pos_); }

  private:
    void readControl(Token &t);

    std::string_view input_;
    size_t pos_ = 0;
};

} // namespace quorix::rtf
