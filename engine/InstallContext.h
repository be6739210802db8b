// The state of one install run, handed to every step: the project, the platform, the package
// stream of the setup program, the uninstall recorder and the OS version text read once at the
// start. Borrowed references only; the run owns the stream and the recorder.
#pragma once

#include <string>

class TCompile;
class TUnInstall;
namespace sys {
class Platform;
class Stream;
}  // namespace sys

namespace engine {

struct InstallContext {
  TCompile& compile;
  sys::Platform& platform;
  sys::Stream& package;
  TUnInstall& log;
  std::string osVersion;
};

// True when an item with this OS condition applies here: no condition, or exactly this version.
inline bool MatchesTargetOs(const std::string& targetOs, const std::string& osVersion) {
  return targetOs.empty() || targetOs == osVersion;
}

}  // namespace engine
