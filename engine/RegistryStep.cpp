#include "engine/RegistryStep.h"

#include <array>
#include <string_view>

#include "engine/InstallContext.h"
#include "engine/InstallSteps.h"
#include "package/uCommon.h"
#include "package/uSystem.h"
#include "system/Gbk.h"
#include "undo/uUnInstall.h"

namespace {

constexpr std::string_view kWindowsMacro = "[Windows]";
constexpr std::string_view kInstallDirMacro = "[安装目录]";

struct RootName {
  std::string_view name;
  sys::RegRoot root;
};

constexpr std::array<RootName, 5> kRoots{{
    {"HKEY_CLASSES_ROOT", sys::kHkeyClassesRoot},
    {"HKEY_CURRENT_USER", sys::kHkeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", sys::kHkeyLocalMachine},
    {"HKEY_USERS", sys::kHkeyUsers},
    {"HKEY_CURRENT_CONFIG", sys::kHkeyCurrentConfig},
}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// The text without its first count bytes (the macro and the separator after it).
std::string After(const std::string& text, size_t count) {
  return count < text.size() ? text.substr(count) : std::string();
}

void WriteValue(engine::InstallContext& ctx, sys::RegistryKey& key, const TRegInfoData& value) {
  switch (value.ValueType) {
    case 0:
      key.WriteString(value.ValueName,
                      ExpandRegMacros(value.ValueData, ctx.platform.WindowsDirectory(),
                                      ctx.compile.Options.InstallDir));
      break;
    case 1:
      key.WriteInteger(value.ValueName, static_cast<uint32_t>(HexToInt(value.ValueData)));
      break;
    case 2:
      key.WriteBinary(value.ValueName, HexToBytes(value.ValueData));
      break;
    default:
      break;
  }
}

}  // namespace

std::optional<engine::RegKeyPath> ParseRegKey(const std::string& keyText) {
  TStringList parts;
  SplitText(keyText, "\\", parts);
  if (parts.size() < 2) return std::nullopt;
  for (const RootName& root : kRoots) {
    if (!sys::SameText(parts[1], root.name)) continue;
    engine::RegKeyPath key{root.root, {}};
    for (size_t i = 2; i < parts.size(); ++i) {
      if (i > 2) key.subkey += '\\';
      key.subkey += parts[i];
    }
    return key;
  }
  return std::nullopt;
}

std::string ExpandRegMacros(const std::string& text, const std::string& windowsDir,
                            const std::string& installDir) {
  if (sys::StartsWithText(text, kWindowsMacro)) {
    return windowsDir + "\\" + After(text, kWindowsMacro.size() + 1);
  }
  if (text.compare(0, kInstallDirMacro.size(), kInstallDirMacro) == 0) {
    return installDir + "\\" + After(text, kInstallDirMacro.size() + 1);
  }
  return text;
}

int64_t HexToInt(const std::string& text) {
  // Horner's rule gives the sum of digit * 16^(digits after it), modulo 2^64.
  uint64_t value = 0;
  for (char c : text) value = value * 16 + static_cast<uint64_t>(HexDigit(c));
  return static_cast<int64_t>(value);
}

std::string HexToBytes(const std::string& text) {
  std::string digits = text;
  if (digits.size() % 2 != 0) digits += '0';
  std::string bytes(digits.size() / 2, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(HexToInt(digits.substr(2 * i, 2)) & 0xFF);
  }
  return bytes;
}

void RunRegFile(sys::Platform& platform, const std::string& path) {
  platform.RunCommandLine("Regedit /s \"" + path + "\"", sys::kSwShowNormal);
}

namespace engine {

void RunRegistryStep(InstallContext& ctx) {
  TCompile& compile = ctx.compile;
  if (!compile.FileList.empty() || !compile.RegFolderList.empty() || !compile.RegList.empty()) {
    compile.ReportStatus("正在写入注册表信息，请稍候");
  }
  for (const auto& entry : compile.FileList) {
    if (entry->EntryKind == package::kEntryRegFile &&
        MatchesTargetOs(entry->TargetOs, ctx.osVersion)) {
      RunRegFile(ctx.platform, entry->SourcePath);
    }
  }
  // A text without a known root or without a subkey names nothing to create.
  for (const std::string& text : compile.RegFolderList) {
    auto key = ParseRegKey(text);
    if (!key || key->subkey.empty()) continue;
    if (!ctx.platform.KeyExists(key->root, key->subkey)) ctx.log.ForceRegKey(key->subkey, key->root);
  }
  for (const auto& value : compile.RegList) {
    if (!MatchesTargetOs(value->TargetOs, ctx.osVersion)) continue;
    auto path = ParseRegKey(value->KeyPath);
    if (!path || path->subkey.empty()) continue;
    auto key = ctx.platform.OpenKey(path->root, path->subkey, true);
    if (!key) continue;
    WriteValue(ctx, *key, *value);
    ctx.log.AddRegValue(std::to_string(path->root), path->subkey, value->ValueName);
  }
}

}  // namespace engine
