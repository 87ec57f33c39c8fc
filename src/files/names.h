#pragma once
// File-name rules of the load and save windows.
#include <string>

namespace files {

// Directory and name with one "/" between them; a directory that already ends in "/"
// (the root) gets none added.
std::string joinPath(const std::string& dir, const std::string& name);
// The typed name with the extension of the kind being saved: everything after the
// first full stop is replaced ("trace.txt" -> "trace.wqk", "a.b.c" -> "a.wqk").
std::string withExtension(const std::string& name, const std::string& ext);
// Buffer size in K as the save texts show it, with its leading blank: " 4".
std::string sizeInK(int sizeIndex, bool spectrum);

} // namespace files
