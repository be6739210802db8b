// Reading the tool's JSON documents field by field with the JSON path of every value at hand,
// so that any complaint names exactly what is wrong ("files[2].kind: ..."). Each object reader
// remembers the fields it was asked for; Finish() rejects the rest as unknown.
//
// Text values are UTF-8 in JSON and GBK in the package. A text that is not valid GBK (possible
// in a damaged or foreign package) is written as {"gbk": "<hex bytes>"} so that no byte is lost.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "tools/host/ToolText.h"

namespace tool {

using Json = nlohmann::ordered_json;

// A complaint about one value of the document; the message begins with its path.
class JsonError : public Failure {
 public:
  JsonError(const std::string& path, const std::string& detail);
  const std::string& path() const { return path_; }
  const std::string& detail() const { return detail_; }

 private:
  std::string path_;
  std::string detail_;
};

// GBK text to a JSON text value, and back (path for the complaint).
Json TextToJson(const std::string& gbk);
std::string TextFromJson(const Json& value, const std::string& path);

class ObjectReader {
 public:
  // Throws JsonError unless value is an object.
  ObjectReader(const Json& value, std::string path);
  // Also throws for the first field not among known, before any value is looked at: a
  // misspelt field is reported as what it is, with the known name it most resembles.
  ObjectReader(const Json& value, std::string path, std::initializer_list<std::string_view> known);

  // The field or nullptr; null counts as absent.
  const Json* Find(const std::string& name);
  std::string PathOf(const std::string& name) const;

  std::string Text(const std::string& name, const std::string& fallback = {});
  std::string RequiredText(const std::string& name);
  int64_t Integer(const std::string& name, int64_t fallback, int64_t min, int64_t max);
  int64_t RequiredInteger(const std::string& name, int64_t min, int64_t max);
  // A flag byte: true/false for 1/0, or the byte's number (any non-zero byte is on).
  uint8_t Flag(const std::string& name);
  // Accepts the field without looking at it (inspect's figures that build computes anew).
  void Ignore(const std::string& name);
  // Throws JsonError naming the first field nobody asked for.
  void Finish() const;

 private:
  const Json& value_;
  std::string path_;
  std::set<std::string> used_;
};

// Throws JsonError unless value is an array.
const Json& ExpectArray(const Json& value, const std::string& path);
int64_t IntegerFromJson(const Json& value, const std::string& path, int64_t min, int64_t max);
std::string TypeName(const Json& value);

}  // namespace tool
