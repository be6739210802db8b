#include "tools/project/JsonLocator.h"

#include <vector>

#include <nlohmann/json.hpp>

namespace tool {
namespace {

// Walks the text with an explicit stack, so a deeply nested document cannot exhaust the
// program's stack.
class Scanner {
 public:
  Scanner(const std::string& text, std::map<std::string, TextPosition>& places)
      : text_(text), places_(places) {
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = lineStart_ = countedFrom_ = 3;
  }

  void Run() {
    struct Open {
      std::string path;
      bool array;
      size_t index;
    };
    std::vector<Open> open;
    std::string path;  // the path of the value about to be read
    bool expectValue = true;
    while (true) {
      SkipBlanks();
      if (pos_ >= text_.size()) return;
      if (expectValue) {
        places_.emplace(path, Here());
        char c = text_[pos_];
        if (c == '{' || c == '[') {
          ++pos_;
          open.push_back({path, c == '[', 0});
          SkipBlanks();
          if (pos_ < text_.size() && (text_[pos_] == '}' || text_[pos_] == ']')) {
            ++pos_;
            open.pop_back();
            expectValue = false;
            continue;
          }
          if (c == '[') {
            path = open.back().path + "[0]";
          } else if (!ReadMember(open.back().path, path)) {
            return;
          }
          continue;
        }
        SkipScalar();
        expectValue = false;
        continue;
      }
      if (open.empty()) return;
      char c = text_[pos_++];
      if (c == ',') {
        Open& top = open.back();
        if (top.array) {
          path = top.path + "[" + std::to_string(++top.index) + "]";
        } else if (!ReadMember(top.path, path)) {
          return;
        }
        expectValue = true;
      } else if (c == '}' || c == ']') {
        open.pop_back();
      } else {
        return;  // not JSON after all; keep what was found
      }
    }
  }

 private:
  // Reads `"key" :` and records the key's place under the member's path.
  bool ReadMember(const std::string& objectPath, std::string& memberPath) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != '"') return false;
    TextPosition at = Here();
    size_t start = pos_;
    SkipString();
    std::string key;
    try {
      key = nlohmann::json::parse(text_.substr(start, pos_ - start)).get<std::string>();
    } catch (const nlohmann::json::exception&) {
      return false;
    }
    memberPath = objectPath.empty() ? key : objectPath + "." + key;
    places_.emplace(memberPath, at);
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != ':') return false;
    ++pos_;
    return true;
  }

  void SkipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        lineStart_ = pos_ + 1;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return;
      }
      ++pos_;
    }
  }

  void SkipString() {
    ++pos_;
    while (pos_ < text_.size() && text_[pos_] != '"') pos_ += text_[pos_] == '\\' ? 2 : 1;
    ++pos_;
  }

  void SkipScalar() {
    if (text_[pos_] == '"') {
      SkipString();
      return;
    }
    while (pos_ < text_.size() && std::string_view(",]} \t\r\n").find(text_[pos_]) ==
                                      std::string_view::npos) {
      ++pos_;
    }
  }

  // Columns are counted onward from the last place asked for, so a long single-line document
  // is not scanned again for every value.
  TextPosition Here() {
    if (countedFrom_ < lineStart_) {
      countedFrom_ = lineStart_;
      column_ = 1;
    }
    for (; countedFrom_ < pos_ && countedFrom_ < text_.size(); ++countedFrom_) {
      if ((static_cast<unsigned char>(text_[countedFrom_]) & 0xC0) != 0x80) ++column_;
    }
    return {line_, column_};
  }

  const std::string& text_;
  std::map<std::string, TextPosition>& places_;
  size_t pos_ = 0;
  size_t line_ = 1;
  size_t lineStart_ = 0;
  size_t countedFrom_ = 0;
  size_t column_ = 1;
};

}  // namespace

JsonLocator::JsonLocator(const std::string& text) { Scanner(text, places_).Run(); }

std::optional<TextPosition> JsonLocator::Find(const std::string& path) const {
  std::string at = path;
  while (true) {
    if (auto it = places_.find(at); it != places_.end()) return it->second;
    if (at.empty()) return std::nullopt;
    size_t cut = at.find_last_of(".[");
    at = cut == std::string::npos ? std::string() : at.substr(0, cut);
  }
}

}  // namespace tool
