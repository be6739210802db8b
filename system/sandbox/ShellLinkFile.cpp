#include "system/sandbox/ShellLinkFile.h"

#include <cstdint>

#include "system/Error.h"
#include "system/sandbox/Encoding.h"

namespace sys::sandbox {
namespace {

constexpr uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasLinkTargetIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kHasName = 0x4;
constexpr uint32_t kHasRelativePath = 0x8;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kHasIconLocation = 0x40;
constexpr uint32_t kIsUnicode = 0x80;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kLinkInfoHeaderWithUnicode = 0x24;

void PutU16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void PutU32(std::string& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}
void SetU32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// UTF-16LE code units of a GBK text.
std::u16string ToUtf16(const std::string& gbk) {
  std::string utf8 = GbkToUtf8(gbk);
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    uint32_t cp = 0;
    int extra = 0;
    if (b < 0x80) cp = b;
    else if ((b & 0xE0) == 0xC0) cp = b & 0x1F, extra = 1;
    else if ((b & 0xF0) == 0xE0) cp = b & 0x0F, extra = 2;
    else cp = b & 0x07, extra = 3;
    ++i;
    for (int k = 0; k < extra && i < utf8.size(); ++k, ++i)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string FromUtf16(const std::u16string& text) {
  std::string utf8;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (cp < 0x80) {
      utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (cp >> 18));
      utf8 += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return Utf8ToGbk(utf8);
}

void PutUtf16(std::string& out, const std::u16string& text, bool terminate) {
  for (char16_t unit : text) PutU16(out, unit);
  if (terminate) PutU16(out, 0);
}

std::string LinkInfo(const std::string& target) {
  std::string volume;
  PutU32(volume, 0x11);  // VolumeIDSize: fields plus the empty label
  PutU32(volume, kDriveFixed);
  PutU32(volume, 0x1234ABCD);  // serial number
  PutU32(volume, 0x10);        // label offset
  volume += '\0';

  std::string info(kLinkInfoHeaderWithUnicode, '\0');
  size_t volumeAt = info.size();
  info += volume;
  size_t baseAt = info.size();
  info += target + '\0';
  size_t suffixAt = info.size();
  info += '\0';
  size_t baseUnicodeAt = info.size();
  PutUtf16(info, ToUtf16(target), true);
  size_t suffixUnicodeAt = info.size();
  PutU16(info, 0);

  SetU32(info, 0, static_cast<uint32_t>(info.size()));
  SetU32(info, 4, kLinkInfoHeaderWithUnicode);
  SetU32(info, 8, kVolumeIdAndLocalBasePath);
  SetU32(info, 12, static_cast<uint32_t>(volumeAt));
  SetU32(info, 16, static_cast<uint32_t>(baseAt));
  SetU32(info, 20, 0);  // no network location
  SetU32(info, 24, static_cast<uint32_t>(suffixAt));
  SetU32(info, 28, static_cast<uint32_t>(baseUnicodeAt));
  SetU32(info, 32, static_cast<uint32_t>(suffixUnicodeAt));
  return info;
}

// Bounds-checked little-endian reader over the file bytes.
class Reader {
 public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}
  bool Has(size_t at, size_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }
  uint32_t U16(size_t at) const {
    return static_cast<uint8_t>(bytes_[at]) | (static_cast<uint8_t>(bytes_[at + 1]) << 8);
  }
  uint32_t U32(size_t at) const { return U16(at) | (U16(at + 2) << 16); }
  // NUL-terminated 8-bit text starting at at, within limit.
  std::optional<std::string> CString(size_t at, size_t limit) const {
    for (size_t i = at; i < limit && i < bytes_.size(); ++i)
      if (bytes_[i] == '\0') return bytes_.substr(at, i - at);
    return std::nullopt;
  }
  std::optional<std::u16string> WString(size_t at, size_t limit) const {
    std::u16string text;
    for (size_t i = at; i + 1 < limit && i + 1 < bytes_.size(); i += 2) {
      auto unit = static_cast<char16_t>(U16(i));
      if (unit == 0) return text;
      text += unit;
    }
    return std::nullopt;
  }
  std::u16string Units(size_t at, size_t count) const {
    std::u16string text;
    for (size_t i = 0; i < count; ++i) text += static_cast<char16_t>(U16(at + 2 * i));
    return text;
  }

 private:
  const std::string& bytes_;
};

std::optional<std::string> ReadLinkInfoTarget(const Reader& r, size_t at, size_t size) {
  if (size < 0x1C || !r.Has(at, size)) return std::nullopt;
  size_t end = at + size;
  uint32_t headerSize = r.U32(at + 4);
  if ((r.U32(at + 8) & kVolumeIdAndLocalBasePath) == 0) return std::string();
  if (headerSize >= kLinkInfoHeaderWithUnicode && size >= kLinkInfoHeaderWithUnicode) {
    auto base = r.WString(at + r.U32(at + 28), end);
    auto suffix = r.WString(at + r.U32(at + 32), end);
    if (base && suffix) return FromUtf16(*base + *suffix);
  }
  auto base = r.CString(at + r.U32(at + 16), end);
  auto suffix = r.CString(at + r.U32(at + 24), end);
  if (!base || !suffix) return std::nullopt;
  return *base + *suffix;
}

}  // namespace

std::optional<std::string> EncodeShellLink(const ShellLink& link) {
  try {
    std::u16string description = ToUtf16(link.description);
    std::u16string workingDirectory = ToUtf16(link.workingDirectory);
    std::u16string arguments = ToUtf16(link.arguments);
    for (const auto* text : {&description, &workingDirectory, &arguments})
      if (text->size() > 0xFFFF) return std::nullopt;

    uint32_t flags = kIsUnicode;
    if (!link.target.empty()) flags |= kHasLinkInfo;
    if (!description.empty()) flags |= kHasName;
    if (!workingDirectory.empty()) flags |= kHasWorkingDir;
    if (!arguments.empty()) flags |= kHasArguments;

    std::string out;
    PutU32(out, kShellLinkHeaderSize);
    out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
    PutU32(out, flags);
    PutU32(out, 0x20);  // FILE_ATTRIBUTE_ARCHIVE
    out.append(3 * 8 + 4 + 4, '\0');  // three file times, file size, icon index
    PutU32(out, static_cast<uint32_t>(link.showCommand));
    out.append(2 + 2 + 4 + 4, '\0');  // hot key and reserved fields
    if (flags & kHasLinkInfo) out += LinkInfo(link.target);
    for (const auto* text : {&description, &workingDirectory, &arguments}) {
      if (text->empty()) continue;
      PutU16(out, static_cast<uint32_t>(text->size()));
      PutUtf16(out, *text, false);
    }
    PutU32(out, 0);  // terminal extra-data block
    return out;
  } catch (const Error&) {
    return std::nullopt;
  }
}

std::optional<ShellLink> DecodeShellLink(const std::string& bytes) {
  Reader r(bytes);
  if (!r.Has(0, kShellLinkHeaderSize) || r.U32(0) != kShellLinkHeaderSize ||
      bytes.compare(4, 16, reinterpret_cast<const char*>(kLinkClsid), 16) != 0)
    return std::nullopt;
  uint32_t flags = r.U32(0x14);
  ShellLink link;
  link.showCommand = static_cast<int>(r.U32(kShellLinkShowCommandOffset));
  size_t at = kShellLinkHeaderSize;
  try {
    if (flags & kHasLinkTargetIdList) {
      if (!r.Has(at, 2)) return std::nullopt;
      at += 2 + r.U16(at);
    }
    if (flags & kHasLinkInfo) {
      if (!r.Has(at, 4)) return std::nullopt;
      uint32_t size = r.U32(at);
      auto target = ReadLinkInfoTarget(r, at, size);
      if (!target) return std::nullopt;
      link.target = *target;
      at += size;
    }
    bool unicode = (flags & kIsUnicode) != 0;
    std::string relativePath;
    std::string iconLocation;
    std::pair<uint32_t, std::string*> strings[] = {{kHasName, &link.description},
                                                   {kHasRelativePath, &relativePath},
                                                   {kHasWorkingDir, &link.workingDirectory},
                                                   {kHasArguments, &link.arguments},
                                                   {kHasIconLocation, &iconLocation}};
    for (auto& [flag, field] : strings) {
      if ((flags & flag) == 0) continue;
      if (!r.Has(at, 2)) return std::nullopt;
      size_t count = r.U16(at);
      at += 2;
      size_t length = unicode ? 2 * count : count;
      if (!r.Has(at, length)) return std::nullopt;
      *field = unicode ? FromUtf16(r.Units(at, count)) : bytes.substr(at, count);
      at += length;
    }
  } catch (const Error&) {
    return std::nullopt;
  }
  return link;
}

}  // namespace sys::sandbox
