#include "system/sandbox/MachineConfig.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "system/Error.h"
#include "system/Platform.h"
#include "system/sandbox/Encoding.h"

namespace sys::sandbox {
namespace {

using nlohmann::json;

constexpr int64_t kGiB = 1024LL * 1024 * 1024;

std::string AnswerName(int id) {
  switch (id) {
    case kIdOk: return "ok";
    case 2: return "cancel";
    case kIdYes: return "yes";
    case kIdNo: return "no";
    default: return std::to_string(id);
  }
}

// A key of "specialFolders": the folder's CSIDL number in decimal ("38").
int FolderNumber(const std::string& key) {
  int number = 0;
  const char* end = key.data() + key.size();
  const auto [stop, error] = std::from_chars(key.data(), end, number);
  if (error != std::errc() || stop != end || key.empty()) {
    throw Error("machine.json: special folder \"" + key + "\" is not a number");
  }
  return number;
}

int AnswerId(const json& value) {
  if (value.is_number_integer()) return value.get<int>();
  std::string name = value.get<std::string>();
  if (name == "ok") return kIdOk;
  if (name == "cancel") return 2;
  if (name == "yes") return kIdYes;
  if (name == "no") return kIdNo;
  throw Error("machine.json: unknown answer " + name);
}

std::string Text(const json& value) { return Utf8ToGbk(value.get<std::string>()); }

}  // namespace

MachineConfig MachineConfig::Defaults() {
  MachineConfig config;
  config.windowsDirectory = "C:\\Windows";
  config.tempDirectory = "C:\\Users\\user\\AppData\\Local\\Temp\\";
  config.specialFolders = {
      {kCsidlDesktop, "C:\\Users\\user\\Desktop"},
      {kCsidlPrograms, "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {kCsidlCommonPrograms, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
      {kCsidlAppData, "C:\\Users\\user\\AppData\\Roaming"},
      {kCsidlProgramFiles, "C:\\Program Files"},
  };
  config.freeSpace = {{'C', 50 * kGiB}};
  config.exePath = "C:\\Users\\user\\Downloads\\setup.exe";
  config.workingDirectory = "C:\\Users\\user\\Downloads";
  // What the context menu of a shortcut offers on a Chinese Windows 7.
  config.shellVerbs = {"打开(&O)",       "打开文件位置(&I)", "以管理员身份运行(&A)",
                       "锁定到任务栏(&K)", "附到「开始」菜单(&U)", "还原以前的版本(&V)",
                       "剪切(&T)",       "复制(&C)",         "删除(&D)",
                       "重命名(&M)",     "属性(&R)"};
  return config;
}

std::vector<std::string> EnglishShellVerbs() {
  return {"&Open", "Open file &location", "Run as &administrator", "Pin to Tas&kbar",
          "Pin to Start Men&u", "Restore previous &versions", "Cu&t", "&Copy", "&Delete",
          "Rena&me", "P&roperties"};
}

MachineConfig MachineConfig::FromJson(const json& j) {
  MachineConfig config = Defaults();
  try {
    if (j.contains("versionText")) config.versionText = Text(j["versionText"]);
    if (j.contains("windowsDirectory")) config.windowsDirectory = Text(j["windowsDirectory"]);
    if (j.contains("tempDirectory")) config.tempDirectory = Text(j["tempDirectory"]);
    if (j.contains("specialFolders")) {
      config.specialFolders.clear();
      for (const auto& [number, folder] : j["specialFolders"].items())
        config.specialFolders[FolderNumber(number)] = Text(folder);
    }
    if (j.contains("utcOffsetMinutes")) config.utcOffsetMinutes = j["utcOffsetMinutes"].get<int>();
    if (j.contains("freeSpace")) {
      config.freeSpace.clear();
      for (const auto& [drive, bytes] : j["freeSpace"].items()) {
        if (drive.empty()) continue;
        char letter = drive[0];
        if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
        config.freeSpace[letter] = bytes.get<int64_t>();
      }
    }
    if (j.contains("answers")) {
      config.answers.clear();
      for (const json& answer : j["answers"]) config.answers.push_back(AnswerId(answer));
    }
    if (j.contains("defaultAnswer")) config.defaultAnswer = AnswerId(j["defaultAnswer"]);
    if (j.contains("elevation")) config.elevationAccepted = j["elevation"].get<std::string>() != "refuse";
    if (j.contains("exitCode")) config.exitCode = j["exitCode"].get<uint32_t>();
    if (j.contains("exePath")) config.exePath = Text(j["exePath"]);
    if (j.contains("paramCount")) config.paramCount = j["paramCount"].get<int>();
    if (j.contains("workingDirectory")) config.workingDirectory = Text(j["workingDirectory"]);
    if (j.contains("shellVerbs")) {
      config.shellVerbs.clear();
      for (const json& verb : j["shellVerbs"]) config.shellVerbs.push_back(Text(verb));
    }
  } catch (const json::exception& e) {
    throw Error(std::string("machine.json: ") + e.what());
  }
  return config;
}

json MachineConfig::ToJson() const {
  json j = json::object();
  j["versionText"] = GbkToUtf8(versionText);
  j["windowsDirectory"] = GbkToUtf8(windowsDirectory);
  j["tempDirectory"] = GbkToUtf8(tempDirectory);
  json folders = json::object();
  for (const auto& [number, folder] : specialFolders) folders[std::to_string(number)] = GbkToUtf8(folder);
  j["specialFolders"] = folders;
  j["utcOffsetMinutes"] = utcOffsetMinutes;
  json space = json::object();
  for (const auto& [drive, bytes] : freeSpace) space[std::string(1, drive)] = bytes;
  j["freeSpace"] = space;
  json scripted = json::array();
  for (int answer : answers) scripted.push_back(AnswerName(answer));
  j["answers"] = scripted;
  j["defaultAnswer"] = AnswerName(defaultAnswer);
  j["elevation"] = elevationAccepted ? "accept" : "refuse";
  j["exitCode"] = exitCode;
  j["exePath"] = GbkToUtf8(exePath);
  j["paramCount"] = paramCount;
  j["workingDirectory"] = GbkToUtf8(workingDirectory);
  json verbs = json::array();
  for (const std::string& verb : shellVerbs) verbs.push_back(GbkToUtf8(verb));
  j["shellVerbs"] = verbs;
  return j;
}

MachineConfig MachineConfig::LoadOrCreate(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    MachineConfig config = Defaults();
    config.Save(file);
    return config;
  }
  std::stringstream text;
  text << in.rdbuf();
  json j = json::parse(text.str(), nullptr, false);
  if (j.is_discarded() || !j.is_object()) throw Error("machine.json is not a JSON object: " + file.string());
  return FromJson(j);
}

void MachineConfig::Save(const std::filesystem::path& file) const {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << ToJson().dump(2) << "\n";
  if (!out) throw Error("Cannot write " + file.string());
}

}  // namespace sys::sandbox
