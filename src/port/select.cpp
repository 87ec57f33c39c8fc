#include "port/select.h"

#include "port/direct_backend.h"
#include "port/ppdev_backend.h"
#include "sim/inputs.h"

#include <cerrno>
#include <cstdlib>

namespace ports {

namespace {
// A millisecond per access is far slower than any port; more is a typing slip.
constexpr long long MaxLatencyNs = 1000000;
} // namespace

std::string usage() {
    return "Usage: wqkscope [options]\n"
           "  --port=auto|sim|ppdev|direct  port access (default auto: ppdev if a\n"
           "                                parallel port is there, else simulated)\n"
           "  --version                     print the version and end\n"
           "Simulated instrument:\n"
           "  --model=20|30     20 MHz or 30 MHz model (default 20)\n"
           "  --no-chb          channel B not fitted\n"
           "  --no-gen          generator not fitted\n"
           "  --power-off       instrument without power\n"
           "  --no-instrument   nothing attached to the port\n"
           "  --lpt=1|2|3       port the instrument hangs on (default 1)\n"
           "  --input-a=SIGNAL  signal on channel A (default sine:1000:1)\n"
           "  --input-b=SIGNAL  signal on channel B (default gen: the generator output\n"
           "                    through a 10 kHz RC low-pass)\n"
           "  --noise=VOLTS     noise on both inputs (default 0.01)\n"
           "  --port-latency=NS each port access takes NS nanoseconds, 0..1000000, as on\n"
           "                    a real port (about 1000); default 0\n"
           "  SIGNAL: " +
           sim::inputHelp() +
           "\n"
           "          FREQ and CORNER in Hz (k and M multiply by 1000 and 1000000);\n"
           "          PEAK, OFFSET and VOLTS in volts at the instrument's input, behind\n"
           "          the probe (the x10 probe reads ten times them)\n";
}

Choice parseArgs(const std::vector<std::string>& args) {
    Choice c;
    for (const std::string& a : args) {
        auto value = [&](const char* key) -> const char* {
            size_t n = std::string(key).size();
            return a.compare(0, n, key) == 0 ? a.c_str() + n : nullptr;
        };
        if (const char* port = value("--port=")) {
            std::string p = port;
            if (p == "auto" || p == "sim" || p == "ppdev" || p == "direct")
                c.port = p;
            else
                c.errors.push_back("unknown port backend: " + p);
        } else if (const char* model = value("--model=")) {
            std::string m = model;
            if (m == "20" || m == "30")
                c.sim.model = std::stoi(m);
            else
                c.errors.push_back("model must be 20 or 30: " + m);
        } else if (const char* lpt = value("--lpt=")) {
            std::string m = lpt;
            if (m == "1" || m == "2" || m == "3")
                c.sim.lpt = std::stoi(m);
            else
                c.errors.push_back("lpt must be 1, 2 or 3: " + m);
        } else if (const char* inputA = value("--input-a=")) {
            std::string error;
            if (!sim::parseInput(inputA, c.sim.inputA, error)) c.errors.push_back(error);
        } else if (const char* inputB = value("--input-b=")) {
            std::string error;
            if (!sim::parseInput(inputB, c.sim.inputB, error)) c.errors.push_back(error);
        } else if (const char* noise = value("--noise=")) {
            char* end = nullptr;
            const double n = std::strtod(noise, &end);
            if (*noise && end && *end == 0 && n >= 0 && n <= 100)
                c.sim.noise = n;
            else
                c.errors.push_back(std::string("noise must be 0..100 volts: ") + noise);
        } else if (const char* ns = value("--port-latency=")) {
            char* end = nullptr;
            errno = 0;
            const long long n = std::strtoll(ns, &end, 10);
            if (*ns >= '0' && *ns <= '9' && end && *end == 0 && errno == 0 && n <= MaxLatencyNs)
                c.sim.latencyNs = n;
            else
                c.errors.push_back("port latency must be 0..1000000 nanoseconds: " +
                                   std::string(ns));
        } else if (a == "--no-chb") {
            c.sim.channelB = false;
        } else if (a == "--no-gen") {
            c.sim.generator = false;
        } else if (a == "--power-off") {
            c.sim.power = false;
        } else if (a == "--no-instrument") {
            c.sim.present = false;
        } else if (a == "--help" || a == "-h") {
            c.help = true;
        } else if (a == "--version") {
            c.version = true;
        } else {
            c.errors.push_back("unknown option: " + a);
        }
    }
    return c;
}

std::unique_ptr<plat::PortBackend> makeBackend(const Choice& c, PpdevSystem* probe) {
    if (c.port == "sim") return std::make_unique<sim::Wqk01>(c.sim);
    if (c.port == "ppdev") return std::make_unique<PpdevBackend>();
    if (c.port == "direct") return std::make_unique<DirectBackend>();
    PpdevSystem real;
    if (PpdevBackend::available(probe ? *probe : real)) return std::make_unique<PpdevBackend>();
    return std::make_unique<sim::Wqk01>(c.sim);
}

} // namespace ports
