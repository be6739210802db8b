#include "undo/RunJournal.h"

#include <string_view>
#include <utility>

#include "system/Error.h"
#include "system/Gbk.h"

namespace {

constexpr std::string_view kMagic = "SETUPJOURNAL1\n";
// A record carries a few paths and at most one registry value; a value larger than this was
// never written by a run, so a bigger length is damage.
constexpr uint32_t kMaxRecord = 4u << 20;
// A run records a few entries per installed item; a journal past this size is not ours.
constexpr int64_t kMaxJournal = 256ll << 20;

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutU64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutString(std::string& out, const std::string& text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  out += text;
}

// Reads fields off a payload; any read past its end marks the record as torn.
class Fields {
 public:
  explicit Fields(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }

  uint64_t Number(size_t width) {
    if (!ok_ || bytes_.size() - at_ < width) return Fail();
    uint64_t v = 0;
    for (size_t i = 0; i < width; ++i) v |= uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
    at_ += width;
    return v;
  }
  std::string Text() {
    const uint64_t n = Number(4);
    if (!ok_ || bytes_.size() - at_ < n) return Fail(), std::string();
    std::string text(bytes_.substr(at_, n));
    at_ += n;
    return text;
  }

 private:
  uint64_t Fail() {
    ok_ = false;
    return 0;
  }
  std::string_view bytes_;
  size_t at_ = 0;
  bool ok_ = true;
};

std::string Encode(const JournalRecord& r) {
  std::string payload(1, static_cast<char>(r.kind));
  PutString(payload, r.path);
  switch (r.kind) {
    case JournalKind::FileKept: PutString(payload, r.kept); break;
    case JournalKind::TimeSet: PutU64(payload, r.time); break;
    case JournalKind::KeyCreated:
    case JournalKind::KeyRemoved: PutU32(payload, r.root); break;
    case JournalKind::ValueSet:
      PutU32(payload, r.root);
      PutString(payload, r.name);
      payload.push_back(r.existed ? 1 : 0);
      PutU32(payload, r.type);
      PutString(payload, r.data);
      break;
    default: break;
  }
  std::string record;
  PutU32(record, static_cast<uint32_t>(payload.size()));
  return record + payload;
}

std::optional<JournalRecord> Decode(std::string_view payload) {
  Fields f(payload);
  JournalRecord r;
  const auto kind = static_cast<uint8_t>(f.Number(1));
  if (kind < 1 || kind > static_cast<uint8_t>(JournalKind::Commit)) return std::nullopt;
  r.kind = static_cast<JournalKind>(kind);
  r.path = f.Text();
  switch (r.kind) {
    case JournalKind::FileKept: r.kept = f.Text(); break;
    case JournalKind::TimeSet: r.time = f.Number(8); break;
    case JournalKind::KeyCreated:
    case JournalKind::KeyRemoved: r.root = static_cast<sys::RegRoot>(f.Number(4)); break;
    case JournalKind::ValueSet:
      r.root = static_cast<sys::RegRoot>(f.Number(4));
      r.name = f.Text();
      r.existed = f.Number(1) != 0;
      r.type = static_cast<uint32_t>(f.Number(4));
      r.data = f.Text();
      break;
    default: break;
  }
  if (!f.ok()) return std::nullopt;
  return r;
}

}  // namespace

std::string JournalPathFor(const std::string& logFile) { return logFile + ".journal"; }

FoundJournal ReadRunJournal(sys::Platform& platform, const std::string& path) {
  FoundJournal found;
  if (!platform.FileExists(path)) return found;
  found.present = true;
  std::unique_ptr<sys::Stream> file;
  try {
    file = platform.HoldForRead(path);
  } catch (const sys::Error&) {
    // Held open for writing by someone else, or not readable: nothing to go by.
    return found;
  }
  found.trusted = !platform.IsElevated() || platform.OnlyAdministratorsCanChange(*file);
  if (!found.trusted) return found;
  std::vector<JournalRecord>& records = found.records;
  const int64_t size = file->Size();
  if (size < static_cast<int64_t>(kMagic.size()) || size > kMaxJournal) return found;
  std::string bytes(static_cast<size_t>(size), '\0');
  bytes.resize(file->Read(bytes.data(), bytes.size()));
  if (!std::string_view(bytes).starts_with(kMagic)) return found;
  std::string_view rest = std::string_view(bytes).substr(kMagic.size());
  while (rest.size() >= 4) {
    Fields header(rest.substr(0, 4));
    const uint64_t n = header.Number(4);
    if (n > kMaxRecord || n > rest.size() - 4) break;
    auto record = Decode(rest.substr(4, n));
    if (!record) break;
    records.push_back(std::move(*record));
    rest.remove_prefix(4 + n);
  }
  return found;
}

JournalWriter::JournalWriter(sys::Platform& platform, std::string path)
    : platform_(platform), path_(std::move(path)) {}

JournalWriter::~JournalWriter() = default;

void JournalWriter::Open(const std::vector<JournalRecord>& pending) {
  std::string bytes(kMagic);
  for (const JournalRecord& record : pending) bytes += Encode(record);
  auto stream = platform_.CreateProtectedFile(path_);
  try {
    stream->Write(bytes.data(), bytes.size());
  } catch (const sys::Error& e) {
    stream.reset();
    platform_.RemoveFile(path_);
    throw sys::Error(sys::Format(sys::kCannotCreateFile, path_), e.osCode());
  }
  stream_ = std::move(stream);
}

void JournalWriter::Append(const JournalRecord& record) {
  const std::string bytes = Encode(record);
  try {
    stream_->Write(bytes.data(), bytes.size());
  } catch (const sys::Error& e) {
    throw sys::Error(sys::Format(sys::kCannotCreateFile, path_), e.osCode());
  }
}

bool JournalWriter::Remove() {
  stream_.reset();
  return platform_.RemoveFile(path_) || !platform_.FileExists(path_);
}
