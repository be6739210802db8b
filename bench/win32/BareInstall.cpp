// bare-install.exe PACKAGE FOLDER: the yardstick of bench/wine-speed.sh. It installs the files
// of a setup program's package the plainest way the Win32 API allows, so that the setup program's
// time can be read against the work itself:
//   - the package is opened once and read front to back through one 1 MiB buffer;
//   - the configuration block is unpacked and its file list read (every other list is left);
//   - per file entry (kind 0): the folder is made once when it changes, each chunk is inflated
//     with one reused zlib stream into a 256 KiB write buffer, the bytes go to "NAME.tmp", the
//     time is set on the open handle, and the file is moved over NAME.
// "目标计算机\Program Files\" folders land below FOLDER; other roots are skipped. No log, no
// registry, no progress, no checks beyond what keeps the program from reading out of bounds.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "bare-install: %s (error %lu)\n", what, GetLastError());
  std::exit(1);
}

std::wstring Wide(const std::string& gbk) {
  int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n);
  return wide;
}

// Sequential reads of the package through one buffer; a seek inside the buffer costs nothing.
class PackageFile {
 public:
  explicit PackageFile(const wchar_t* path)
      : file_(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr)),
        buffer_(1 << 20) {
    if (file_ == INVALID_HANDLE_VALUE) Fail("cannot open the package");
    LARGE_INTEGER size;
    GetFileSizeEx(file_, &size);
    size_ = size.QuadPart;
  }
  ~PackageFile() { CloseHandle(file_); }

  int64_t Size() const { return size_; }
  void Seek(int64_t position) {
    if (position >= bufferStart_ && position <= bufferStart_ + static_cast<int64_t>(filled_)) {
      at_ = static_cast<size_t>(position - bufferStart_);
      return;
    }
    LARGE_INTEGER to;
    to.QuadPart = position;
    if (!SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) Fail("cannot seek in the package");
    bufferStart_ = position;
    filled_ = at_ = 0;
  }
  void Read(void* out, size_t count) {
    auto* bytes = static_cast<unsigned char*>(out);
    while (count > 0) {
      if (at_ == filled_) Refill();
      size_t n = std::min(count, filled_ - at_);
      std::memcpy(bytes, buffer_.data() + at_, n);
      bytes += n, at_ += n, count -= n;
    }
  }

 private:
  void Refill() {
    bufferStart_ += static_cast<int64_t>(filled_);
    DWORD got = 0;
    if (!ReadFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &got, nullptr) || got == 0)
      Fail("the package ends early");
    filled_ = got;
    at_ = 0;
  }

  HANDLE file_;
  std::vector<unsigned char> buffer_;
  int64_t size_ = 0;
  int64_t bufferStart_ = 0;
  size_t filled_ = 0;
  size_t at_ = 0;
};

// Inflates chunk runs ("32-bit length, one zlib stream of at most 8,192 bytes", back to back).
class Inflater {
 public:
  Inflater() {
    if (inflateInit(&zs_) != Z_OK) Fail("zlib");
  }
  ~Inflater() { inflateEnd(&zs_); }

  // Calls sink(bytes, count) with at most 8,192 unpacked bytes per chunk of [start, end).
  template <typename Sink>
  void Run(PackageFile& package, int64_t start, int64_t end, Sink&& sink) {
    package.Seek(start);
    for (int64_t at = start; at < end;) {
      uint32_t length = 0;
      package.Read(&length, 4);
      if (length > end - at - 4 || length > sizeof in_) Fail("a damaged chunk");
      package.Read(in_, length);
      at += 4 + length;
      inflateReset(&zs_);
      zs_.next_in = in_;
      zs_.avail_in = length;
      zs_.next_out = out_;
      zs_.avail_out = sizeof out_;
      if (inflate(&zs_, Z_FINISH) != Z_STREAM_END) Fail("a chunk does not inflate");
      sink(out_, sizeof out_ - zs_.avail_out);
    }
  }

 private:
  z_stream zs_{};
  unsigned char in_[16384];
  unsigned char out_[8192];
};

// The configuration stream, read field by field.
class Fields {
 public:
  explicit Fields(std::string bytes) : bytes_(std::move(bytes)) {}
  void Take(void* out, size_t count) {
    if (count > bytes_.size() - at_) Fail("a damaged configuration");
    std::memcpy(out, bytes_.data() + at_, count);
    at_ += count;
  }
  template <typename T>
  T Get() {
    T value;
    Take(&value, sizeof value);
    return value;
  }
  std::string Text() {
    auto count = Get<uint32_t>();
    if (count > bytes_.size() - at_) Fail("a damaged text");
    std::string text = bytes_.substr(at_, count);
    at_ += count;
    return text;
  }

 private:
  std::string bytes_;
  size_t at_ = 0;
};

struct FileEntry {
  std::string folder;  // below the install folder, no trailing backslash
  std::string name;
  int64_t dataStart = 0;
  int64_t dataEnd = 0;
  double fileTime = 0;
};

std::vector<FileEntry> ReadFileList(PackageFile& package, Inflater& inflater) {
  int64_t trailer = package.Size() - 16;
  int64_t header[2];
  package.Seek(trailer);
  package.Read(header, sizeof header);
  std::string config;
  inflater.Run(package, header[1], trailer, [&](const unsigned char* bytes, size_t n) {
    config.append(reinterpret_cast<const char*>(bytes), n);
  });
  Fields fields(std::move(config));
  for (int32_t n = fields.Get<int32_t>(); n > 0; --n) {  // settings
    fields.Text();
    fields.Text();
    fields.Get<uint8_t>();
  }
  fields.Text();  // folders to create
  const std::string programFiles = "目标计算机\\Program Files\\";
  std::vector<FileEntry> files;
  for (int32_t n = fields.Get<int32_t>(); n > 0; --n) {
    FileEntry entry;
    fields.Text();
    std::string source = fields.Text();
    std::string destFolder = fields.Text();
    uint8_t flags[7];
    fields.Take(flags, sizeof flags);
    fields.Text();
    entry.dataStart = fields.Get<int64_t>();
    entry.dataEnd = fields.Get<int64_t>();
    fields.Get<int64_t>();
    auto kind = fields.Get<uint8_t>();
    entry.fileTime = fields.Get<double>();
    if (kind != 0 || destFolder.compare(0, programFiles.size(), programFiles) != 0) continue;
    entry.folder = destFolder.substr(programFiles.size());
    while (!entry.folder.empty() && entry.folder.back() == '\\') entry.folder.pop_back();
    entry.name = source.substr(source.find_last_of('\\') + 1);
    files.push_back(std::move(entry));
  }
  return files;
}

void MakeFolders(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    if (at == std::wstring::npos) break;
  }
}

// Days since 1899-12-30 in local time to a UTC FILETIME.
FILETIME ToFileTime(double days) {
  ULARGE_INTEGER local;
  local.QuadPart = static_cast<uint64_t>((days + 109205.0) * 86400.0) * 10000000ull;
  FILETIME localTime{local.LowPart, local.HighPart}, utc;
  LocalFileTimeToFileTime(&localTime, &utc);
  return utc;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bare-install PACKAGE FOLDER\n");
    return 2;
  }
  PackageFile package(argv[1]);
  Inflater inflater;
  const std::wstring root = argv[2];
  std::vector<unsigned char> batch(256 << 10);
  std::wstring madeFolder;
  for (const FileEntry& entry : ReadFileList(package, inflater)) {
    std::wstring folder = entry.folder.empty() ? root : root + L"\\" + Wide(entry.folder);
    if (folder != madeFolder) {
      MakeFolders(folder);
      madeFolder = folder;
    }
    std::wstring target = folder + L"\\" + Wide(entry.name);
    std::wstring temporary = target + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot create a file");
    size_t filled = 0;
    auto flush = [&] {
      DWORD wrote = 0;
      if (filled > 0 && !WriteFile(file, batch.data(), static_cast<DWORD>(filled), &wrote, nullptr))
        Fail("cannot write a file");
      filled = 0;
    };
    inflater.Run(package, entry.dataStart, entry.dataEnd, [&](const unsigned char* bytes, size_t n) {
      if (filled + n > batch.size()) flush();
      std::memcpy(batch.data() + filled, bytes, n);
      filled += n;
    });
    flush();
    FILETIME time = ToFileTime(entry.fileTime);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
      Fail("cannot move a file over its target");
  }
  return 0;
}
