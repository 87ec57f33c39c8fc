#pragma once
// WQKport.cfg: one text line holding the port number 1..3, written with a leading
// blank and ended by CR LF.
#include <optional>
#include <string>

namespace portcfg {

inline const char* FileName = "WQKport.cfg";

// The number in the file, if the file exists and reads as a number; surrounding
// blanks are accepted. The caller checks the range.
std::optional<double> read(const std::string& path);
// Deletes the file and writes it anew; false when it cannot be written.
bool write(const std::string& path, int lpt);
// The base address of LPT1..3 (378H, 278H, 3BCH), 0 for any other number.
int baseAddress(int lpt);

} // namespace portcfg
