#include "wizard/SetupErrors.h"

#include <string_view>

#include "package/uCommon.h"
#include "package/uKernal.h"
#include "system/Error.h"
#include "system/Platform.h"
#include "system/SystemHelpers.h"
#include "undo/Rollback.h"

namespace wizard {

namespace {

constexpr uint32_t kMbIconError = 0x10;

// The part of text between prefix and suffix, when text has that shape.
bool Between(const std::string& text, std::string_view prefix, std::string_view suffix,
             std::string& inner) {
  if (text.size() < prefix.size() + suffix.size()) return false;
  if (text.compare(0, prefix.size(), prefix) != 0) return false;
  if (text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  inner = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  return true;
}

bool IsDamagedPackage(const std::string& message) {
  return message == package::kDamagedPackage || message == package::kZlibError ||
         message == sys::kStreamReadError;
}

// The runtime's texts in Chinese; a text it does not know stays as it is.
std::string Translate(const std::string& message) {
  std::string inner;
  if (Between(message, "Cannot create file \"", "\"", inner)) return "无法创建文件“" + inner + "”";
  if (Between(message, "Cannot open file \"", "\"", inner)) return "无法打开文件“" + inner + "”";
  if (Between(message, "Cannot write file \"", "\"", inner)) return "无法写入文件“" + inner + "”";
  if (Between(message, "Failed to create key ", "", inner)) return "无法创建注册表项“" + inner + "”";
  if (Between(message, "Failed to set data for '", "'", inner)) {
    return "无法写入注册表值“" + inner + "”";
  }
  if (message == sys::kStreamWriteError) return "写入文件失败，磁盘空间可能不足";
  return message;
}

}  // namespace

std::string SetupFailureText(const std::exception& error) {
  const std::string message = error.what();
  if (IsDamagedPackage(message)) {
    return "安装程序已损坏或不完整，无法继续安装。请重新下载安装程序。";
  }
  std::string text = "安装没有完成：" + Translate(message) + "。";
  // The run has been undone; what it could not undo the user must hear about.
  if (const auto* rollback = dynamic_cast<const undo::RollbackError*>(&error)) {
    if (!rollback->notUndone().empty()) {
      text += "\r\n\r\n已做的更改已撤销，但以下各项无法撤销：";
      for (const std::string& line : rollback->notUndone()) text += "\r\n" + line;
    }
  }
  return text;
}

std::string SetupFailureCaption() {
  return sys::WizardTitle.empty() ? std::string("安装程序") : sys::WizardTitle;
}

void ReportSetupError(const std::exception& error) {
  if (dynamic_cast<const sys::Abort*>(&error)) return;
  sys::CurrentPlatform().ShowMessageBox(SetupFailureText(error), SetupFailureCaption(),
                                        sys::kMbOk | kMbIconError);
}

}  // namespace wizard
