#include "cli/cli.h"

#include "platform/version.h"

#include <algorithm>
#include <ostream>

namespace cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        {"measure",
         "[options] [--json]",
         "Captures once and prints each channel's frequency, period, levels, duty cycle,\n"
         "rise and fall times, and the gain and phase of B against A.",
         {&captureOptions(), &jsonOption()},
         runMeasure},
        {"spectrum",
         "[options] [--window=rect|hann|hamming|blackman-harris|flattop]\n"
         "[--scale=linear|dbfs|dbv] [--average=N] [--peaks=N] [--json] [--out=F.csv]",
         "Captures in FFT mode and prints the highest peaks of each channel's spectrum.",
         {&captureOptions(), &spectrumOptions(), &jsonOption()},
         runSpectrum},
        {"capture",
         "[options] [--out=F.wqk|F.csv|F.wav|F.sr] [--picture=F.png|F.svg|F.pdf]\n"
         "[--picture-scale=1|2] [--units]",
         "Captures once and writes it as the SAVE window's signal file or CSV export\n"
         "(byte for byte), as a WAV file or a sigrok session file, and the signal display,\n"
         "every channel captured, as a picture: both files or neither.",
         {&captureOptions(), &captureFileOptions()},
         runCapture},
        {"log",
         "[options] (--count=N | --duration=S) --dir=DIR [--format=wav|wqk|csv|sr]\n"
         "[--keep-free=MB]",
         "Captures in Repeat and writes each capture into DIR, named by its UTC time, with\n"
         "one line of index.csv (time, file, rate, samples, each channel's range, probe,\n"
         "frequency, peak-to-peak and RMS) once the file is complete. Prints each file's\n"
         "name as it is written; Ctrl-C ends it cleanly.",
         {&captureOptions(), &logOptions()},
         runLog},
        {"bode",
         "--from=HZ --to=HZ [--per-decade=N] [--amplitude=2|1] [--reference=a|d]\n"
         "[--out=F.csv] [--json]",
         "Sweeps the generator from --from to --to and prints the gain and phase of\n"
         "channel B against the reference at each frequency, and the -3 dB point. With\n"
         "reference A the generator plays on while A and B are captured beside it; with D\n"
         "each point is one SCOPE+GEN run.",
         {&bodeOptions(), &jsonOption()},
         runBode},
    };
    return list;
}

namespace {

const Command* find(const std::string& name) {
    for (const Command& c : commands())
        if (name == c.name) return &c;
    return nullptr;
}

// "PREFIX NAME SYNOPSIS", the synopsis's further lines lined up under its first.
std::string usage(const std::string& prefix, const Command& c) {
    std::string out = prefix + c.name + " ";
    const size_t indent = out.size();
    for (const char* p = c.synopsis; *p; ++p)
        out += *p == '\n' ? "\n" + std::string(indent, ' ') : std::string(1, *p);
    return out + "\n";
}

std::string help(const Command& c) {
    std::string portHelp = ports::usage();
    portHelp.erase(0, portHelp.find('\n') + 1); // its own usage line
    return usage("Usage: wqkscope ", c) + "\n" + c.summary +
           "\n\nOptions (unset capture settings are those the window starts with; frequencies\n"
           "take k and M: 200k, 2M):\n" +
           optionHelp(c.options) + "Port and simulator options, as for the window:\n" + portHelp +
           "\nExit status: 0 done; 1 an output file could not be written; 2 bad usage;\n"
           "3 no instrument or no power; 4 no trigger or no end of capture within --timeout.\n";
}

// Edits (insertions, deletions, substitutions) that turn a into b.
size_t distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The subcommand a mistyped name most likely meant: at most two edits away and fewer
// than the name is long; nullptr when none is that near.
const Command* nearest(const std::string& name) {
    const Command* best = nullptr;
    size_t bestEdits = 3;
    for (const Command& c : commands()) {
        const size_t d = distance(name, c.name);
        if (d < bestEdits && d < name.size()) {
            best = &c;
            bestEdits = d;
        }
    }
    return best;
}

} // namespace

bool drawsPicture(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "capture") return false;
    for (const std::string& a : args)
        if (a.rfind("--picture=", 0) == 0) return true;
    return false;
}

bool isSubcommand(const std::vector<std::string>& args) {
    return !args.empty() && find(args[0]) != nullptr;
}

bool meansSubcommand(const std::vector<std::string>& args) {
    return !args.empty() && !args[0].empty() && args[0][0] != '-';
}

std::string subcommandSummary() {
    std::string out = "Subcommands (wqkscope SUBCOMMAND --help tells more):\n";
    for (const Command& c : commands())
        out += usage("  wqkscope ", c);
    return out;
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Command* c = isSubcommand(args) ? find(args[0]) : nullptr;
    if (!c) {
        err << "wqkscope: unknown subcommand \"" << (args.empty() ? "" : args[0]) << "\"";
        if (const Command* near = args.empty() ? nullptr : nearest(args[0]))
            err << "; did you mean \"" << near->name << "\"?";
        err << "\nTry 'wqkscope --help'.\n";
        return Usage;
    }
    const std::string who = std::string("wqkscope ") + c->name;
    const auto usageError = [&err, c] {
        err << "Try 'wqkscope " << c->name << " --help'.\n";
        return Usage;
    };
    std::vector<std::string> errors;
    const Settings settings =
        parse(std::vector<std::string>(args.begin() + 1, args.end()), c->options, errors);
    if (settings.help) {
        out << help(*c);
        return Done;
    }
    if (settings.port.version) {
        out << "wqkscope " << plat::version << "\n";
        return Done;
    }
    if (!errors.empty()) {
        for (const std::string& e : errors)
            err << who << ": " << e << "\n";
        return usageError();
    }
    Session session(settings, err);
    session.who = who;
    if (const Status s = session.start(); s != Done) return s;
    const Status s = c->run(session, settings, out, err);
    return s == Usage ? usageError() : s;
}

} // namespace cli
