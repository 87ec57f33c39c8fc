#pragma once
// Reading the start of a file and saving a file as a whole.
#include <cstddef>
#include <string>

namespace files {

// Largest part of a file that each loader looks at.
constexpr size_t ProfileReadLimit = 1 << 20;
constexpr size_t CsvReadLimit = 16 << 20;

// Reads at most maxBytes from the start of a regular file; false when it cannot be
// opened or read, or is no regular file (a directory, a pipe, a device): never waits.
bool readFileStart(const std::string& path, size_t maxBytes, std::string& out);
// Writes through a temporary file in the same directory and replaces the target only
// once every byte is written: a failed save (full disk, size limit) leaves the old file
// as it was and no partial file behind. In a folder that cannot take a temporary file
// a writable file is written in place instead. A failure puts its reason, as the system
// words it, into *error when given.
bool saveWhole(const std::string& path, const std::string& bytes, std::string* error = nullptr);
// Whether saveWhole could write path, found without touching it (so a long run can be
// refused before it starts); false with the system's reason.
bool canSave(const std::string& path, std::string& error);

} // namespace files
