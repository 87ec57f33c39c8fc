// The command engine (a message's commands in order, held where a run must end first),
// the IEEE 488.2 common commands, SYSTem and every setting of the instrument.
#include "remote/commands.h"

#include "platform/version.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace remote {

using scpi::Param;

// ---- Parameters ------------------------------------------------------------------------

namespace args {

namespace {
const Param& at(const Call& c, size_t i) {
    if (i >= c.cmd.params.size()) throw Refusal{scpi::MissingParameter, ""};
    return c.cmd.params[i];
}
std::string listed(const std::vector<double>& values, const char* unit) {
    std::string out;
    for (size_t i = 0; i < values.size(); ++i)
        out += (i ? i + 1 == values.size() ? " or " : ", " : "") + scpi::number(values[i]);
    return out + (*unit ? std::string(" ") + unit : "");
}
} // namespace

void count(const Call& c, size_t min, size_t max) {
    if (c.cmd.params.size() < min) throw Refusal{scpi::MissingParameter, ""};
    if (c.cmd.params.size() > max) throw Refusal{scpi::ParameterNotAllowed, ""};
}

namespace {
// A number in `unit`, or nullopt for MINimum / MAXimum (then `max` says which).
std::optional<double> value(const Call& c, size_t i, const char* unit, bool& max) {
    const Param& p = at(c, i);
    if (p.kind == Param::Kind::Word) {
        if (scpi::isWord(p.text, "MINimum") || scpi::isWord(p.text, "MAXimum")) {
            max = scpi::isWord(p.text, "MAXimum");
            return std::nullopt;
        }
        throw Refusal{scpi::IllegalParameterValue, p.text + " is no number"};
    }
    if (p.kind != Param::Kind::Number) throw Refusal{scpi::DataTypeError, "a number is wanted"};
    if (!p.unit.empty() && !*unit) throw Refusal{scpi::SuffixNotAllowed, p.unit};
    const std::optional<double> v = scpi::inUnit(p, unit);
    if (!v) throw Refusal{scpi::InvalidSuffix, p.unit + " is no unit of " + unit};
    return v;
}
} // namespace

double number(const Call& c, size_t i, const char* unit, double lo, double hi) {
    bool max = false;
    const std::optional<double> v = value(c, i, unit, max);
    if (!v) return max ? hi : lo;
    if (!(*v >= lo && *v <= hi))
        throw Refusal{scpi::DataOutOfRange, "must be within " + scpi::number(lo) + " and " +
                                                scpi::number(hi) + (*unit ? " " : "") + unit};
    return *v;
}

int oneOf(const Call& c, size_t i, const char* unit, const std::vector<double>& values) {
    bool max = false;
    const std::optional<double> v = value(c, i, unit, max);
    if (!v) return max ? int(values.size()) - 1 : 0;
    for (size_t k = 0; k < values.size(); ++k)
        if (std::abs(*v - values[k]) <= 1e-6 * std::abs(values[k])) return int(k);
    throw Refusal{scpi::DataOutOfRange, "must be " + listed(values, unit)};
}

int word(const Call& c, size_t i, const std::vector<const char*>& words) {
    const Param& p = at(c, i);
    if (p.kind != Param::Kind::Word) throw Refusal{scpi::DataTypeError, "a word is wanted"};
    for (size_t k = 0; k < words.size(); ++k)
        if (scpi::isWord(p.text, words[k])) return int(k);
    std::string list;
    for (size_t k = 0; k < words.size(); ++k)
        list += (k ? "|" : "") + std::string(words[k]);
    throw Refusal{scpi::IllegalParameterValue, "must be " + list};
}

bool flag(const Call& c, size_t i) {
    const Param& p = at(c, i);
    if (p.kind == Param::Kind::Number && p.unit.empty()) return std::lround(p.number) != 0;
    return word(c, i, {"OFF", "ON"}) == 1;
}

int channel(int suffix) {
    if (suffix < 1 || suffix > 2)
        throw Refusal{scpi::HeaderSuffixOutOfRange, "channels are 1 (A) and 2 (B)"};
    return suffix;
}

int channelParam(const Call& c, size_t i, int otherwise) {
    if (i >= c.cmd.params.size()) return otherwise;
    const Param& p = c.cmd.params[i];
    int n = 0;
    if (p.kind != Param::Kind::Word || !scpi::isWord(p.text, "CHANnel#", &n))
        throw Refusal{scpi::IllegalParameterValue, "must be CHANnel1 or CHANnel2"};
    if (n < 1 || n > 2) throw Refusal{scpi::IllegalParameterValue, "channels are 1 and 2"};
    return n;
}

void apply(const std::string& refusal) {
    if (refusal.empty()) return;
    // The setters say "must be" of a value outside what the button reaches.
    throw Refusal{refusal.find("must be") != std::string::npos ? scpi::DataOutOfRange
                                                               : scpi::SettingsConflict,
                  refusal};
}

} // namespace args

// ---- The engine ------------------------------------------------------------------------

Session::Session(Instrument& i, Runs& r) : inst(i), runs(r) {}

bool Session::begin(const scpi::Framed& message) {
    pending_.reset();
    if (message.error != scpi::NoError) {
        status.error(message.error);
        return true;
    }
    pending_ = Pending{scpi::parse(message.text), 0, {}};
    return step();
}

bool Session::resume() {
    return !pending_ || step();
}

bool Session::step() {
    Pending& p = *pending_;
    bool stopped = false;
    while (p.next < p.message.commands.size()) {
        const scpi::Command& cmd = p.message.commands[p.next];
        const Entry* entry = nullptr;
        std::vector<int> suffixes;
        for (const Entry& e : commandTree())
            if ((cmd.query ? e.query : e.set) && scpi::matches(e.pattern, cmd, suffixes)) {
                entry = &e;
                break;
            }
        if (!entry) {
            status.error(scpi::UndefinedHeader,
                         scpi::toText(scpi::Command{cmd.common, cmd.query, cmd.path, {}}));
            stopped = true; // a command error ends the message
            break;
        }
        if ((entry->flags & StopFirst) && !runs.quiet()) {
            stopAsked = true;
            runs.stop();
            return false;
        }
        if ((entry->flags & WaitIdle) && !runs.idle()) return false;
        ++p.next;
        try {
            std::string answer =
                (cmd.query ? entry->query : entry->set)(Call{*this, cmd, suffixes});
            if (cmd.query) p.answers.push_back(std::move(answer));
            if ((entry->flags & WaitAfter) && !runs.idle()) return false;
        } catch (const Refusal& r) {
            status.error(r.code, r.info);
            if (r.code <= -100 && r.code > -200) {
                stopped = true;
                break;
            }
        }
    }
    if (!stopped && p.message.error) status.error(p.message.error, p.message.info);
    response_.clear();
    for (size_t i = 0; i < p.answers.size(); ++i)
        response_ += (i ? ";" : "") + p.answers[i];
    if (!p.answers.empty()) response_ += "\n";
    pending_.reset();
    return true;
}

std::string Session::takeResponse() {
    return std::move(response_);
}

void Session::runEnded(const Instrument::RunResult& r) {
    if (r.end != Instrument::RunEnd::Done && !(r.end == Instrument::RunEnd::Stopped && stopAsked))
        status.error(scpi::ExecutionError, r.reason);
    stopAsked = false;
}

void Session::autosetEnded(bool done, const std::string& why) {
    if (!done && !stopAsked) status.error(scpi::ExecutionError, why);
    stopAsked = false;
}

void Session::captured() {
    capturedA = inst.state().chanAOn();
    capturedB = inst.state().chanBOn();
}

void Session::reset() {
    InstrumentState fresh;
    fresh.XMagnify = 512; // the display window at its start, as the start-up leaves it
    fresh.ScrollPos = 0;
    args::apply(inst.restore(fresh));
    data = DataSettings();
    capturedA = capturedB = false;
}

// ---- The tree ----------------------------------------------------------------------------

std::string shortForm(const char* mnemonic) {
    std::string out;
    for (const char* p = mnemonic; *p && !std::islower((unsigned char)*p); ++p)
        out += *p;
    return out;
}

namespace {

using S = std::string;

S number255(const Call& c, int& into, int mask) {
    args::count(c, 1, 1);
    into = int(args::number(c, 0, "", 0, 255)) & mask;
    return {};
}

S setOpc(const Call& c) {
    if (c.s.runs.idle())
        c.s.status.setEvent(scpi::Status::OperationComplete);
    else
        c.s.opcArmed = true;
    return {};
}

S allErrors(const Call& c) {
    S all = c.s.status.next();
    while (c.s.status.count() > 0)
        all += "," + c.s.status.next();
    return all;
}

S single(const Call& c) {
    if (c.s.inst.state().mode() == modes::Generator)
        throw Refusal{scpi::SettingsConflict, "GENERATOR mode captures nothing: RUN plays"};
    c.s.stopAsked = false;
    c.s.runs.single();
    return {};
}

S autoset(const Call& c) {
    args::count(c, 0, 0);
    if (c.s.inst.state().mode() != modes::Scope)
        throw Refusal{scpi::SettingsConflict, "auto-set works in SCOPE mode"};
    c.s.stopAsked = false;
    c.s.runs.autoset();
    return {};
}

S stop(const Call& c) {
    c.s.stopAsked = true;
    c.s.runs.stop();
    return {};
}

std::vector<Entry> commonAndRuns() {
    return {
        {"*IDN", nullptr,
         [](const Call& c) -> S {
             return S("WQK,WQK01-") + (c.s.inst.state().RateFactor > 1 ? "30" : "20") + ",0," +
                    plat::version;
         }},
        {"*RST",
         [](const Call& c) {
             args::count(c, 0, 0);
             c.s.reset();
             return S();
         },
         nullptr, WaitIdle | StopFirst},
        {"*CLS",
         [](const Call& c) {
             c.s.status.clear();
             c.s.opcArmed = false;
             return S();
         },
         nullptr},
        {"*OPC", setOpc, nullptr},
        {"*OPC", nullptr, [](const Call&) -> S { return "1"; }, WaitIdle},
        {"*WAI", [](const Call&) { return S(); }, nullptr, WaitIdle},
        {"*ESR", nullptr, [](const Call& c) { return std::to_string(c.s.status.takeEvents()); }},
        {"*ESE", [](const Call& c) { return number255(c, c.s.status.ese, 255); },
         [](const Call& c) { return std::to_string(c.s.status.ese); }},
        // Bit 6 of the status byte is its summary, never enabled.
        {"*SRE", [](const Call& c) { return number255(c, c.s.status.sre, ~64); },
         [](const Call& c) { return std::to_string(c.s.status.sre); }},
        {"*STB", nullptr,
         [](const Call& c) { return std::to_string(c.s.status.statusByte(false)); }},
        {"*TST", nullptr, [](const Call& c) -> S { return c.s.inst.hardwareFault() ? "1" : "0"; },
         WaitIdle | StopFirst},
        {"SYSTem:ERRor[:NEXT]", nullptr, [](const Call& c) { return c.s.status.next(); }},
        {"SYSTem:ERRor:COUNt", nullptr,
         [](const Call& c) { return std::to_string(c.s.status.count()); }},
        {"SYSTem:ERRor:ALL", nullptr, allErrors},
        {"SYSTem:VERSion", nullptr, [](const Call&) -> S { return "1999.0"; }},
        {"RUN",
         [](const Call& c) {
             c.s.runs.repeat();
             return S();
         },
         nullptr},
        {"SINGle", single, nullptr},
        // DIGitize: SINGle, and the message holds until that capture is in.
        {"DIGitize", single, nullptr, WaitIdle | WaitAfter},
        {"STOP", stop, nullptr},
        {"ABORt", stop, nullptr},
        // Its probing captures replace the record: no run of anyone's may be going, and
        // the message holds until it is done.
        {"AUToset", autoset, nullptr, WaitIdle | StopFirst | WaitAfter},
    };
}

std::vector<Entry> build() {
    std::vector<Entry> tree = commonAndRuns();
    addSettingCommands(tree);
    addDataCommands(tree);
    return tree;
}

} // namespace

const std::vector<Entry>& commandTree() {
    static const std::vector<Entry> tree = build();
    return tree;
}

} // namespace remote
