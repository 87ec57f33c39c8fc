#pragma once
// What the subcommands print: JSON written by hand (numbers in the shortest form that
// reads back exactly, never in the user's locale) and aligned tables.
#include "analysis/measure.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A number as JSON and CSV write it: shortest exact form; "null" when not finite.
std::string number(double v);
// A Reading as JSON: its number, or null.
std::string number(const analysis::Reading& r);
// A JSON string with its quotes.
std::string quoted(std::string_view text);

// One JSON object, keys in the order they are added.
class JsonObject {
  public:
    JsonObject& add(std::string_view key, const std::string& jsonValue);
    std::string str() const { return "{" + body_ + "}"; }

  private:
    std::string body_;
};
std::string jsonArray(const std::vector<std::string>& items);

// Rows of cells printed in columns two blanks apart, each as wide as its widest cell.
std::string table(const std::vector<std::vector<std::string>>& rows);

// Writes `bytes` as the file `path`, or to `out` when the path is "-" (standard output);
// false once "WHO: cannot write F: REASON" is on `err`.
bool writeOutput(const std::string& who, const std::string& path, const std::string& bytes,
                 std::ostream& out, std::ostream& err);

} // namespace cli
