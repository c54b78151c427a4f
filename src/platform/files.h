// The one path translation every file access goes through. The engine speaks Windows paths:
// "\" separators, GBK names, and names whose case need not match the disk (scripts lower-case
// everything). The file system speaks UTF-8 with "/" and exact case.
#pragma once

#include <compare>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

// Turns an engine path into the native path to use: "\" becomes "/", GBK becomes UTF-8, and
// each component that does not exist as written is matched without regard to ASCII case.
// Components that match nothing are kept as written, so a file can still be created there.
std::string NativePath(const std::string& enginePath);

// The largest file the engine reads. No real data file comes near it; anything larger is a
// mistake or a trap (a file linked to an endless device), refused as a file that cannot be read.
inline constexpr long long kMaxDataFileBytes = 256LL << 20;

// fopen through NativePath, of regular files only: a folder, a device or a named pipe is a file
// that cannot be opened (a pipe is never waited on), and so is a file to be read that is larger
// than kMaxDataFileBytes. Every file the engine reads or writes is opened here. C's text modes
// read bytes as they are: text is read with ReadTextFile.
std::FILE* OpenFile(const std::string& enginePath, const char* mode);

// Reads a whole file opened by OpenFile; false when it cannot be opened.
bool ReadFileBytes(const std::string& enginePath, std::string& out);

// A file as it is on disk now: which file (device and inode) and which version of it (size,
// times of the last change in nanoseconds). Loads of one unchanged file share what was made of it.
struct FileVersion {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    auto operator<=>(const FileVersion&) const = default;
};

// The version of the regular file a path names; none when there is no such file.
std::optional<FileVersion> CurrentFileVersion(const std::string& enginePath);

// Reads a whole file as Windows' text mode does: a carriage return before a line feed is
// dropped, and a Ctrl-Z (0x1A) ends the text, so an old editor's trailer is no line of its own.
bool ReadTextFile(const std::string& enginePath, std::string& out);

}  // namespace platform
