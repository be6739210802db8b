#include "uninstaller/UninstallDialogs.h"

#include "undo/uUnInstall.h"

namespace uninst {
namespace {

// A box lists this many names at most; a product of thousands of locked files must not give a
// box taller than the screen.
constexpr size_t kListedNames = 15;

std::string NameList(const std::vector<std::string>& names) {
  std::string list;
  for (size_t i = 0; i < names.size() && i < kListedNames; ++i) list += "\r\n" + names[i];
  if (names.size() > kListedNames) {
    list += "\r\n……以及其他 " + std::to_string(names.size() - kListedNames) + " 项";
  }
  return list;
}

}  // namespace

std::string DialogCaption(const std::string& productName) {
  return productName.empty() ? "卸载" : "卸载“" + productName + "”";
}

std::string ConfirmText(const std::string& productName) {
  return "确实要完全删除“" + productName + "”及其所有组件吗？";
}

std::string RestartQuestionText(const std::vector<std::string>& files) {
  return "以下文件正在使用或无法删除：" + NameList(files) +
         "\r\n\r\n要在下次启动 Windows 时删除它们吗？";
}

std::string OutcomeText(const UninstallReport& report) {
  const std::vector<std::string> failed = report.With(ItemOutcome::Failed);
  const std::vector<std::string> atRestart = report.With(ItemOutcome::AtRestart);
  const std::vector<std::string> folders = report.With(ItemOutcome::NotEmpty, undo::kUnInsDir);
  std::string text;
  if (failed.empty() && atRestart.empty()) {
    text = "“" + report.productName + "”已从您的计算机中删除。";
  } else {
    text = "“" + report.productName + "”已删除，但有些项目未能删除。";
  }
  if (!failed.empty()) text += "\r\n\r\n以下项目未能删除，您可以手动删除它们：" + NameList(failed);
  if (!atRestart.empty()) text += "\r\n\r\n以下项目将在下次启动 Windows 时删除：" + NameList(atRestart);
  if (!folders.empty()) text += "\r\n\r\n以下文件夹中还有其他文件，已保留：" + NameList(folders);
  if (report.logKept) text += "\r\n\r\n卸载信息已保留，您可以稍后再次运行卸载程序删除其余项目。";
  return text;
}

bool MessageBoxDialogs::ConfirmUninstall(const std::string& productName) {
  return platform_->ShowMessageBox(ConfirmText(productName), DialogCaption(productName),
                                   sys::kMbYesNo | sys::kMbIconQuestion) == sys::kIdYes;
}

bool MessageBoxDialogs::ConfirmRemoveAtRestart(const std::string& productName,
                                               const std::vector<std::string>& files) {
  return platform_->ShowMessageBox(RestartQuestionText(files), DialogCaption(productName),
                                   sys::kMbYesNo | sys::kMbIconQuestion) == sys::kIdYes;
}

void MessageBoxDialogs::Progress(const std::string&, size_t, size_t) {
  platform_->ProcessMessages();
}

void MessageBoxDialogs::ShowOutcome(const UninstallReport& report) {
  platform_->ShowMessageBox(OutcomeText(report), DialogCaption(report.productName),
                            sys::kMbOk | sys::kMbIconInformation);
}

void MessageBoxDialogs::ShowError(const std::string& productName, const std::string& message) {
  platform_->ShowMessageBox(message, DialogCaption(productName), sys::kMbOk | sys::kMbIconError);
}

}  // namespace uninst
