// The install package as it sits behind the setup program's executable image. All integers are
// little-endian; offsets are absolute from the start of the file of length L.
//
//   0        S bytes   the executable image (never read through this layout)
//   S        8 bytes   reserved, the packager's own; never interpreted
//   S + 8    ...       entry data: one chunk run per FileList entry that has content, in FileList
//                      order, back to back; each entry names its run by DataStart and DataEnd
//   D        ...       configuration block: one chunk run, ending exactly at L - 16
//   L - 16   8 bytes   Size: signed 64-bit, unpacked bytes of all kind-0 entries
//   L - 8    8 bytes   D: signed 64-bit offset of the configuration block; 0 or less: none
//
// Chunk record: 32-bit length n, then n bytes holding one complete zlib stream of at most
// 8,192 unpacked bytes as the packager writes them (ChunkCodec.h reads and writes them).
//
// Configuration stream (the configuration block's chunks unpacked and joined): counts are
// signed 32-bit (0 or less: no items), strings are stored strings (uKernal.h):
//   InfoList count, per item: Caption, Value, Group (1 byte)
//   FileFolderList as comma text (CommaText.h)
//   FileList count, per item: EntryName, SourcePath, DestFolder, 7 flag bytes (RunAtStartup,
//     KeepOnUninstall, NoOverwrite, IsComponent, IsService, RunAfterInstall, IsPatch),
//     TargetOs, DataStart, DataEnd, FileSize (signed 64-bit each), EntryKind (1 byte),
//     FileTime (8-byte IEEE double)
//   RegFolderList as comma text
//   RegList count, per item: KeyPath, ValueName, ValueData, TargetOs, ValueType (1 byte)
//   ShotCutFolderList as comma text
//   ShotCutList count, per item: LinkFolder, LinkName, LinkTarget, LinkArguments,
//     LinkDescription, LinkKind (1 byte)
//   CompList count, per item: CompName, CompSize (signed 64-bit)
//   Serial
#pragma once

#include <cstdint>

namespace package {

inline constexpr int64_t kReservedSize = 8;
inline constexpr int64_t kTrailerSize = 16;

// Smallest stored form of one record of each list: a count that the remaining bytes cannot
// hold at this size is damaged before anything is reserved for it.
inline constexpr int64_t kMinInfoItemBytes = 4 + 4 + 1;
inline constexpr int64_t kMinFileItemBytes = 3 * 4 + 7 + 4 + 3 * 8 + 1 + 8;
inline constexpr int64_t kMinRegItemBytes = 4 * 4 + 1;
inline constexpr int64_t kMinShotCutItemBytes = 5 * 4 + 1;
inline constexpr int64_t kMinCompItemBytes = 4 + 8;

// The configuration is the one thing unpacked whole; a crafted block of chunks that each
// inflate to the chunk limit must still not take unbounded memory.
inline constexpr int64_t kMaxConfigurationSize = int64_t{256} << 20;

}  // namespace package
