#include "system/Gbk.h"

#include <algorithm>

namespace sys {
namespace {

char FoldUp(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char FoldDown(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLeadByte(char c) {
  auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

}  // namespace

size_t CharLength(std::string_view text, size_t i) {
  return (IsLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
}

bool IsCharStart(std::string_view text, size_t i) {
  size_t at = 0;
  while (at < i) at += CharLength(text, at);
  return at == i;
}

size_t FindLastChar(std::string_view text, char c) {
  size_t found = std::string_view::npos;
  for (size_t at = 0; at < text.size();) {
    if (text[at] == c) found = at;
    at += CharLength(text, at);
  }
  return found;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), FoldDown);
  return out;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), FoldUp);
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldUp(x) == FoldUp(y); });
}

size_t FindText(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  for (size_t at = 0; at + needle.size() <= text.size();) {
    if (SameText(text.substr(at, needle.size()), needle)) return at;
    at += CharLength(text, at);
  }
  return std::string_view::npos;
}

bool ContainsText(std::string_view text, std::string_view needle) {
  return FindText(text, needle) != std::string_view::npos;
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::string ExtractFileName(std::string_view path) {
  size_t slash = FindLastChar(path, '\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFilePath(std::string_view path) {
  size_t slash = FindLastChar(path, '\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string QuotedPath(std::string_view path) { return "\"" + std::string(path) + "\""; }

std::string UnquotedPath(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  return std::string(text);
}

}  // namespace sys
