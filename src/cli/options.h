#pragma once
// The command line's options, in one table: each option's name, its value, its help
// line and how it is taken. The capture options are shared by every subcommand that
// captures; a subcommand lists its own beside them.
#include "port/select.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// Everything the options set. Unset capture settings keep the window's start values.
struct Settings {
    ports::Choice port; // the port and simulator options, as the window takes them
    std::optional<double> rateHz;
    std::optional<int> sizeIndex;            // 0..4: 2K..32K
    std::optional<int> range[2], probe[2];   // range code 0..2 (1.2, 12, 120 V); probe 0/1
    std::optional<bool> dc[2];               // coupling
    std::optional<bool> chanOn[2];           // --channels
    std::optional<int> trigMode, trigSource; // 0 INST, 1 TRIG; 0 A, 1 B
    std::optional<bool> rising;
    std::optional<double> levelV;
    std::optional<int> preTrig; // 0, 1, 2: OFF, 10, 100
    double timeoutS = 10;
    bool autoset = false, autoTrigger = false;
    // Spectrum.
    std::string window = "rect", scale = "linear", out;
    int average = 1, peaks = 5;
    bool json = false, help = false;
    // A subcommand's own options, by name ("--format"), as their take has checked them:
    // a new subcommand keeps its values here rather than adding fields.
    std::map<std::string, std::string> more;
};

struct Option {
    std::string name;  // "--rate"
    std::string value; // what follows "=" in the help ("HZ"), empty for a flag
    std::string help;
    // Takes the value; returns an error naming the valid values, or "".
    std::function<std::string(Settings&, const std::string&)> take;
};
using OptionList = std::vector<Option>;

// --rate, --size, --range-a ... --timeout.
const OptionList& captureOptions();
// --json, and the spectrum's --window, --scale, --average, --peaks, --out.
const OptionList& jsonOption();
const OptionList& spectrumOptions();

// A plain decimal number (no locale); with `multipliers` a trailing k or M multiplies it
// by 1000 or 1000000, as every frequency option takes it (200k, 2M).
std::optional<double> number(const std::string& text, bool multipliers = false);

// Parses args with the given option lists; the port and simulator options go to the
// window's own parser. Errors, each naming the valid values, are collected; so is a
// range that the probe given (or the x1 default) cannot have.
Settings parse(const std::vector<std::string>& args, const std::vector<const OptionList*>& lists,
               std::vector<std::string>& errors);
// The help lines of option lists, aligned.
std::string optionHelp(const std::vector<const OptionList*>& lists);

} // namespace cli
