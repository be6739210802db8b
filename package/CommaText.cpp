#include "package/CommaText.h"

#include <cstddef>

namespace package {

namespace {

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Bytes 1..32: the blanks the reader skips. NUL is the end of the text.
bool IsBlank(unsigned char b) { return b >= 1 && b <= ' '; }

// Steps over one character: a lead byte and a following non-NUL byte are one.
size_t Next(const std::string& text, size_t at) {
  if (IsLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size() && text[at + 1] != '\0')
    return at + 2;
  return at + 1;
}

bool NeedsQuotes(const std::string& item) {
  for (size_t at = 0; at < item.size(); at = Next(item, at)) {
    auto b = static_cast<unsigned char>(item[at]);
    if (b <= ' ' || b == ',' || b == '"') return true;
  }
  return false;
}

std::string Quoted(const std::string& item) {
  std::string out = "\"";
  for (char c : item) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

}  // namespace

std::string ToCommaText(const std::vector<std::string>& items) {
  if (items.size() == 1 && items[0].empty()) return "\"\"";
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i != 0) out += ',';
    out += NeedsQuotes(items[i]) ? Quoted(items[i]) : items[i];
  }
  return out;
}

std::vector<std::string> FromCommaText(const std::string& text) {
  std::vector<std::string> items;
  const size_t end = text.find('\0');  // npos or the NUL that ends the text
  const size_t size = end == std::string::npos ? text.size() : end;
  auto byte = [&](size_t at) { return at < size ? static_cast<unsigned char>(text[at]) : 0; };

  size_t at = 0;
  while (IsBlank(byte(at))) ++at;
  while (at < size) {
    std::string item;
    if (byte(at) == '"') {
      ++at;
      while (at < size) {
        if (byte(at) == '"') {
          if (byte(at + 1) != '"') {
            ++at;
            break;
          }
          item += '"';
          at += 2;
        } else {
          size_t next = std::min(Next(text, at), size);
          item.append(text, at, next - at);
          at = next;
        }
      }
    } else {
      size_t from = at;
      while (at < size && byte(at) > ' ' && byte(at) != ',') at = std::min(Next(text, at), size);
      item.assign(text, from, at - from);
    }
    items.push_back(std::move(item));
    while (IsBlank(byte(at))) ++at;
    if (byte(at) == ',') {
      if (at + 1 >= size) items.emplace_back();
      do ++at;
      while (IsBlank(byte(at)));
    }
  }
  return items;
}

}  // namespace package
