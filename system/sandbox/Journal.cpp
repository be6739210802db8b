#include "system/sandbox/Journal.h"

#include <fstream>
#include <string>

#include "system/Error.h"

namespace sys::sandbox {

void Journal::Append(const nlohmann::ordered_json& line) const {
  std::ofstream out(file_, std::ios::binary | std::ios::app);
  out << line.dump() << "\n";
  out.flush();
  if (!out) throw Error("Cannot append to " + file_.string());
}

std::vector<nlohmann::json> ReadJournal(const std::filesystem::path& root) {
  std::vector<nlohmann::json> lines;
  std::ifstream in(root / "journal.jsonl", std::ios::binary);
  std::string text;
  while (std::getline(in, text))
    if (!text.empty()) lines.push_back(nlohmann::json::parse(text));
  return lines;
}

}  // namespace sys::sandbox
