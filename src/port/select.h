#pragma once
// Chooses the port backend from the command line: --port=auto|sim|ppdev|direct.
#include "platform/port.h"
#include "sim/wqk01.h"

#include <memory>
#include <string>
#include <vector>

namespace ports {

struct Choice {
    std::string port = "auto";
    sim::Options sim;
    std::vector<std::string> errors; // unknown or malformed options
    bool help = false;
    bool version = false; // --version: print the version and end
};

Choice parseArgs(const std::vector<std::string>& args);
std::string usage();

class PpdevSystem;
// auto: ppdev when a /dev/parportN can be opened and claimed (at a classic address or,
// where none is, standing in for LPT1..LPT3), else the simulated instrument; never
// fails. A forced backend is returned as is, even if it cannot start.
std::unique_ptr<plat::PortBackend> makeBackend(const Choice& c, PpdevSystem* probe = nullptr);

} // namespace ports
