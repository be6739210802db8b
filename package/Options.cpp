#include "package/Options.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "package/UninstallRegistration.h"
#include "package/uCommon.h"
#include "package/uTypes.h"
#include "system/Error.h"
#include "system/Gbk.h"

namespace package {

namespace {

// Whether text is a decimal number (digits with an optional fraction and exponent, at least one
// digit; no sign, no "inf" or "nan") and that number is not zero. Read by hand rather than with
// a floating-point parser, which would cost setup.exe about 42 KB for one setting. Numbers out
// of the range of a double (1e309 or more, or under 1e-323 but not zero) are not numbers either.
std::optional<bool> DecimalIsNonZero(std::string_view text) {
  size_t at = 0;
  int64_t integerDigits = 0;  // integer digits from the first non-zero one on
  int64_t fractionZeros = 0;  // fraction digits before the first non-zero one
  bool digits = false, nonZero = false, fraction = false;
  for (; at < text.size(); ++at) {
    char c = text[at];
    if (c == '.' && !fraction) {
      fraction = true;
      continue;
    }
    if (c < '0' || c > '9') break;
    digits = true;
    nonZero = nonZero || c != '0';
    if (!fraction && nonZero) integerDigits = std::min<int64_t>(integerDigits + 1, 100000);
    if (fraction && !nonZero) fractionZeros = std::min<int64_t>(fractionZeros + 1, 100000);
  }
  if (!digits) return std::nullopt;
  // The power of ten of the first non-zero digit.
  int64_t leadingPower = integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1);
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    size_t first = at;
    int64_t exponent = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
      exponent = std::min<int64_t>(exponent * 10 + (text[at] - '0'), 100000);
    if (at == first) return std::nullopt;
    leadingPower += negative ? -exponent : exponent;
  }
  if (at != text.size()) return std::nullopt;
  if (nonZero && (leadingPower > 308 || leadingPower < -323)) return std::nullopt;
  return nonZero;
}

}  // namespace

bool ReadBoolean(const std::string& text) {
  std::string_view value = text;
  size_t first = value.find_first_not_of(' ');
  size_t last = value.find_last_not_of(' ');
  std::string_view trimmed =
      first == std::string_view::npos ? std::string_view() : value.substr(first, last - first + 1);
  std::string_view digits = trimmed;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
  if (std::optional<bool> number = DecimalIsNonZero(digits)) return *number;
  if (sys::SameText(trimmed, "True")) return true;
  if (sys::SameText(trimmed, "False")) return false;
  throw sys::Error("'" + text + "' is not a valid boolean value");
}

}  // namespace package

void TCompile::ApplyOptions() {
  for (const auto& item : InfoList)
    if (item->Group == package::kGroupBasic && item->Caption == package::kCaptionShowWizard)
      Options.ShowWizard = item->Value == package::kSwitchOn;

  std::vector<TCompileData*> items;
  GetGroupItems(package::kGroupTasks, items);
  for (const TCompileData* item : items) {
    if (sys::SameText(item->Caption, package::TaskCaptions[1]))
      Options.DesktopIcon = item->Value == package::kSwitchOn;
    if (sys::SameText(item->Caption, package::TaskCaptions[2]))
      Options.QuickLaunchIcon = item->Value == package::kSwitchOn;
  }

  Options.CreateStartMenu = 1;
  GetGroupItems(package::kGroupStartMenu, items);
  for (const TCompileData* item : items)
    if (sys::SameText(item->Caption, package::StartMenuCaptions[1]))
      Options.StartMenuFolder = item->Value;

  if (Patched) {
    package::ReadRegisteredInstallDir(platform(), Serial, Options.InstallDir);
  } else {
    GetGroupItems(package::kGroupInstallDir, items);
    for (const TCompileData* item : items)
      if (sys::SameText(item->Caption, package::InstallDirCaptions[1]))
        Options.InstallDir = ExpandSystemPath(item->Value);
  }

  GetGroupItems(package::kGroupFinish, items);
  for (const TCompileData* item : items) {
    if (item->Value.empty()) continue;
    if (sys::SameText(item->Caption, package::FinishCaptions[1])) {
      Options.RunApp = 1;
      Options.AppFile = item->Value;
    }
    if (sys::SameText(item->Caption, package::FinishCaptions[2])) {
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
