#include "tools/simulation/SimulationScript.h"

#include "system/Platform.h"
#include "tools/project/JsonText.h"
#include "tools/project/NameSuggestion.h"
#include "tools/simulation/ScriptablePages.h"

namespace tool {
namespace {

// Complaints name the file, the line and column, and the JSON path.
class ScriptReader {
 public:
  explicit ScriptReader(const JsonFile& file) : file_(file) {}

  [[noreturn]] void Fail(const std::string& path, const std::string& problem) const {
    throw Failure("answers file " + file_.Where(path) + ": " + (path.empty() ? "" : path + ": ") +
                  problem);
  }

  int Answer(const Json& value, const std::string& path) const {
    if (value == "yes") return sys::kIdYes;
    if (value == "no") return sys::kIdNo;
    Fail(path, "answers are \"yes\" or \"no\", not " + value.dump());
  }

  const ScriptablePage& Page(const std::string& name, const std::string& path) const {
    std::vector<std::string> names;
    for (const ScriptablePage& page : ScriptablePages()) {
      if (page.className == name) return page;
      names.push_back(page.className);
    }
    std::string hint = ClosestName(name, names);
    std::string all;
    for (const std::string& known : names) all += (all.empty() ? "" : ", ") + known;
    Fail(path, "no page class \"" + name + "\"" +
                   (hint.empty() ? "" : " (did you mean \"" + hint + "\"?)") + "; the pages are " +
                   all);
  }

  void CheckControl(const ScriptablePage& page, const std::string& control, const Json& state,
                    const std::string& path) const {
    std::vector<std::string> names;
    for (const ScriptableControl& known : page.controls) {
      if (known.name != control) {
        names.push_back(known.name);
        continue;
      }
      bool marks = state.is_array() && !state.empty();
      for (const auto& mark : state.is_array() ? state : Json::array()) {
        marks = marks && mark.is_boolean();
      }
      bool fits = known.kind == ScriptableKind::CheckBox ? state.is_boolean()
                  : known.kind == ScriptableKind::Edit   ? state.is_string()
                                                         : marks;
      if (!fits) Fail(path, std::string("takes ") + DescribeScriptableKind(known.kind));
      return;
    }
    std::string hint = ClosestName(control, names);
    std::string all;
    for (const std::string& known : names) all += (all.empty() ? "" : ", ") + known;
    Fail(path, page.className + " has no control \"" + control + "\" a person can set" +
                   (hint.empty() ? "" : " (did you mean \"" + hint + "\"?)") +
                   (all.empty() ? "; it has none" : "; it has " + all));
  }

 private:
  const JsonFile& file_;
};

}  // namespace

SimulationScript DefaultSimulationScript() {
  SimulationScript script;
  script.defaultAnswer = sys::kIdNo;
  return script;
}

SimulationScript LoadSimulationScript(const std::filesystem::path& path) {
  JsonFile file;
  try {
    file = ReadJsonFile(path);
  } catch (const Failure& error) {
    throw Failure(std::string("answers file ") + error.what());
  }
  const Json& json = file.document;
  ScriptReader reader(file);

  SimulationScript script = DefaultSimulationScript();
  if (!json.is_array() && !json.is_object()) reader.Fail("", "expected a list of answers or an object");
  const Json& list = json.is_array() ? json : json.value("answers", Json::array());
  const std::string listPath = json.is_array() ? "" : "answers";
  if (!list.is_array()) reader.Fail(listPath, "is a list of \"yes\" and \"no\"");
  for (size_t i = 0; i < list.size(); ++i) {
    script.answers.push_back(reader.Answer(list[i], listPath + "[" + std::to_string(i) + "]"));
  }
  if (json.is_array()) return script;

  for (const auto& [key, value] : json.items()) {
    if (key != "answers" && key != "default" && key != "pages" && key != "cancelOn") {
      std::string hint = ClosestName(key, {"answers", "default", "pages", "cancelOn"});
      reader.Fail(key, "unknown field" + (hint.empty() ? "" : " (did you mean \"" + hint + "\"?)"));
    }
  }
  if (json.contains("default")) script.defaultAnswer = reader.Answer(json["default"], "default");
  if (json.contains("cancelOn")) {
    if (!json["cancelOn"].is_string()) reader.Fail("cancelOn", "is a page class name");
    script.cancelOn = reader.Page(json["cancelOn"].get<std::string>(), "cancelOn").className;
  }
  if (json.contains("pages")) {
    const Json& pages = json["pages"];
    if (!pages.is_object()) reader.Fail("pages", "maps page class names to controls");
    for (const auto& [pageName, controls] : pages.items()) {
      const std::string pagePath = "pages." + pageName;
      const ScriptablePage& page = reader.Page(pageName, pagePath);
      if (!controls.is_object()) reader.Fail(pagePath, "maps control names to their state");
      for (const auto& [control, state] : controls.items()) {
        reader.CheckControl(page, control, state, pagePath + "." + control);
        script.pages[pageName].push_back({control, state});
      }
    }
  }
  return script;
}

}  // namespace tool
