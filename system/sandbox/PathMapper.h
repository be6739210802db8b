// Maps Windows paths of the simulated machine to host paths below the sandbox root: drive C: is
// ROOT/drive_c, D: is ROOT/drive_d, and so on. Windows rules apply: "\" and "/" both separate,
// doubled separators collapse, "." and ".." are resolved lexically and never climb above the drive
// root, trailing dots and spaces of a name are dropped, and a name matches an existing host entry
// ignoring ASCII case (new names are created as given). GBK names become UTF-8 host names.
// Relative paths resolve against the working folder.
//
// Finding a name ignoring case needs the folder's listing; listings are cached and rescanned
// when the folder's modification time changes, and the sandbox's own changes update the cache
// in place (NoteAdded/NoteRemoved), so creating many files in one folder stays linear. The host
// folder a path's last name lies in is remembered too, and checked only by looking that name
// up in it: a folder that has gone is walked again. Host time stamps are coarse (a clock tick),
// so whoever changes ROOT from outside the sandbox calls ForgetListings() afterwards.
//
// Deliberately not mapped (nullopt, so every operation fails as on a missing file): UNC paths,
// names with characters Windows forbids (<>:"|?* and control characters, which also rules out
// alternate data streams) and bytes that are not valid GBK.
#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sys::sandbox {

// An absolute Windows path split into its drive letter (upper case) and names.
struct WindowsPath {
  char drive = 'C';
  std::vector<std::string> names;

  // "C:\A\B"; the drive root is "C:\".
  std::string Text() const;
};

// What mapping a path saw of its host entry, so that the caller need not look again.
enum class HostEntry { Unknown, Missing, File, Folder };

class PathMapper {
 public:
  PathMapper(std::filesystem::path root, const std::string& workingDirectory);

  // Throws sys::Error when the folder is not an absolute path.
  void SetWorkingDirectory(const std::string& path);
  const WindowsPath& workingDirectory() const { return working_; }

  std::optional<WindowsPath> Resolve(const std::string& path) const;
  // The absolute, normalised Windows form of path ("c:/a//b/../c" -> "C:\a\c").
  std::optional<std::string> Normalize(const std::string& path) const;
  std::optional<std::filesystem::path> ToHost(const std::string& path) const;
  std::filesystem::path ToHost(const WindowsPath& path) const { return ToHost(path, nullptr); }
  // Also tells what the lookup of the last name saw there (Unknown when it did not look).
  std::filesystem::path ToHost(const WindowsPath& path, HostEntry* seen) const;
  std::filesystem::path DriveFolder(char drive) const;
  const std::filesystem::path& root() const { return root_; }

  // Keeps the listing cache in step with an entry the sandbox itself created or removed.
  void NoteAdded(const std::filesystem::path& host) const;
  void NoteRemoved(const std::filesystem::path& host) const;
  void ForgetListings() const {
    listings_.clear();
    folders_.clear();
  }

 private:
  struct Listing {
    struct timespec stamp {};
    std::unordered_map<std::string, std::string> byFoldedName;  // ASCII-lower UTF-8 -> actual
  };
  enum class Lookup { Found, Missing, NoFolder };
  // The entry of folder named name (UTF-8) ignoring ASCII case: its actual name when Found,
  // else name as given; seen tells what kind of entry it is, where the lookup saw it.
  std::pair<Lookup, std::string> LookUp(const std::filesystem::path& folder, const std::string& name,
                                        HostEntry* seen) const;
  // The actual name of the entry of folder (last changed at stamp) that matches name ignoring
  // ASCII case.
  std::optional<std::string> FindEntry(const std::filesystem::path& folder, const struct timespec& stamp,
                                       const std::string& name) const;
  // The drive and every name but the last, as given: the folder the last name is looked up in.
  static std::string FolderKey(const WindowsPath& path);
  void Note(const std::filesystem::path& host, bool added) const;

  std::filesystem::path root_;
  WindowsPath working_;
  mutable std::unordered_map<std::string, Listing> listings_;
  // Folders found whole (FolderKey -> host folder), so that mapping a path costs a look at its
  // last name rather than at every level.
  mutable std::unordered_map<std::string, std::filesystem::path> folders_;
};

}  // namespace sys::sandbox
