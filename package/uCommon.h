// Stream, text and shortcut helpers shared by the package reader, the install steps and the
// uninstall log. They hold no state.
//
// Chunk run: records of a 32-bit LE length n followed by n bytes holding one complete zlib
// stream (RFC 1950). Inflating a chunk never yields more than kMaxChunkOutput bytes: a crafted
// chunk cannot exhaust memory; exceeding it, or any zlib failure, is sys::Error("error").
#pragma once

#include <cstdint>
#include <string>

#include "package/uSystem.h"

namespace sys {
class Stream;
}

enum TCompressLevelEnum : uint8_t { cplNone = 0, cplSpeed = 1, cplPress = 2, cplDefault = 3 };

namespace package {

// zlib level of an enum value: 0, 1, 9, or zlib's default for cplDefault and anything else.
int ZlibLevel(TCompressLevelEnum level);

inline constexpr size_t kChunkBlockSize = 8192;
// Far above what a packager chunk holds (8,192 bytes), far below what could hurt.
inline constexpr size_t kMaxChunkOutput = 1 << 20;
inline constexpr const char* kZlibError = "error";

// One complete zlib stream of data at the level.
std::string CompressChunk(const std::string& data, TCompressLevelEnum level);
// Inflates one complete zlib stream; throws sys::Error(kZlibError).
std::string InflateChunk(const std::string& compressed);
// A chunk run as CompressStream writes it, but each block stored as it is (a zlib stream of
// one stored block, which every reader inflates): for rare, small writes by programs that must
// stay small.
void StoreStream(sys::Stream& source, sys::Stream& target);

}  // namespace package

// Appends a chunk run holding the whole source (from position 0) to target, at cplPress.
void CompressStream(sys::Stream& source, sys::Stream& target, TCompressLevelEnum level = cplPress);
// Fills target with the unpacked content of the whole source; target position left at 0.
void DecompressStream(sys::Stream& source, sys::Stream& target);

// Splits text at delimiter (found ignoring ASCII case); empty parts are dropped.
void SplitText(const std::string& text, const std::string& delimiter, TStringList& list);
// Expands a leading "[System ProgramFiles]" component to the Program Files folder.
std::string ExpandSystemPath(const std::string& path);

// folder + "\" + fileName: show command normal, working folder = folder part of target.
void CreateShellLink(const std::string& folder, const std::string& fileName,
                     const std::string& target, const std::string& arguments,
                     const std::string& description);
// folder [+ "\"] + name + ".url" holding "[InternetShortcut]\r\nURL=" + address + "\r\n".
void CreateInternetShortcut(const std::string& name, const std::string& address,
                            const std::string& folder);
