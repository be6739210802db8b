// GBK text basics. All text in the runtime is std::string of GBK bytes. Case rules fold ASCII
// letters only, byte by byte wherever they occur (also as the second byte of a double-byte
// character), so every caller folds the same way; Chinese bytes must match exactly.
// Searches match only at character boundaries: a GBK lead byte (0x81..0xFE) and the byte after
// it are one character, so a trail byte 0x5C is never taken for a backslash.
// Conversions to other encodings belong to the platform boundary and the tools.
#pragma once

#include <string>
#include <string_view>

namespace sys {

std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);
// Equal after folding ASCII letters.
bool SameText(std::string_view a, std::string_view b);
// Position of needle in text after folding ASCII letters, or npos. An empty needle is at 0.
size_t FindText(std::string_view text, std::string_view needle);
bool ContainsText(std::string_view text, std::string_view needle);
bool StartsWithText(std::string_view text, std::string_view prefix);
// Position of the last character c (an ASCII byte) in text, or npos.
size_t FindLastChar(std::string_view text, char c);
// True when byte i of text starts a character (is not the trail byte of a double-byte one).
// It scans from the start: a loop over a text steps by CharLength instead.
bool IsCharStart(std::string_view text, size_t i);
// Bytes of the character that starts at byte i: 2 for a lead byte with a byte after it, else 1.
size_t CharLength(std::string_view text, size_t i);

// The text after the last backslash (the whole text when it has none).
std::string ExtractFileName(std::string_view path);
// The text up to and including the last backslash (empty when it has none).
std::string ExtractFilePath(std::string_view path);
// path in double quotes, so that a command line or registry value starting with it names that
// one program even when the path holds blanks: unquoted, Windows tries "C:\My.exe" first for
// "C:\My Apps\app.exe", and anyone who may write "C:\" decides what runs.
std::string QuotedPath(std::string_view path);
// The path inside a leading and trailing double quote; the text as it is when not quoted.
std::string UnquotedPath(std::string_view text);

}  // namespace sys
