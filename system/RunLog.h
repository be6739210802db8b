// The administrator's log of a setup or uninstaller run (/LOG=<file>): UTF-8 text, one line per event, each
// written to the file at once so that a run that dies leaves its log up to that point. Lines
// name the command line, the product, each step and each installed file as the install
// reports them, each message box with its answer, each error and the outcome with its exit
// code. Without a file the log only passes its lines to OnLine (simulate prints them).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace sys {

class Platform;
class Stream;

class RunLog {
 public:
  // Creates (or empties) the file; throws sys::Error(kCannotCreateFile) when it cannot.
  RunLog(Platform& platform, const std::optional<std::string>& file);
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // A GBK line; written as UTF-8 with CR LF.
  void Line(const std::string& text);

  std::function<void(const std::string& text)> OnLine;

 private:
  Platform& platform_;
  std::unique_ptr<Stream> file_;
};

}  // namespace sys
