#pragma once
// The command line: `wqkscope SUBCOMMAND [options]` runs the window's procedures
// without a window and prints what it measured.
//
// To add a subcommand, add a row to commands() in cli.cpp: its name, synopsis, summary,
// the option lists it takes (captureOptions() for the capture options, jsonOption(), and
// its own OptionList, whose takes check a value and keep it in Settings::more) and the
// function that runs it once the instrument has started. That function calls
// session.apply() and session.capture() (or the instrument itself through
// session.instrument()) and returns a Status; `wqkscope --help` and its --help follow the row.
// Its messages start with session.who ("wqkscope NAME"); after a Usage status run()
// adds the line that points to --help.
#include "cli/options.h"
#include "cli/session.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct Command {
    const char* name;
    const char* synopsis; // after "wqkscope NAME "
    const char* summary;  // what it does, for --help
    std::vector<const OptionList*> options;
    Status (*run)(Session& session, const Settings& settings, std::ostream& out, std::ostream& err);
};
const std::vector<Command>& commands();

Status runMeasure(Session& session, const Settings& settings, std::ostream& out, std::ostream& err);
Status runSpectrum(Session& session, const Settings& settings, std::ostream& out,
                   std::ostream& err);
// wqkscope bode: its own options (--from, --to, --per-decade, --amplitude, --reference,
// --out, --timeout) and the sweep.
const OptionList& bodeOptions();
Status runBode(Session& session, const Settings& settings, std::ostream& out, std::ostream& err);

// wqkscope capture and wqkscope log (cli/export_cmd.cpp) and their own options.
const OptionList& captureFileOptions();
const OptionList& logOptions();
Status runCapture(Session& session, const Settings& settings, std::ostream& out, std::ostream& err);
Status runLog(Session& session, const Settings& settings, std::ostream& out, std::ostream& err);

// wqkscope serve (cli/serve_cmd.cpp): --listen, --idle-timeout, and the server until
// Ctrl-C or SIGTERM.
const OptionList& serveOptions();
Status runServe(Session& session, const Settings& settings, std::ostream& out, std::ostream& err);

// True when args[0] names a subcommand.
// Whether the subcommand line draws a picture (and so needs the GUI).
bool drawsPicture(const std::vector<std::string>& args);
bool isSubcommand(const std::vector<std::string>& args);
// True when args[0] is meant as one: it is no option (a mistyped name, say).
bool meansSubcommand(const std::vector<std::string>& args);
// Runs the subcommand args[0] with the rest of args as its options; returns the exit
// status. A name that is no subcommand is a usage error naming the nearest one. Every
// usage error reads "wqkscope NAME: what is wrong" and ends with "Try 'wqkscope NAME
// --help'."; other messages start with "wqkscope NAME:" too. Needs a QApplication
// (the offscreen platform will do).
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The subcommands' lines for the program's --help.
std::string subcommandSummary();

} // namespace cli
