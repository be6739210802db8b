// A file written beside its final name and moved over it only once it is complete, so that a
// failure while writing (disk full, a damaged source) leaves the earlier file as it was and no
// half-written file behind.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "system/Platform.h"

namespace undo {

class ReplacingFile {
 public:
  // How a target that does not exist yet is written.
  enum class NewTarget {
    // Beside it, like one that exists: a process killed while writing leaves no half-written
    // file under the target's name.
    Beside,
    // Under its own name at once: one create instead of a create and a move. Only for a run
    // whose journal removes the half-written file a killed process leaves; a failure short of
    // that removes it here.
    InPlace,
  };

  ReplacingFile(sys::Platform& platform, std::string target, NewTarget newTarget = NewTarget::Beside);
  // Removes the file written unless Commit has put it in place.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // The stream to write; throws sys::Error(kCannotCreateFile) for the target.
  sys::Stream& Open();
  // Gives the file its last-write time (when given; one that cannot be set is left as it
  // came), closes the stream and, when written beside the target, moves the file over it;
  // throws sys::Error(kCannotCreateFile) for the target when the move fails.
  void Commit(std::optional<sys::FileTime> lastWriteUtc = std::nullopt);

 private:
  sys::Platform& platform_;
  std::string target_;
  NewTarget newTarget_;
  std::string written_;  // the name the stream writes: the target or a free name beside it
  std::unique_ptr<sys::Stream> stream_;
  bool committed_ = false;
};

}  // namespace undo
