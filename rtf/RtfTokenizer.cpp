#include "rtf/RtfTokenizer.h"

#include <climits>

namespace quorix::rtf {

namespace {

constexpr size_t kMaxWordLength = 32;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

Token Tokenizer::next()
{
    Token t;
    const size_t size = input_.size();
    // CR and LF between tokens carry no meaning.
    while (pos_ < size && (input_[pos_] == '\r' || input_[pos_] == '\n'))
        ++pos_;
    if (pos_ >= size)
        return t;
    const char c = input_[pos_];
    if (c == '{') {
        ++pos_;
        t.kind = Token::Kind::GroupStart;
        return t;
    }
    if (c == '}') {
        ++pos_;
        t.kind = Token::Kind::GroupEnd;
        return t;
    }
    if (c == '\\') {
        readControl(t);
        return t;
    }
    const size_t start = pos_;
    while (pos_ < size) {
        const char d = input_[pos_];
        if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n')
            break;
        ++pos_;
    }
    t.kind = Token::Kind::Text;
    t.data = input_.substr(start, pos_ - start);
    return t;
}

void Tokenizer::readControl(Token &t)
{
    const size_t size = input_.size();
    ++pos_; // the backslash
    if (pos_ >= size) {
        t.kind = Token::Kind::End;
        return;
    }
    const char c = input_[pos_];
    if (!isLetter(c)) {
        ++pos_;
        if (c == '\'') {
            const int hi = pos_ < size ? hexDigitValue(input_[pos_]) : -1;
            const int lo = pos_ + 1 < size ? hexDigitValue(input_[pos_ + 1]) : -1;
            if (hi >= 0 && lo >= 0) {
                pos_ += 2;
                t.kind = Token::Kind::HexByte;
                t.byte = static_cast<unsigned char>(hi * 16 + lo);
                return;
            }
            t.kind = Token::Kind::ControlSymbol; // a broken \' is ignored by the reader
            t.symbol = '\'';
            return;
        }
        t.kind = Token::Kind::ControlSymbol;
        t.symbol = (c == '\r' || c == '\n') ? '\n' : c;
        return;
    }
    const size_t start = pos_;
    while (pos_ < size && isLetter(input_[pos_]))
        ++pos_;
    t.kind = Token::Kind::ControlWord;
    t.word = input_.substr(start, std::min(pos_ - start, kMaxWordLength));
    if (pos_ < size && (isDigit(input_[pos_]) ||
                        (input_[pos_] == '-' && pos_ + 1 < size && isDigit(input_[pos_ + 1])))) {
        const bool negative = input_[pos_] == '-';
        if (negative)
            ++pos_;
        long long value = 0;
        while (pos_ < size && isDigit(input_[pos_])) {
            if (value <= INT_MAX)
                value = value * 10 + (input_[pos_] - '0');
            ++pos_;
        }
        if (value > INT_MAX)
            value = INT_MAX;
        t.hasParam = true;
        t.param = static_cast<int>(negative ? -value : value);
    }
    if (pos_ < size && input_[pos_] == ' ')
        ++pos_;
    if (t.word == "bin" && t.hasParam) {
        const size_t n =
            t.param > 0 ? std::min<size_t>(static_cast<size_t>(t.param), size - pos_) : 0;
        t.kind = Token::Kind::Binary;
        t.data = input_.substr(pos_, n);
        pos_ += n;
    }
}

bool Tokenizer::skipGroup()
{
    long long depth = 1;
    const size_t size = input_.size();
    while (pos_ < size) {
        const char c = input_[pos_];
        if (c == '{') {
            ++depth;
            ++pos_;
        } else if (c == '}') {
            ++pos_;
            if (--depth == 0)
                return true;
        } else if (c == '\\') {
            Token t;
            readControl(t); // consumes escaped braces and \bin data
        } else {
            ++pos_;
        }
    }
    return false;
}

} // namespace quorix::rtf
