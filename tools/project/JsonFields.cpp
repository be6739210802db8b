#include "tools/project/JsonFields.h"

#include <cstdio>
#include <limits>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"
#include "tools/project/JsonText.h"
#include "tools/project/NameSuggestion.h"

namespace tool {
namespace {

std::string HexBytes(const std::string& bytes) {
  std::string hex;
  char pair[3];
  for (unsigned char c : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", c);
    hex += pair;
  }
  return hex;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string BytesFromHex(const std::string& hex, const std::string& path) {
  if (hex.size() % 2 != 0) throw JsonError(path, "needs an even number of hex digits");
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) throw JsonError(path, "is not hexadecimal text");
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

}  // namespace

JsonError::JsonError(const std::string& path, const std::string& detail)
    : Failure((path.empty() ? std::string("document") : path) + ": " + detail),
      path_(path),
      detail_(detail) {}

std::string TypeName(const Json& value) {
  if (value.is_number_integer()) return "integer";
  if (value.is_number_float()) return "number";
  return value.type_name();
}

Json TextToJson(const std::string& gbk) {
  try {
    return sys::sandbox::GbkToUtf8(gbk);
  } catch (const sys::Error&) {
    return Json{{"gbk", HexBytes(gbk)}};
  }
}

std::string TextFromJson(const Json& value, const std::string& path) {
  if (value.is_object()) {
    ObjectReader raw(value, path);
    const Json* hex = raw.Find("gbk");
    if (!hex || !hex->is_string()) throw JsonError(raw.PathOf("gbk"), "expected hex text");
    raw.Finish();
    return BytesFromHex(hex->get<std::string>(), raw.PathOf("gbk"));
  }
  if (!value.is_string()) throw JsonError(path, "expected text, got " + TypeName(value));
  try {
    return sys::sandbox::Utf8ToGbk(value.get<std::string>());
  } catch (const sys::Error&) {
    throw JsonError(path, "text has characters that GBK cannot hold: " +
                              FirstCharacterGbkLacks(value.get<std::string>()) + " is the first");
  }
}

int64_t IntegerFromJson(const Json& value, const std::string& path, int64_t min, int64_t max) {
  int64_t number;
  if (value.is_number_unsigned()) {
    if (value.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      throw JsonError(path, "is out of range");
    }
    number = static_cast<int64_t>(value.get<uint64_t>());
  } else if (value.is_number_integer()) {
    number = value.get<int64_t>();
  } else {
    throw JsonError(path, "expected an integer, got " + TypeName(value));
  }
  if (number < min || number > max) {
    throw JsonError(path, std::to_string(number) + " is out of range " + std::to_string(min) +
                              ".." + std::to_string(max));
  }
  return number;
}

const Json& ExpectArray(const Json& value, const std::string& path) {
  if (!value.is_array()) throw JsonError(path, "expected an array, got " + TypeName(value));
  return value;
}

ObjectReader::ObjectReader(const Json& value, std::string path)
    : value_(value), path_(std::move(path)) {
  if (!value_.is_object()) throw JsonError(path_, "expected an object, got " + TypeName(value_));
}

ObjectReader::ObjectReader(const Json& value, std::string path,
                           std::initializer_list<std::string_view> known)
    : ObjectReader(value, std::move(path)) {
  for (auto it = value_.begin(); it != value_.end(); ++it) {
    bool isKnown = false;
    for (std::string_view name : known) isKnown = isKnown || name == it.key();
    if (isKnown) continue;
    std::string hint = ClosestName(it.key(), known);
    throw JsonError(PathOf(it.key()),
                    "unknown field" + (hint.empty() ? "" : " (did you mean \"" + hint + "\"?)"));
  }
  for (std::string_view name : known) used_.insert(std::string(name));
}

std::string ObjectReader::PathOf(const std::string& name) const {
  return path_.empty() ? name : path_ + "." + name;
}

const Json* ObjectReader::Find(const std::string& name) {
  used_.insert(name);
  auto it = value_.find(name);
  if (it == value_.end() || it->is_null()) return nullptr;
  return &*it;
}

std::string ObjectReader::Text(const std::string& name, const std::string& fallback) {
  const Json* field = Find(name);
  return field ? TextFromJson(*field, PathOf(name)) : fallback;
}

std::string ObjectReader::RequiredText(const std::string& name) {
  const Json* field = Find(name);
  if (!field) throw JsonError(PathOf(name), "is required");
  return TextFromJson(*field, PathOf(name));
}

int64_t ObjectReader::Integer(const std::string& name, int64_t fallback, int64_t min,
                              int64_t max) {
  const Json* field = Find(name);
  return field ? IntegerFromJson(*field, PathOf(name), min, max) : fallback;
}

int64_t ObjectReader::RequiredInteger(const std::string& name, int64_t min, int64_t max) {
  const Json* field = Find(name);
  if (!field) throw JsonError(PathOf(name), "is required");
  return IntegerFromJson(*field, PathOf(name), min, max);
}

uint8_t ObjectReader::Flag(const std::string& name) {
  const Json* field = Find(name);
  if (!field) return 0;
  if (field->is_boolean()) return field->get<bool>() ? 1 : 0;
  if (field->is_number_integer()) {
    return static_cast<uint8_t>(IntegerFromJson(*field, PathOf(name), 0, 255));
  }
  throw JsonError(PathOf(name), "expected true or false, got " + TypeName(*field));
}

void ObjectReader::Ignore(const std::string& name) { used_.insert(name); }

void ObjectReader::Finish() const {
  for (auto it = value_.begin(); it != value_.end(); ++it) {
    if (!used_.count(it.key())) throw JsonError(PathOf(it.key()), "unknown field");
  }
}

}  // namespace tool
