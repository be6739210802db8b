#include "app/CommandLine.h"

#include <vector>

#include "system/Gbk.h"

namespace app {

namespace {

// Words split at blanks outside quotes; quotes group and are dropped. Each word
// remembers where it started, for /D=, which takes the rest of the line.
struct Word {
  std::string text;
  size_t start;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<Word> SplitWords(const std::string& line) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    Word word{{}, i};
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      // GBK trail bytes are never quotes or blanks (both are below 0x40), so
      // bytes will do.
      if (line[i] == '"') {
        quoted = !quoted;
      } else {
        word.text += line[i];
      }
    }
    words.push_back(word);
  }
  return words;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  text.erase(0, start);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

// "/NAME=value" with NAME matched ignoring case; nullopt when word is not that
// switch.
std::optional<std::string> ValueOf(const std::string& word, const char* name) {
  std::string prefix = std::string("/") + name + "=";
  if (!sys::StartsWithText(word, prefix)) return std::nullopt;
  return word.substr(prefix.size());
}

// A folder the install can take as it stands: a drive letter, a colon and a
// backslash.
bool IsFullLocalPath(const std::string& path) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  return path.size() >= 3 && letter(path[0]) && path[1] == ':' && path[2] == '\\';
}

}  // namespace

SetupSwitches ParseSetupSwitches(const std::string& arguments) {
  SetupSwitches result;
  std::vector<std::string> strays;
  auto fail = [&](const std::string& why) {
    if (result.error.empty()) result.error = why;
  };
  for (const Word& word : SplitWords(arguments)) {
    const std::string& text = word.text;
    if (sys::StartsWithText(text, "/D=")) {
      result.given = true;
      // The raw rest of the line: blanks and quotes inside the folder stay as
      // typed.
      size_t at = word.start + sys::FindText(std::string_view(arguments).substr(word.start), "/D=");
      std::string folder = arguments.substr(at + 3);
      // "/D=C:\My Apps" in quotes as a whole: the closing quote is no part of
      // the folder.
      if (arguments[word.start] == '"' && !folder.empty() && folder.back() == '"')
        folder.pop_back();
      folder = Trimmed(folder);
      if (folder.empty()) {
        fail("/D= 后面没有安装文件夹");
      } else if (!IsFullLocalPath(folder)) {
        fail("/D= 的安装文件夹必须是完整路径（如 C:\\Program Files\\软件）：" + folder);
      }
      result.installDir = folder;
      break;
    }
    if (sys::SameText(text, "/S")) {
      result.given = result.silent = true;
    } else if (sys::SameText(text, "/NORESTART")) {
      result.given = result.noRestart = true;
    } else if (text == "/?") {
      result.given = result.help = true;
    } else if (auto file = ValueOf(text, "ANSWERS")) {
      result.given = true;
      if (file->empty()) fail("/ANSWERS= 后面没有应答文件");
      result.answersFile = *file;
    } else if (auto file = ValueOf(text, "LOG")) {
      result.given = true;
      if (file->empty()) fail("/LOG= 后面没有日志文件");
      result.logFile = *file;
    } else if (text == "-1") {
      result.elevatedCopy = true;
    } else if (ValueOf(text, "HANDBACK")) {
      // The waiting parent's channel for the finish actions; the platform reads it.
    } else {
      strays.push_back(text);
    }
  }
  if (!result.given) return result;
  for (const std::string& stray : strays) fail("无法识别的参数：" + stray);
  if (result.answersFile && !result.silent) fail("/ANSWERS= 只用于静默安装（/S）");
  return result;
}

std::string ElevatedCopyArguments(const std::string& handBack, const std::string& arguments) {
  std::string line = "-1";
  if (!handBack.empty()) line += " " + handBack;
  if (!arguments.empty()) line += " " + arguments;
  return line;
}

std::string SetupUsageText() {
  return "用法：setup.exe [/S] [/LOG=日志文件] [/ANSWERS=应答文件] "
         "[/NORESTART] [/D=安装文件夹]\r\n"
         "\r\n"
         "/S\t静默安装：不显示任何窗口，各页取默认值或应答文件的选择\r\n"
         "/D=\t安装文件夹，须放在最后，可含空格\r\n"
         "/ANSWERS=\t应答文件（与 setup-tool simulate 的格式相同，须与 /S "
         "同用）\r\n"
         "/LOG=\t把安装过程写入 UTF-8 日志文件\r\n"
         "/NORESTART\t安装后不重启系统\r\n"
         "/?\t显示本说明\r\n"
         "\r\n"
         "退出码：0 成功，3010 成功但需要重启，1602 已取消，1603 "
         "安装失败（原因见日志），"
         "1618 本产品的另一个安装正在运行，87 参数或应答文件有误";
}

}  // namespace app
