#include "tools/Answers.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "system/sandbox/SandboxPlatform.h"
#include "tools/ToolText.h"

namespace tool {

void LoadAnswers(sys::sandbox::SandboxPlatform& sandbox, const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw Failure("cannot read the answers file " + file.string());
  nlohmann::json json;
  try {
    json = nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& error) {
    throw Failure("answers file " + file.string() + ": " + error.what());
  }
  auto answer = [&](const nlohmann::json& value) {
    if (value == "yes") return sys::kIdYes;
    if (value == "no") return sys::kIdNo;
    throw Failure("answers file " + file.string() + ": answers are \"yes\" or \"no\", not " +
                  value.dump());
  };
  const nlohmann::json& list = json.is_array() ? json : json.value("answers", nlohmann::json::array());
  if (!list.is_array()) throw Failure("answers file " + file.string() + ": \"answers\" is a list");
  std::vector<int> answers;
  for (const auto& value : list) answers.push_back(answer(value));
  int fallback = json.is_object() && json.contains("default") ? answer(json["default"]) : sys::kIdNo;
  sandbox.SetAnswers(std::move(answers), fallback);
}

}  // namespace tool
