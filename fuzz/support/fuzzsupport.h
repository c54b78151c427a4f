// What every fuzz target shares: reports that never block, and the input written to a file for
// the readers that only take a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Message boxes are recorded instead of shown; the record is emptied on every call, so that a
// long run does not keep every report.
void Prepare();

// Loaders make their file's folder current, and libFuzzer names corpus and artifact files
// relative to the folder it started in: a target whose readers can change folder calls this at
// the end of every input to go back there.
void ReturnToStartFolder();

// Writes the input to `name` in the process's own temporary folder (removed at exit) and returns
// its path.
std::string WriteInput(const std::uint8_t* data, std::size_t size, const std::string& name);
// That folder, for whatever takes a folder (a loader's folder, the root folder): FolderOf takes
// only backslashes, so it finds no folder in the path WriteInput returns.
const std::string& InputFolder();

// The input's first byte, consumed: a cheap choice for the target that leaves the rest as the file.
std::uint8_t TakeByte(const std::uint8_t*& data, std::size_t& size);

}  // namespace fuzz
