#include "package/Options.h"

#include <charconv>

#include "package/UninstallRegistration.h"
#include "package/uCommon.h"
#include "package/uTypes.h"
#include "system/Error.h"
#include "system/Gbk.h"

bool ReadBoolean(const std::string& text) {
  std::string_view value = text;
  size_t first = value.find_first_not_of(' ');
  size_t last = value.find_last_not_of(' ');
  std::string_view trimmed =
      first == std::string_view::npos ? std::string_view() : value.substr(first, last - first + 1);
  std::string_view digits = trimmed;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
  // A number: digits with an optional fraction and exponent; "inf" and "nan" are not numbers.
  if (!digits.empty() && ((digits[0] >= '0' && digits[0] <= '9') || digits[0] == '.')) {
    double number = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec == std::errc() && end == digits.data() + digits.size()) return number != 0;
  }
  if (sys::SameText(trimmed, "True")) return true;
  if (sys::SameText(trimmed, "False")) return false;
  throw sys::Error("'" + text + "' is not a valid boolean value");
}

void TCompile::ApplyOptions() {
  for (const auto& item : InfoList)
    if (item->Group == kGroupBasic && item->Caption == kCaptionShowWizard)
      Options.ShowWizard = item->Value == kSwitchOn;

  std::vector<TCompileData*> items;
  GetGroupItems(kGroupTasks, items);
  for (const TCompileData* item : items) {
    if (sys::SameText(item->Caption, TaskCaptions[1])) Options.DesktopIcon = item->Value == kSwitchOn;
    if (sys::SameText(item->Caption, TaskCaptions[2]))
      Options.QuickLaunchIcon = item->Value == kSwitchOn;
  }

  Options.CreateStartMenu = 1;
  GetGroupItems(kGroupStartMenu, items);
  for (const TCompileData* item : items)
    if (sys::SameText(item->Caption, StartMenuCaptions[1])) Options.StartMenuFolder = item->Value;

  if (Patched) {
    ReadRegisteredInstallDir(platform(), Serial, Options.InstallDir);
  } else {
    GetGroupItems(kGroupInstallDir, items);
    for (const TCompileData* item : items)
      if (sys::SameText(item->Caption, InstallDirCaptions[1]))
        Options.InstallDir = ExpandSystemPath(item->Value);
  }

  GetGroupItems(kGroupFinish, items);
  for (const TCompileData* item : items) {
    if (item->Value.empty()) continue;
    if (sys::SameText(item->Caption, FinishCaptions[1])) {
      Options.RunApp = 1;
      Options.AppFile = item->Value;
    }
    if (sys::SameText(item->Caption, FinishCaptions[2])) {
      Options.ShowReadme = 1;
      Options.ReadmeFile = item->Value;
    }
  }
}

const TCompileData* FindBasicSetting(const TCompile& compile, const std::string& caption) {
  for (const auto& item : compile.InfoList) {
    if (item->Group == 0 && sys::SameText(item->Caption, caption)) return item.get();
  }
  return nullptr;
}
