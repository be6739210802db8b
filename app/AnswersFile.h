// The answers file of a silent run, the same file setup-tool simulate plays:
//
//   {"pages": {"TfrmAddonsTask": {"CheckBox1": false}, "TfrmSelectInstallDir": {"Edit1": "D:\\A"}},
//    "cancelOn": "TfrmReadyIns", "answers": ["no", "yes"], "default": "no"}
//
// or a plain list of answers (["yes", "no"]). Every field is optional; an unknown field, a
// value of the wrong kind or text that is not JSON is an error naming the place. A control
// takes true/false (a check box), a text (typed into an edit) or a list of true/false (the
// marks of a check list). Whether the pages and controls exist is the silent run's check
// (SilentRun.h), which knows the forms.
//
// The reader is the runtime's own (setup.exe carries no JSON library): strict JSON, nesting
// and size bounded, texts kept as UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/Error.h"

namespace app {

struct ControlAnswer {
  enum class Kind { Check, Text, Marks };
  std::string control;
  Kind kind = Kind::Check;
  bool checked = false;
  std::string text;  // UTF-8
  std::vector<bool> marks;
};

struct PageAnswers {
  std::string page;
  std::vector<ControlAnswer> controls;
};

struct AnswersFile {
  std::vector<PageAnswers> pages;  // in file order
  std::string cancelOn;
  std::vector<int> answers;  // sys::kIdYes / sys::kIdNo, for the question boxes in order
  std::optional<int> defaultAnswer;

  const PageAnswers* Page(const std::string& pageClass) const;
};

// Its message is ASCII, so it reads the same in the UTF-8 log and a GBK box.
class AnswersError : public sys::MessageError {
 public:
  using MessageError::MessageError;
};

// The largest answers file read; a page list is a few hundred bytes.
inline constexpr size_t kMaxAnswersFileBytes = 1 << 20;

AnswersFile ParseAnswersFile(std::string_view json);

}  // namespace app
