#include "tools/SimulationScript.h"

#include <fstream>

#include "system/Platform.h"

namespace tool {

SimulationScript DefaultSimulationScript() {
  SimulationScript script;
  script.defaultAnswer = sys::kIdNo;
  return script;
}

SimulationScript LoadSimulationScript(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) throw Failure("cannot read the answers file " + file.string());
  const std::string where = "answers file " + file.string() + ": ";
  Json json;
  try {
    json = Json::parse(in);
  } catch (const Json::exception& error) {
    throw Failure(where + error.what());
  }
  auto answer = [&](const Json& value) {
    if (value == "yes") return sys::kIdYes;
    if (value == "no") return sys::kIdNo;
    throw Failure(where + "answers are \"yes\" or \"no\", not " + value.dump());
  };

  SimulationScript script = DefaultSimulationScript();
  if (!json.is_array() && !json.is_object()) {
    throw Failure(where + "expected a list of answers or an object");
  }
  const Json& list = json.is_array() ? json : json.value("answers", Json::array());
  if (!list.is_array()) throw Failure(where + "\"answers\" is a list");
  for (const auto& value : list) script.answers.push_back(answer(value));
  if (json.is_array()) return script;

  for (const auto& [key, value] : json.items()) {
    if (key != "answers" && key != "default" && key != "pages" && key != "cancelOn") {
      throw Failure(where + "unknown field \"" + key + "\"");
    }
  }
  if (json.contains("default")) script.defaultAnswer = answer(json["default"]);
  if (json.contains("cancelOn")) {
    if (!json["cancelOn"].is_string()) throw Failure(where + "\"cancelOn\" is a page class name");
    script.cancelOn = json["cancelOn"].get<std::string>();
  }
  if (json.contains("pages")) {
    const Json& pages = json["pages"];
    if (!pages.is_object()) throw Failure(where + "\"pages\" maps page class names to controls");
    for (const auto& [page, controls] : pages.items()) {
      if (!controls.is_object()) {
        throw Failure(where + "pages." + page + " maps control names to their state");
      }
      for (const auto& [control, state] : controls.items()) {
        bool marks = state.is_array() && !state.empty();
        for (const auto& mark : state.is_array() ? state : Json::array()) {
          marks = marks && mark.is_boolean();
        }
        if (!state.is_boolean() && !state.is_string() && !marks) {
          throw Failure(where + "pages." + page + "." + control +
                        " is true/false (a check box), a text (an edit) or a list of true/false "
                        "(the marks of a check list)");
        }
        script.pages[page].push_back({control, state});
      }
    }
  }
  return script;
}

}  // namespace tool
