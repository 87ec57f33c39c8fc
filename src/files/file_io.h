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
// The one save routine of every writer: `bytes` become the whole file, every write and
// the final sync checked, and a save that cannot complete (full disk, size limit) leaves
// the old file byte for byte. A regular file, a missing one or a link to a regular file
// (written through) is written beside its place and renamed over it; in a folder that
// cannot take that temporary file a writable file is written in place, its new length
// reserved first. A device or a pipe of that name, directly or through links, is written
// in place and never replaced; a folder, a block device or a socket is refused. False
// on failure, with the reason in `why` when given.
bool saveWhole(const std::string& path, const std::string& bytes, std::string* why = nullptr);
// Whether saveWhole could write path, found without touching it (so a long run can be
// refused before it starts); false with the system's reason.
bool canSave(const std::string& path, std::string& error);

} // namespace files
