#include "app/AnswersFile.h"

#include <cstdint>
#include <utility>

#include "system/Platform.h"

namespace app {

namespace {

struct JsonMember;

struct JsonValue {
  enum class Type { Null, Boolean, Number, String, Array, Object };
  Type type = Type::Null;
  bool boolean = false;
  std::string text;
  std::vector<JsonValue> items;
  // Not a vector of pairs: clang's libstdc++ cannot instantiate a pair of a type still
  // being defined.
  std::vector<JsonMember> members;
};

struct JsonMember {
  std::string name;
  JsonValue value;
};

const char* TypeName(JsonValue::Type type) {
  switch (type) {
    case JsonValue::Type::Null:
      return "null";
    case JsonValue::Type::Boolean:
      return "a boolean";
    case JsonValue::Type::Number:
      return "a number";
    case JsonValue::Type::String:
      return "a text";
    case JsonValue::Type::Array:
      return "a list";
    case JsonValue::Type::Object:
      return "an object";
  }
  return "a value";
}

// Strict JSON (RFC 8259), nesting bounded so a hostile file cannot exhaust the
// stack.
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  JsonValue ReadDocument() {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    JsonValue value = ReadValue(0);
    SkipBlanks();
    if (pos_ != text_.size()) Fail("text after the end of the JSON value");
    return value;
  }

 private:
  static constexpr int kMaxDepth = 32;

  [[noreturn]] void Fail(const std::string& what) const {
    int line = 1, column = 1;
    for (size_t i = 0; i < pos_ && i < text_.size(); ++i) {
      column = text_[i] == '\n' ? 1 : column + 1;
      if (text_[i] == '\n') ++line;
    }
    throw AnswersError("line " + std::to_string(line) + ", column " + std::to_string(column) +
                       ": " + what);
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  bool Take(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  JsonValue ReadValue(int depth) {
    if (depth > kMaxDepth) Fail("nested too deeply");
    SkipBlanks();
    if (pos_ >= text_.size()) Fail("unexpected end of the file");
    JsonValue value;
    char c = text_[pos_];
    if (c == '{') {
      value.type = JsonValue::Type::Object;
      ++pos_;
      SkipBlanks();
      if (Take("}")) return value;
      for (;;) {
        SkipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != '"') Fail("expected a field name in quotes");
        std::string name = ReadString();
        SkipBlanks();
        if (!Take(":")) Fail("expected ':' after a field name");
        value.members.push_back({std::move(name), ReadValue(depth + 1)});
        SkipBlanks();
        if (Take("}")) return value;
        if (!Take(",")) Fail("expected ',' or '}'");
      }
    }
    if (c == '[') {
      value.type = JsonValue::Type::Array;
      ++pos_;
      SkipBlanks();
      if (Take("]")) return value;
      for (;;) {
        value.items.push_back(ReadValue(depth + 1));
        SkipBlanks();
        if (Take("]")) return value;
        if (!Take(",")) Fail("expected ',' or ']'");
      }
    }
    if (c == '"') {
      value.type = JsonValue::Type::String;
      value.text = ReadString();
      return value;
    }
    if (Take("true") || Take("false")) {
      value.type = JsonValue::Type::Boolean;
      value.boolean = text_[pos_ - 1] == 'e' && text_[pos_ - 2] == 'u';
      return value;
    }
    if (Take("null")) return value;
    if (c == '-' || (c >= '0' && c <= '9')) {
      value.type = JsonValue::Type::Number;
      while (pos_ < text_.size() &&
             std::string_view("+-.eE0123456789").find(text_[pos_]) != std::string_view::npos) {
        ++pos_;
      }
      return value;
    }
    Fail("not a JSON value");
  }

  unsigned ReadHex4() {
    if (pos_ + 4 > text_.size()) Fail("a \\u escape needs four hex digits");
    unsigned code = 0;
    for (int i = 0; i < 4; ++i) {
      char h = text_[pos_++];
      code <<= 4;
      if (h >= '0' && h <= '9')
        code |= h - '0';
      else if (h >= 'a' && h <= 'f')
        code |= h - 'a' + 10;
      else if (h >= 'A' && h <= 'F')
        code |= h - 'A' + 10;
      else
        Fail("a \\u escape needs four hex digits");
    }
    return code;
  }

  static void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  // From the opening quote; the text stays UTF-8 (checked where it is used).
  std::string ReadString() {
    ++pos_;
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) Fail("a text is not closed");
      char c = text_[pos_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Fail("a control character inside a text");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) Fail("a text is not closed");
      char e = text_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          uint32_t code = ReadHex4();
          if (code >= 0xD800 && code < 0xDC00) {
            if (!Take("\\u")) Fail("a lone surrogate in a \\u escape");
            uint32_t low = ReadHex4();
            if (low < 0xDC00 || low >= 0xE000) Fail("a lone surrogate in a \\u escape");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code < 0xE000) {
            Fail("a lone surrogate in a \\u escape");
          }
          AppendUtf8(out, code);
          break;
        }
        default:
          Fail(std::string("unknown escape \\") + e);
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
};

int Answer(const JsonValue& value) {
  if (value.type == JsonValue::Type::String && value.text == "yes") return sys::kIdYes;
  if (value.type == JsonValue::Type::String && value.text == "no") return sys::kIdNo;
  throw AnswersError("answers are \"yes\" or \"no\", not " +
                     (value.type == JsonValue::Type::String ? "\"" + value.text + "\""
                                                            : std::string(TypeName(value.type))));
}

ControlAnswer ReadControl(const std::string& page, const std::string& name,
                          const JsonValue& state) {
  ControlAnswer answer;
  answer.control = name;
  bool marks = state.type == JsonValue::Type::Array && !state.items.empty();
  for (const JsonValue& mark : state.items) marks = marks && mark.type == JsonValue::Type::Boolean;
  if (state.type == JsonValue::Type::Boolean) {
    answer.kind = ControlAnswer::Kind::Check;
    answer.checked = state.boolean;
  } else if (state.type == JsonValue::Type::String) {
    answer.kind = ControlAnswer::Kind::Text;
    answer.text = state.text;
  } else if (marks) {
    answer.kind = ControlAnswer::Kind::Marks;
    for (const JsonValue& mark : state.items) answer.marks.push_back(mark.boolean);
  } else {
    throw AnswersError("pages." + page + "." + name +
                       " is true/false (a check box), a text (an edit) or a "
                       "list of true/false "
                       "(the marks of a check list)");
  }
  return answer;
}

}  // namespace

const PageAnswers* AnswersFile::Page(const std::string& pageClass) const {
  for (const PageAnswers& page : pages) {
    if (page.page == pageClass) return &page;
  }
  return nullptr;
}

AnswersFile ParseAnswersFile(std::string_view json) {
  if (json.size() > kMaxAnswersFileBytes) throw AnswersError("the file is too large");
  JsonValue root = JsonReader(json).ReadDocument();
  AnswersFile file;
  if (root.type == JsonValue::Type::Array) {
    for (const JsonValue& value : root.items) file.answers.push_back(Answer(value));
    return file;
  }
  if (root.type != JsonValue::Type::Object) {
    throw AnswersError("expected a list of answers or an object");
  }
  for (const auto& [key, value] : root.members) {
    if (key != "answers" && key != "default" && key != "pages" && key != "cancelOn") {
      throw AnswersError("unknown field \"" + key + "\"");
    }
  }
  for (const auto& [key, value] : root.members) {
    if (key == "answers") {
      if (value.type != JsonValue::Type::Array) throw AnswersError("\"answers\" is a list");
      for (const JsonValue& answer : value.items) file.answers.push_back(Answer(answer));
    } else if (key == "default") {
      file.defaultAnswer = Answer(value);
    } else if (key == "cancelOn") {
      if (value.type != JsonValue::Type::String) {
        throw AnswersError("\"cancelOn\" is a page class name");
      }
      file.cancelOn = value.text;
    } else if (key == "pages") {
      if (value.type != JsonValue::Type::Object) {
        throw AnswersError("\"pages\" maps page class names to controls");
      }
      for (const auto& [page, controls] : value.members) {
        if (controls.type != JsonValue::Type::Object) {
          throw AnswersError("pages." + page + " maps control names to their state");
        }
        PageAnswers entry{page, {}};
        for (const auto& [name, state] : controls.members) {
          entry.controls.push_back(ReadControl(page, name, state));
        }
        file.pages.push_back(std::move(entry));
      }
    }
  }
  return file;
}

}  // namespace app
