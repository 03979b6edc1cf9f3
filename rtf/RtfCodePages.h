#pragma once
// The 8-bit and double-byte code pages that RTF text can be written in: \ansicpg, \fcharset
// and \cpg name them, and \'hh bytes and raw 8-bit text are decoded through them. Code page
// 1252 has its own table; the others go through the C library's iconv.
#include <QString>

namespace quorix::rtf {

// The code pages that RTF names by a word of its own (\ansi, \mac, \pc, \pca).
constexpr int kCodePageWindowsLatin = 1252;
constexpr int kCodePageMacRoman = 10000;
constexpr int kCodePageDosUs = 437;
constexpr int kCodePageDosLatin = 850;

// The Windows code page that an RTF \fcharset value stands for; 0 for "use the default"
// (DEFAULT_CHARSET 1 and unknown values).
int codePageForCharset(int charset);

// True for code pages whose characters may take two bytes (932, 936, 949, 950, 1361).
bool isDoubleByteCodePage(int codePage);

// For single-byte code pages: the 256 UTF-16 code units that the bytes stand for (unknown
// code pages fall back to 1252). Never null.
const char16_t *singleByteTable(int codePage);

// Appends the text of bytes in the code page to out; undecodable bytes become U+FFFD.
void decodeAppend(int codePage, const char *bytes, qsizetype size, QString &out);

// The byte that stands for the character in code page 1252, or -1 when there is none.
int toCp1252(char16_t ch);

} // namespace quorix::rtf
