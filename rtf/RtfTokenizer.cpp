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

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Token Tokenizer::next()
{
    Token t;
    const size_t size = m_input.size();
    // CR and LF between tokens carry no meaning.
    while (m_pos < size && (m_input[m_pos] == '\r' || m_input[m_pos] == '\n'))
        ++m_pos;
    if (m_pos >= size)
        return t;
    const char c = m_input[m_pos];
    if (c == '{') {
        ++m_pos;
        t.kind = Token::GroupStart;
        return t;
    }
    if (c == '}') {
        ++m_pos;
        t.kind = Token::GroupEnd;
        return t;
    }
    if (c == '\\') {
        readControl(t);
        return t;
    }
    const size_t start = m_pos;
    while (m_pos < size) {
        const char d = m_input[m_pos];
        if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n')
            break;
        ++m_pos;
    }
    t.kind = Token::Text;
    t.data = m_input.substr(start, m_pos - start);
    return t;
}

void Tokenizer::readControl(Token &t)
{
    const size_t size = m_input.size();
    ++m_pos; // the backslash
    if (m_pos >= size) {
        t.kind = Token::End;
        return;
    }
    const char c = m_input[m_pos];
    if (!isLetter(c)) {
        ++m_pos;
        if (c == '\'') {
            const int hi = m_pos < size ? hexValue(m_input[m_pos]) : -1;
            const int lo = m_pos + 1 < size ? hexValue(m_input[m_pos + 1]) : -1;
            if (hi >= 0 && lo >= 0) {
                m_pos += 2;
                t.kind = Token::HexByte;
                t.byte = static_cast<unsigned char>(hi * 16 + lo);
                return;
            }
            t.kind = Token::ControlSymbol; // a broken \' is ignored by the reader
            t.symbol = '\'';
            return;
        }
        t.kind = Token::ControlSymbol;
        t.symbol = (c == '\r' || c == '\n') ? '\n' : c;
        return;
    }
    const size_t start = m_pos;
    while (m_pos < size && isLetter(m_input[m_pos]))
        ++m_pos;
    t.kind = Token::ControlWord;
    t.word = m_input.substr(start, std::min(m_pos - start, kMaxWordLength));
    if (m_pos < size && (isDigit(m_input[m_pos]) || (m_input[m_pos] == '-' && m_pos + 1 < size &&
                                                     isDigit(m_input[m_pos + 1])))) {
        const bool negative = m_input[m_pos] == '-';
        if (negative)
            ++m_pos;
        long long value = 0;
        while (m_pos < size && isDigit(m_input[m_pos])) {
            if (value <= INT_MAX)
                value = value * 10 + (m_input[m_pos] - '0');
            ++m_pos;
        }
        if (value > INT_MAX)
            value = INT_MAX;
        t.hasParam = true;
        t.param = static_cast<int>(negative ? -value : value);
    }
    if (m_pos < size && m_input[m_pos] == ' ')
        ++m_pos;
    if (t.word == "bin" && t.hasParam) {
        const size_t n =
            t.param > 0 ? std::min<size_t>(static_cast<size_t>(t.param), size - m_pos) : 0;
        t.kind = Token::Binary;
        t.data = m_input.substr(m_pos, n);
        m_pos += n;
    }
}

bool Tokenizer::skipGroup()
{
    long long depth = 1;
    const size_t size = m_input.size();
    while (m_pos < size) {
        const char c = m_input[m_pos];
        if (c == '{') {
            ++depth;
            ++m_pos;
        } else if (c == '}') {
            ++m_pos;
            if (--depth == 0)
                return true;
        } else if (c == '\\') {
            Token t;
            readControl(t); // consumes escaped braces and \bin data
        } else {
            ++m_pos;
        }
    }
    return false;
}

} // namespace quorix::rtf
