// The one path translation every file access goes through. The engine speaks Windows paths:
// "\" separators, GBK names, and names whose case need not match the disk (scripts lower-case
// everything). The file system speaks UTF-8 with "/" and exact case.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Turns an engine path into the native path to use: "\" becomes "/", GBK becomes UTF-8, and
// each component that does not exist as written is matched without regard to ASCII case.
// Components that match nothing are kept as written, so a file can still be created there.
std::string NativePath(const std::string& enginePath);

// fopen through NativePath. C's text modes read bytes as they are: text is read with
// ReadTextFile.
std::FILE* OpenFile(const std::string& enginePath, const char* mode);

// Reads a whole file through NativePath; false when it cannot be opened.
bool ReadFileBytes(const std::string& enginePath, std::string& out);

// Reads a whole file as Windows' text mode does: a carriage return before a line feed is
// dropped, and a Ctrl-Z (0x1A) ends the text, so an old editor's trailer is no line of its own.
bool ReadTextFile(const std::string& enginePath, std::string& out);

}  // namespace platform
