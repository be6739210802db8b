// What setup-tool needs of the system it runs on beyond the C++ library: files opened by path
// (with 64-bit offsets), whether a standard stream is a terminal, a monotonic clock, a file's
// modification time, the interrupt that must remove a half-written output. One implementation
// per system, chosen by the build: tools/host/posix/ (Linux) and tools/host/win32/ (the
// setup-tool.exe of vendors who build on Windows).
//
// On Windows a path is opened by its UTF-16 name, so names outside the ANSI code page work;
// standard input and output are switched to binary mode, so a setup program piped through
// them keeps every byte.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>

namespace tool::host {

// fopen's modes; "x" (create, failing when the file exists) included.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);
bool SeekFile(std::FILE* file, int64_t offset, int origin);
int64_t TellFile(std::FILE* file);

enum class StandardStream { Input, Output, Error };
bool IsTerminal(StandardStream stream);
// Standard input and output carry bytes, never text with line-end translation.
void UseBinaryStandardStreams();

double MonotonicSeconds();

// Seconds since 1970 (UTC) of the file's last write; nullopt when it cannot be read.
std::optional<long long> LastWriteSeconds(const std::filesystem::path& file);
// The calendar parts (UTC) of seconds since 1970.
std::tm UtcCalendar(long long seconds);

// Until the next call of either, an interrupt (Ctrl+C, a termination request) removes file and
// then ends the process as the interrupt would have.
void RemoveOnInterrupt(const std::filesystem::path& file);
void KeepOnInterrupt();

}  // namespace tool::host
