// The journal of everything the simulated machine was asked to do that leaves no file behind:
// ROOT/journal.jsonl, one JSON object a line, UTF-8, appended and flushed at once so that a
// crashed run still shows what it did. Line shapes ("op" first):
//   {"op":"run","commandLine":..,"show":1}                                RunCommandLine
//   {"op":"shellRun","verb":..,"file":..,"parameters":..,"directory":..,"show":1,"quiet":false}
//   {"op":"shellRunAndWait", same fields, "started":true,"error":0,"exitCode":0}
//   {"op":"messageBox","text":..,"caption":..,"style":36,"answer":6}
//   {"op":"shellVerb","path":..,"verb":..}                                a verb carried out (pin)
//   {"op":"shutdownPrivilege"}
//   {"op":"restart","flags":2}
//   {"op":"removeAtRestart","path":..}                                    marked, left in place
//   {"op":"protectedFolder","path":..}                                    CreateProtectedFolder
//   {"op":"handBack","paths":[..]}                                        HandBack into a channel
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <vector>

namespace sys::sandbox {

class Journal {
 public:
  explicit Journal(std::filesystem::path file) : file_(std::move(file)) {}
  // Throws sys::Error when the line cannot be written.
  void Append(const nlohmann::ordered_json& line) const;

 private:
  std::filesystem::path file_;
};

// Every line of ROOT/journal.jsonl in order; empty when there is none.
std::vector<nlohmann::json> ReadJournal(const std::filesystem::path& root);

}  // namespace sys::sandbox
