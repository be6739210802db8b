#include "tools/project/JsonText.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <vector>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "tools/host/ToolText.h"

namespace tool {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 (overlong forms, surrogates and code
// points past U+10FFFF are not valid).
size_t Utf8SequenceLength(const std::string& text, size_t i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned min;
  unsigned code;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, min = 0x80, code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, min = 0x800, code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, min = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

bool LooksLikeUtf16(const std::string& bytes) {
  if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                            (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    return true;
  }
  // ASCII text in UTF-16 has a NUL beside every character.
  size_t nuls = 0, sample = std::min<size_t>(bytes.size(), 512);
  for (size_t i = 0; i < sample; ++i) nuls += bytes[i] == '\0';
  return sample >= 2 && nuls * 4 >= sample;
}

bool IsGbk(const std::string& bytes) {
  try {
    sys::sandbox::GbkToUtf8(bytes);
    return true;
  } catch (const sys::Error&) {
    return false;
  }
}

std::string FormatCodePoint(const std::string& character) {
  unsigned code = 0;
  unsigned char lead = static_cast<unsigned char>(character[0]);
  code = character.size() == 1 ? lead
         : character.size() == 2 ? lead & 0x1F
         : character.size() == 3 ? lead & 0x0F
                                 : lead & 0x07;
  for (size_t k = 1; k < character.size(); ++k) {
    code = (code << 6) | (static_cast<unsigned char>(character[k]) & 0x3F);
  }
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", code);
  // Control characters are named by number only, so none reaches the terminal.
  return code < 0x20 || code == 0x7F ? text : std::string(text) + " (" + character + ")";
}

}  // namespace

void CheckUtf8(const std::string& bytes, const std::string& name) {
  if (LooksLikeUtf16(bytes)) {
    throw Failure(name + ": not UTF-8 (it looks like UTF-16); save it as UTF-8");
  }
  size_t line = 1, column = 1;
  for (size_t i = 0; i < bytes.size();) {
    size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) {
      std::string guess = IsGbk(bytes) ? " (it looks like GBK)" : "";
      throw Failure(name + ": not UTF-8" + guess + ": line " + std::to_string(line) +
                    ", column " + std::to_string(column) + "; save it as UTF-8");
    }
    if (bytes[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
    i += length;
  }
}

std::string FirstCharacterGbkLacks(const std::string& utf8) {
  for (size_t i = 0; i < utf8.size();) {
    size_t length = std::max<size_t>(Utf8SequenceLength(utf8, i), 1);
    std::string character = utf8.substr(i, length);
    try {
      sys::sandbox::Utf8ToGbk(character);
    } catch (const sys::Error&) {
      return Utf8SequenceLength(utf8, i) ? FormatCodePoint(character) : "a byte that is not UTF-8";
    }
    i += length;
  }
  return {};
}

std::string JsonFile::Where(const std::string& path) const {
  auto at = locator.Find(path);
  if (!at) return name;
  return name + ":" + std::to_string(at->line) + ":" + std::to_string(at->column);
}

JsonFile ParseJsonText(std::string text, const std::string& name) {
  CheckUtf8(text, name);
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  // JSON lets a later duplicate replace an earlier field without a word; in a file a person
  // wrote that hides a mistake, so duplicates are refused while parsing.
  std::vector<std::set<std::string>> keys;
  std::string duplicate;
  auto refuseDuplicates = [&](int, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::object_start) keys.emplace_back();
    if (event == Json::parse_event_t::object_end && !keys.empty()) keys.pop_back();
    if (event == Json::parse_event_t::key && !keys.empty() &&
        !keys.back().insert(parsed.get<std::string>()).second && duplicate.empty()) {
      duplicate = parsed.get<std::string>();
    }
    return true;
  };
  JsonFile file;
  file.name = name;
  try {
    file.document = Json::parse(text, refuseDuplicates);
  } catch (const Json::exception& error) {
    // what() is "[json.exception.parse_error.101] parse error at line 3, column 14: ...", or
    // "[json.exception.out_of_range.406] number overflow parsing '1e999'" for a number no
    // double holds.
    std::string message = error.what();
    if (size_t cut = message.find("] "); cut != std::string::npos) message.erase(0, cut + 2);
    throw Failure(name + ": " + message);
  }
  if (!duplicate.empty()) {
    throw Failure(name + ": field \"" + duplicate + "\" is given twice in one object");
  }
  file.locator = JsonLocator(text);
  file.text = std::move(text);
  return file;
}

JsonFile ReadJsonFile(const std::filesystem::path& path) {
  if (path == "-") {
    std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    return ParseJsonText(std::move(text), "<stdin>");
  }
  std::ifstream input(path, std::ios::binary);
  if (!input) throw Failure("cannot open '" + PathText(path) + "'");
  std::string text{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
  return ParseJsonText(std::move(text), PathText(path));
}

}  // namespace tool
