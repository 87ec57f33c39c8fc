#pragma once
// Reading the start of a file and saving a file as a whole.
#include <cstddef>
#include <string>

namespace files {

// Largest part of a file that each loader looks at.
constexpr size_t ProfileReadLimit = 1 << 20;
constexpr size_t CsvReadLimit = 16 << 20;

// Reads at most maxBytes from the start of a regular file; false when it cannot be
// opened or read (a directory, a device, a vanished file).
bool readFileStart(const std::string& path, size_t maxBytes, std::string& out);
// Writes through a temporary file in the same directory and replaces the target only
// once everything is written: a failed save leaves the old file as it was and no
// partial file behind.
bool saveWhole(const std::string& path, const std::string& bytes);

} // namespace files
