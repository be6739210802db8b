#include "package/uSystem.h"

#include <algorithm>

#include "package/EntryNames.h"
#include "system/Error.h"
#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/Stream.h"

namespace {

// The unpacked path of a resource entry below folder; empty for kinds that are not unpacked.
// A kind-3 entry gets its DestFolder rewritten to its unpacked component folder.
std::string ResourceTarget(TCompileFileData& entry, const std::string& folder) {
  switch (entry.EntryKind) {
    case package::kEntryRegFile:
      return folder + "Reg\\" + package::SafeEntryFileName(entry.SourcePath);
    case package::kEntryResource:
      return folder + "Info\\" + package::SafeEntryFileName(entry.SourcePath);
    case package::kEntryComponentFile: {
      // The rest keeps its leading separator, so two separators meet; Windows accepts that.
      std::string rest = entry.SourcePath.size() > entry.DestFolder.size()
                             ? entry.SourcePath.substr(entry.DestFolder.size())
                             : std::string();
      package::CheckRelativeEntryPath(rest);
      entry.DestFolder = folder + "Comp\\" + package::SafeFolderName(entry.EntryName);
      return entry.DestFolder + "\\" + rest;
    }
    default:
      return {};
  }
}

// A sink that compares what is written to it with what a file holds from its start.
class SameAsFile : public sys::Stream {
 public:
  explicit SameAsFile(sys::Stream& file) : file_(file) { file_.Seek(0); }

  size_t Read(void*, size_t) override { return 0; }
  void Write(const void* buffer, size_t count) override {
    const auto* expected = static_cast<const char*>(buffer);
    char held[4096];
    while (count > 0 && same_) {
      const size_t part = std::min(count, sizeof held);
      same_ = file_.Read(held, part) == part && std::equal(held, held + part, expected);
      expected += part;
      count -= part;
    }
  }
  void Seek(int64_t) override {}
  int64_t Position() const override { return 0; }
  int64_t Size() const override { return 0; }

  // True when everything written matched and the file holds nothing more.
  bool Same() const { return same_ && file_.Position() == file_.Size(); }

 private:
  sys::Stream& file_;
  bool same_ = true;
};

}  // namespace

std::unique_ptr<sys::Stream>& TCompile::HeldFile(const std::string& path) {
  for (auto& [heldPath, stream] : heldFiles_)
    if (sys::SameText(heldPath, path)) return stream;
  heldFiles_.emplace_back(path, nullptr);
  return heldFiles_.back().second;
}

void TCompile::ExtractResources(sys::Stream& source, const TExtractProgress& progress) {
  sys::Platform& platform = this->platform();
  if (resourceFolder_.empty())
    resourceFolder_ = platform.CreatePrivateFolder(platform.TempDirectory()) + "\\";
  const int count = static_cast<int>(FileList.size());
  for (int i = 0; i < count; ++i) {
    if (progress) progress(i + 1, count);
    TCompileFileData& entry = *FileList[i];
    std::string target = ResourceTarget(entry, resourceFolder_);
    if (target.empty()) continue;
    if (entry.EntryKind == package::kEntryResource) {
      for (const auto& item : InfoList)
        if (sys::SameText(item->Value, entry.SourcePath)) item->Value = target;
    }
    entry.SourcePath = target;
    std::string folder = target.substr(0, package::LastSeparator(target));
    if (!platform.DirectoryExists(folder)) platform.ForceDirectories(folder);
    std::unique_ptr<sys::Stream>& held = HeldFile(target);
    // A later entry of the same name replaces the earlier one, which is ours.
    if (held) {
      held.reset();
      platform.RemoveFile(target);
    }
    {
      std::unique_ptr<sys::Stream> file = platform.CreateNewFile(target);
      TempFiles.push_back(target);
      CopyEntryData(source, *file, entry.DataStart, entry.DataEnd);
    }
    // Between the writer's close and this hold someone could have slipped in; what is held is
    // used only when it is exactly what the package holds.
    held = platform.HoldForRead(target);
    SameAsFile check(*held);
    CopyEntryData(source, check, entry.DataStart, entry.DataEnd);
    if (!check.Same()) throw sys::Error(sys::Format(sys::kUnpackedFileChanged, target));
  }
}

void TCompile::ClearTempFiles() {
  heldFiles_.clear();
  for (const std::string& path : TempFiles)
    if (platform().FileExists(path)) platform().RemoveFile(path);
  if (resourceFolder_.empty()) return;
  // The folders the unpacking made, deepest first; a folder something else still fills stays.
  std::vector<std::string> folders;
  for (const std::string& path : TempFiles) {
    for (size_t cut = package::LastSeparator(path);
         cut != std::string::npos && cut >= resourceFolder_.size();
         cut = package::LastSeparator(std::string_view(path).substr(0, cut))) {
      folders.push_back(path.substr(0, cut));
    }
  }
  std::sort(folders.begin(), folders.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& folder : folders) platform().RemoveEmptyFolder(folder);
  platform().RemoveEmptyFolder(resourceFolder_);
}
