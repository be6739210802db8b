// The project object: everything the package says about the installation, and the choices made
// during the run. TInstall owns the one TCompile of a process; windows and steps borrow it.
//
// The package reader lives in package/ (LoadPackage, CopyEntryData, ExtractResources, ...).
// Install, the one operation that changes the machine, is the engine's (engine/InstallRun.h),
// a layer above this one: the project object of a setup run is handed it when it is created.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "package/uKernal.h"

namespace sys {
class Platform;
class Stream;
}  // namespace sys

template <typename T>
using TRecordList = std::vector<std::unique_ptr<T>>;
using TStringList = std::vector<std::string>;

// Progress and status callback of the install steps. Position == Max == -1 announces a stage
// (FileName empty, HintMsg the stage's text); otherwise Position of Max is the file progress.
using TCompileProEvent = std::function<void(const std::string& FileName, const std::string& HintMsg,
                                            int64_t Position, int64_t Max)>;

// Progress of ExtractResources: 1-based index of the entry about to be handled, FileList count.
using TExtractProgress = std::function<void(int Position, int Max)>;

class TCompile;

// What TCompile::Install carries out. Whoever creates a project object for a setup run passes
// engine::RunInstall (TInstall, the tests' fixtures); one that only reads a package needs none.
namespace package {
using InstallRunner = void (*)(TCompile& compile, const std::string& ExeFile);
}

struct TInstallData {
  uint8_t ShowWizard = 1;
  std::string StartMenuFolder;
  uint8_t CreateStartMenu = 1;
  std::string InstallDir;
  uint8_t DesktopIcon = 0;
  uint8_t QuickLaunchIcon = 0;
  uint8_t RunApp = 0;
  uint8_t ShowReadme = 0;
  std::string AppFile;
  std::string ReadmeFile;
  std::string RebootText;
  std::string FinishHint;
  int64_t TotalSize = 0;
};

class TCustomCompile : public TElement {
 public:
  TRecordList<TCompileData> InfoList;
  TStringList FileFolderList;
  TRecordList<TCompileFileData> FileList;
  TStringList RegFolderList;
  TRecordList<TRegInfoData> RegList;
  TRecordList<TCompileCompData> CompList;
  TStringList ShotCutFolderList;
  TRecordList<TShotCutData> ShotCutList;

  // Frees every record and empties all eight lists.
  void ClearLists();
};

class TCompile : public TCustomCompile {
 public:
  explicit TCompile(sys::Platform& platform, package::InstallRunner installRunner = nullptr);
  ~TCompile() override;
  TCompile(const TCompile&) = delete;
  TCompile& operator=(const TCompile&) = delete;

  TCompileProEvent OnCompile;
  // Told of every report as well, after OnCompile: the administrator's log listens here,
  // whichever window runs the install.
  TCompileProEvent OnReportLogged;
  // Set when Install has run to its end (a patch's end included).
  bool InstallCompleted = false;
  std::string ItemName;
  int64_t Size = 0;
  TInstallData Options;
  std::string Serial;
  std::string Version;
  std::string Url;
  std::string Author;
  bool Patched = false;
  TStringList TempFiles;

  sys::Platform& platform() const { return *platform_; }
  // The install run points the project object at its journalling platform while it lasts.
  void UsePlatform(sys::Platform& platform) { platform_ = &platform; }

  // --- Reading the package (package/) ----------------------------------------------------
  // Reads the trailer and configuration of the file at path; does nothing when it is missing.
  // The file is opened once and held until the project object goes; when it is the running
  // program's own file, it is held so that nobody can change it (Platform::HoldOwnImage).
  void LoadPackage(const std::string& path);
  // The package in the file at path, bounded as OpenPackage bounds it: a view of the file
  // LoadPackage holds when path names that file, so later reads never go back to the name.
  std::unique_ptr<sys::Stream> OpenPackageFile(const std::string& path);
  // Parses a whole configuration stream into the lists and fields.
  void ReadConfiguration(sys::Stream& config);
  // Unpacks the chunk run [start, end) of source, appending to target, one chunk at a time.
  static void CopyEntryData(sys::Stream& source, sys::Stream& target, int64_t start, int64_t end);
  // Writes the entries of kinds 2, 3 and 4 into Info\, Reg\ and Comp\ of a folder created new
  // for the run in the temporary folder (Platform::CreatePrivateFolder). source is the setup
  // program's file as OpenPackage gives it (PackageBounds.h), so a signature is never read.
  // Each file is created new, then held against writers from its check against the package
  // (Error(kUnpackedFileChanged) when it differs) until ClearTempFiles.
  void ExtractResources(sys::Stream& source, const TExtractProgress& progress = {});
  // The folder ExtractResources unpacks into, with its trailing backslash; empty before.
  const std::string& ResourceFolder() const { return resourceFolder_; }
  // Lets go of the held files, deletes those listed in TempFiles and the folders the unpacking
  // made, when empty (failures ignored).
  void ClearTempFiles();
  void ComputeTotalSize();
  void ApplyOptions();
  // Empties list, then adds every InfoList record of that group, in order (borrowed pointers).
  void GetGroupItems(uint8_t group, std::vector<TCompileData*>& list) const;

  // --- The install run --------------------------------------------------------------------
  // Runs the installer this object was created with; without one it is the program's own fault
  // (sys::MessageError, not an error a package can cause), and nothing is touched.
  void Install(const std::string& ExeFile);

  // OnCompile, when assigned, in its two forms.
  void ReportStatus(const std::string& HintMsg) const;
  void ReportProgress(const std::string& FileName, const std::string& HintMsg, int64_t Position,
                      int64_t Max) const;

 private:
  std::unique_ptr<sys::Stream>& HeldFile(const std::string& path);

  sys::Platform* platform_;
  package::InstallRunner installRunner_;
  std::unique_ptr<sys::Stream> image_;
  std::string imagePath_;
  std::string resourceFolder_;
  std::vector<std::pair<std::string, std::unique_ptr<sys::Stream>>> heldFiles_;
};
