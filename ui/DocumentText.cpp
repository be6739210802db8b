// The readable text of rich-text and HTML documents (declared in ui/BrowserPane.h). Both walk
// the bytes once with no recursion, so a hostile document costs time linear in its size.
#include <cstdlib>
#include <string>
#include <vector>

#include "system/Gbk.h"
#include "ui/BrowserPane.h"

namespace ui {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Destinations whose text is not part of the document body.
bool SkippedDestination(const std::string& word) {
  static const char* const kWords[] = {"fonttbl", "colortbl", "stylesheet", "info",  "pict",
                                       "header",  "footer",   "headerl",    "headerr", "footerl",
                                       "footerr", "object",   "listtable",  "listoverridetable",
                                       "generator", "themedata", "latentstyles", "rsidtbl"};
  for (const char* skipped : kWords) {
    if (word == skipped) return true;
  }
  return false;
}

}  // namespace

std::string RichTextToText(const std::string& rtf) {
  std::string text;
  std::vector<bool> skipStack;
  bool skip = false;
  size_t i = 0;
  const size_t n = rtf.size();
  while (i < n) {
    char c = rtf[i];
    if (c == '{') {
      skipStack.push_back(skip);
      ++i;
    } else if (c == '}') {
      if (!skipStack.empty()) {
        skip = skipStack.back();
        skipStack.pop_back();
      }
      ++i;
    } else if (c == '\\') {
      ++i;
      if (i >= n) break;
      char s = rtf[i];
      if (s == '\\' || s == '{' || s == '}') {
        if (!skip) text += s;
        ++i;
      } else if (s == '\'') {
        int high = i + 1 < n ? HexValue(rtf[i + 1]) : -1;
        int low = i + 2 < n ? HexValue(rtf[i + 2]) : -1;
        if (high >= 0 && low >= 0) {
          if (!skip) text += static_cast<char>(high * 16 + low);
          i += 3;
        } else {
          // A broken escape drops with the digits it has.
          i += high >= 0 ? 2 : 1;
        }
      } else if (s == '*') {
        skip = true;
        ++i;
      } else if (IsAsciiLetter(s)) {
        std::string word;
        while (i < n && IsAsciiLetter(rtf[i]) && word.size() < 32) word += rtf[i++];
        if (i < n && rtf[i] == '-') ++i;
        while (i < n && IsDigit(rtf[i])) ++i;
        if (i < n && rtf[i] == ' ') ++i;
        if (SkippedDestination(word)) {
          skip = true;
        } else if (!skip && (word == "par" || word == "line")) {
          text += "\r\n";
        } else if (!skip && word == "tab") {
          text += '\t';
        }
      } else {
        // Control symbols: "\~" is a hard space, the others mark nothing readable.
        if (!skip && s == '~') text += ' ';
        ++i;
      }
    } else {
      if (!skip && c != '\r' && c != '\n') text += c;
      ++i;
    }
  }
  return text;
}

std::string HtmlToText(const std::string& html) {
  std::string text;
  const size_t n = html.size();
  bool pendingSpace = false;
  auto lineBreak = [&text, &pendingSpace] {
    text += "\r\n";
    pendingSpace = false;
  };
  size_t i = 0;
  while (i < n) {
    char c = html[i];
    if (c == '<') {
      if (html.compare(i, 4, "<!--") == 0) {
        size_t end = html.find("-->", i + 4);
        i = end == std::string::npos ? n : end + 3;
        continue;
      }
      size_t end = html.find('>', i + 1);
      if (end == std::string::npos) break;
      std::string tag = sys::AsciiLower(html.substr(i + 1, end - i - 1));
      size_t nameEnd = tag.find_first_of(" \t\r\n/", tag[0] == '/' ? 1 : 0);
      std::string name = tag.substr(0, nameEnd);
      i = end + 1;
      if (name == "script" || name == "style") {
        size_t close = sys::FindText(std::string_view(html).substr(i), "</" + name);
        i = close == std::string::npos ? n : i + close;
        continue;
      }
      if (name == "br" || name == "/p" || name == "/div" || name == "/li" || name == "/tr" ||
          name == "/h1" || name == "/h2" || name == "/h3" || name == "/h4" || name == "/title") {
        lineBreak();
      }
      continue;
    }
    if (c == '&') {
      size_t end = html.find(';', i + 1);
      if (end != std::string::npos && end - i <= 8) {
        std::string entity = html.substr(i + 1, end - i - 1);
        std::string decoded;
        if (entity == "lt") decoded = "<";
        else if (entity == "gt") decoded = ">";
        else if (entity == "amp") decoded = "&";
        else if (entity == "quot") decoded = "\"";
        else if (entity == "nbsp") decoded = " ";
        else if (entity.size() > 1 && entity[0] == '#' && IsDigit(entity[1])) {
          int code = std::atoi(entity.c_str() + 1);
          if (code >= 32 && code < 127) decoded = std::string(1, static_cast<char>(code));
        }
        if (!decoded.empty()) {
          if (pendingSpace) text += ' ';
          pendingSpace = false;
          text += decoded;
          i = end + 1;
          continue;
        }
      }
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      pendingSpace = !text.empty() && text.back() != '\n';
      ++i;
      continue;
    }
    if (pendingSpace) text += ' ';
    pendingSpace = false;
    text += c;
    ++i;
  }
  return text;
}

}  // namespace ui
