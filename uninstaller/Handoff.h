// How uninst.exe hands its work to a copy of itself, so that the file the user started can be
// deleted: a program file cannot be deleted while it runs. The program started from the install
// folder copies itself into a new folder under the temporary folder, starts the copy with the
// arguments below and ends; the copy waits for it, runs the uninstall for the log beside the
// original and deletes the original, then its own file and folder.
//
// The arguments carry handles the copy inherits: the original's process (to wait on, not a
// process id that could be reused) and the exclusive hold on Ins.log (so no second uninstaller
// gets in between the two). A command line that does not parse is no handoff. Anyone can write
// such a line, so the copy trusts it only as far as it checks it: the original must be the
// image of the process handed over, and the log beside it must belong to a registered product.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace uninst {

struct Handoff {
  std::string original;        // the uninst.exe the user started
  uint64_t originalProcess = 0;  // inherited handle, waited on
  uint64_t logHold = 0;          // inherited handle holding Ins.log; 0 for none
};

// "/handoff PROCESS HOLD "ORIGINAL"" (the original is an absolute Windows path).
std::string HandoffArguments(const Handoff& handoff);
// From the program's arguments (the program itself not among them).
std::optional<Handoff> ParseHandoff(const std::vector<std::string>& args);

// The name of the copy's folder for one try (number: drawn so that nobody can predict it). The
// folder must be new, so nothing can be planted in it first: a name that exists is never used,
// another number is drawn, at most kCopyFolderAttempts times.
std::string CopyFolderName(uint32_t number);
inline constexpr uint32_t kCopyFolderAttempts = 100;

// Whether program lies directly in a copy folder under tempDir (with its trailing backslash):
// only there does the copy remove its own file and folder at its end, whatever a forged
// command line claims.
bool IsInCopyFolder(const std::string& program, const std::string& tempDir);

// The uninstall log of the run: beside the original when handed off, else beside the program.
std::string LogPathFor(const std::string& program, const std::optional<Handoff>& handoff);

}  // namespace uninst
