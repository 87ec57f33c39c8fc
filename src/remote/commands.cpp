// The command engine (a message's commands in order, held where a run must end first),
// the IEEE 488.2 common commands, SYSTem and every setting of the instrument.
#include "remote/commands.h"

#include "acquisition/acquisition.h"
#include "analysis/record.h"
#include "generator/synthesis.h"
#include "platform/version.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace remote {

using C = Instrument::Channel;
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
        if ((entry->flags & StopFirst) && !(runs.idle() && !inst.state().running())) {
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

namespace {

std::string yes(bool on) {
    return on ? "1" : "0";
}
std::string num(double v) {
    return scpi::number(v);
}

C chan(const Call& c, bool setting) {
    const int n = args::channel(c.suffixes[0]);
    if (setting && n == 2 && !c.s.inst.state().chanBFitted())
        throw Refusal{scpi::HardwareMissing, "this instrument has no channel B"};
    return n == 1 ? C::A : C::B;
}

Instrument::Trace trace(const Call& c) {
    return c.cmd.path[0].name.rfind("MATH", 0) == 0 ? Instrument::Trace::Sum
           : chan(c, false) == C::A                 ? Instrument::Trace::A
                                                    : Instrument::Trace::B;
}

void needGenerator(const Call& c) {
    if (!c.s.inst.state().genFitted())
        throw Refusal{scpi::HardwareMissing, "this instrument has no generator"};
}

std::vector<double> rates(const InstrumentState& s) {
    std::vector<double> r;
    for (int i = 0; i <= 4; ++i)
        r.push_back(analysis::sampleRateHz(i, s.RateFactor));
    return r;
}

// The range code (0 1.2 V, 1 12 V, 2 120 V) of a channel's Range and Probe buttons.
int rangeCode(const InstrumentState& s, C c) {
    return c == C::A ? analysis::rangeCode(s.rangeSelA(), s.probeA())
                     : analysis::rangeCode(s.rangeSelB(), s.probeB());
}

double levelVoltsPerUnit(const InstrumentState& s) {
    return analysis::voltsPerUnit(rangeCode(s, s.trigSourceB() ? C::B : C::A));
}

// The sweep's start frequencies by index, as the generator panel shows them.
std::vector<double> sweepStarts(const InstrumentState& s) {
    static const double nominal[] = {5, 10, 50, 100, 500, 1000, 5000, 10000, 50000, 100000};
    std::vector<double> out;
    for (double f : nominal)
        out.push_back(f * s.RateFactor);
    return out;
}

// A display toggle: its setting and the record's flag for it.
template <Instrument::Toggle T, bool (InstrumentState::*Read)() const>
Entry toggle(const char* pattern) {
    return {pattern,
            [](const Call& c) {
                args::count(c, 1, 1);
                args::apply(c.s.inst.setDisplay(T, args::flag(c, 0)));
                return std::string();
            },
            [](const Call& c) { return yes((c.s.inst.state().*Read)()); }};
}

const char* const ModeWords[] = {"SCOPe", "GENerator", "SGENerator", "FFT"};
const char* const SourceModeWords[] = {"NORMal", "SWEep", "CUSTom"};
const char* const FunctionWords[] = {"SINusoid", "TRIangle", "RAMP", "SQUare", "CUSTom"};

// The short form of a mnemonic, as a query answers with it.
std::string shortForm(const char* mnemonic) {
    std::string out;
    for (const char* p = mnemonic; *p && !std::islower((unsigned char)*p); ++p)
        out += *p;
    return out;
}

std::vector<Entry> build() {
    using S = std::string;
    std::vector<Entry> tree = {
        // ---- IEEE 488.2 common commands ----
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
        {"*OPC",
         [](const Call& c) {
             if (c.s.runs.idle())
                 c.s.status.setEvent(scpi::Status::OperationComplete);
             else
                 c.s.opcArmed = true;
             return S();
         },
         nullptr},
        {"*OPC", nullptr, [](const Call&) -> S { return "1"; }, WaitIdle},
        {"*WAI", [](const Call&) { return S(); }, nullptr, WaitIdle},
        {"*ESR", nullptr, [](const Call& c) { return std::to_string(c.s.status.takeEvents()); }},
        {"*ESE",
         [](const Call& c) {
             c.s.status.ese = int(args::number(c, 0, "", 0, 255));
             return S();
         },
         [](const Call& c) { return std::to_string(c.s.status.ese); }},
        {"*SRE",
         [](const Call& c) {
             c.s.status.sre = int(args::number(c, 0, "", 0, 255)) & ~64;
             return S();
         },
         [](const Call& c) { return std::to_string(c.s.status.sre); }},
        {"*STB", nullptr,
         [](const Call& c) { return std::to_string(c.s.status.statusByte(false)); }},
        {"*TST", nullptr, [](const Call& c) -> S { return c.s.inst.hardwareFault() ? "1" : "0"; },
         WaitIdle | StopFirst},
        // ---- SYSTem ----
        {"SYSTem:ERRor[:NEXT]", nullptr, [](const Call& c) { return c.s.status.next(); }},
        {"SYSTem:ERRor:COUNt", nullptr,
         [](const Call& c) { return std::to_string(c.s.status.count()); }},
        {"SYSTem:ERRor:ALL", nullptr,
         [](const Call& c) {
             S all = c.s.status.next();
             while (c.s.status.count() > 0)
                 all += "," + c.s.status.next();
             return all;
         }},
        {"SYSTem:VERSion", nullptr, [](const Call&) -> S { return "1999.0"; }},
        // ---- Runs ----
        {"RUN",
         [](const Call& c) {
             c.s.runs.repeat();
             return S();
         },
         nullptr},
        {"SINGle",
         [](const Call& c) {
             if (c.s.inst.state().mode() == modes::Generator)
                 throw Refusal{scpi::SettingsConflict,
                               "GENERATOR mode captures nothing: RUN plays"};
             c.s.stopAsked = false;
             c.s.runs.single();
             return S();
         },
         nullptr},
        {"STOP",
         [](const Call& c) {
             c.s.stopAsked = true;
             c.s.runs.stop();
             return S();
         },
         nullptr},
        // ---- INSTrument ----
        {"INSTrument:MODE",
         [](const Call& c) {
             args::count(c, 1, 1);
             const int m =
                 args::word(c, 0, {ModeWords[0], ModeWords[1], ModeWords[2], ModeWords[3]});
             if ((m == modes::Generator || m == modes::ScopeGen)) needGenerator(c);
             args::apply(c.s.inst.setMode(modes::Mode(m)));
             return S();
         },
         [](const Call& c) { return shortForm(ModeWords[c.s.inst.state().mode() & 3]); }},
        // ---- ACQuire ----
        {"ACQuire:SRATe",
         [](const Call& c) {
             args::count(c, 1, 1);
             args::apply(c.s.inst.setSampleRate(args::oneOf(c, 0, "HZ", rates(c.s.inst.state()))));
             return S();
         },
         [](const Call& c) {
             const InstrumentState& s = c.s.inst.state();
             return num(analysis::sampleRateHz(s.sampleRateIndex(), s.RateFactor));
         }},
        {"ACQuire:POINts",
         [](const Call& c) {
             args::count(c, 1, 1);
             args::apply(
                 c.s.inst.setSampleSize(args::oneOf(c, 0, "", {2048, 4096, 8192, 16384, 32768})));
             return S();
         },
         [](const Call& c) {
             return std::to_string(2048 << (c.s.inst.state().SampleSizeIndex & 7));
         }},
        {"ACQuire:MODE",
         [](const Call& c) {
             args::count(c, 1, 1);
             args::apply(c.s.inst.setRepeat(args::word(c, 0, {"SINGle", "REPeat"}) == 1));
             return S();
         },
         [](const Call& c) -> S { return c.s.inst.state().RunRepeat ? "REP" : "SING"; }},
        {"ACQuire:TIMeout",
         [](const Call& c) {
             args::count(c, 1, 1);
             c.s.data.timeoutS = args::number(c, 0, "S", 0.1, 3600);
             return S();
         },
         [](const Call& c) { return num(c.s.data.timeoutS); }},
        {"ACQuire:COUNt", nullptr,
         [](const Call& c) { return std::to_string(c.s.inst.captureCount()); }},
        // ---- CHANnel<n> ----
        {"CHANnel#:DISPlay",
         [](const Call& c) {
             args::count(c, 1, 1);
             args::apply(c.s.inst.setChannelOn(chan(c, true), args::flag(c, 0)));
             return S();
         },
         [](const Call& c) {
             return yes(chan(c, false) == C::A ? c.s.inst.state().chanAOn()
                                               : c.s.inst.state().chanBOn());
         }},
        {"CHANnel#:RANGe",
         [](const Call& c) {
             args::count(c, 1, 1);
             const C ch = chan(c, true);
             const int code = args::oneOf(c, 0, "V", {1.2, 12, 120});
             const InstrumentState& s = c.s.inst.state();
             const int probe = ch == C::A ? s.probeA() : s.probeB();
             if (code - probe < 0 || code - probe > 1)
                 throw Refusal{scpi::SettingsConflict, code == 0 ? "1.2 V needs the x1 probe"
                                                                 : "120 V needs the x10 probe"};
             args::apply(c.s.inst.setRange(ch, code - probe));
             return S();
         },
         [](const Call& c) {
             return num(analysis::fullScaleVolts(rangeCode(c.s.inst.state(), chan(c, false))));
         }},
        {"CHANnel#:COUPling",
         [](const Call& c) {
             args::count(c, 1, 1);
             const C ch = chan(c, true);
             args::apply(c.s.inst.setCoupling(ch, args::word(c, 0, {"AC", "DC"}) == 1));
             return S();
         },
         [](const Call& c) -> S {
             const InstrumentState& s = c.s.inst.state();
             return (chan(c, false) == C::A ? s.dcA() : s.dcB()) ? "DC" : "AC";
         }},
        {"CHANnel#:PROBe",
         [](const Call& c) {
             args::count(c, 1, 1);
             const C ch = chan(c, true);
             args::apply(c.s.inst.setProbe(ch, args::oneOf(c, 0, "", {1, 10}) == 1));
             return S();
         },
         [](const Call& c) -> S {
             const InstrumentState& s = c.s.inst.state();
             return (chan(c, false) == C::A ? s.probeA() : s.probeB()) ? "10" : "1";
         }},
        {"CHANnel#:MAGnify",
         [](const Call& c) {
             args::count(c, 1, 1);
             const Instrument::Trace t = trace(c);
             args::apply(c.s.inst.setYMagnification(t, args::oneOf(c, 0, "", {1, 2, 5})));
             return S();
         },
         [](const Call& c) {
             const InstrumentState& s = c.s.inst.state();
             const Instrument::Trace t = trace(c);
             const int step = t == Instrument::Trace::A   ? s.yMagA()
                              : t == Instrument::Trace::B ? s.yMagB()
                                                          : s.sumYMag();
             return std::to_string(step == 2 ? 5 : step + 1);
         }},
        {"CHANnel#:POSition",
         [](const Call& c) {
             args::count(c, 1, 1);
             const Instrument::Trace t = trace(c);
             const double v = args::number(c, 0, "", -1000, 1000);
             if (v != std::round(v))
                 throw Refusal{scpi::DataOutOfRange, "positions are whole steps"};
             args::apply(c.s.inst.setTracePosition(t, int(v)));
             return S();
         },
         [](const Call& c) {
             const InstrumentState& s = c.s.inst.state();
             const Instrument::Trace t = trace(c);
             return std::to_string(t == Instrument::Trace::A   ? s.tracePosA()
                                   : t == Instrument::Trace::B ? s.TracePosB
                                                               : s.TracePosSum);
         }},
        // ---- MATH: the combined trace ----
        {"MATH:MODE",
         [](const Call& c) {
             args::count(c, 1, 1);
             Instrument& i = c.s.inst;
             const int m = args::word(c, 0, {"OFF", "SUM", "DIFFerence"});
             if (m == 1) args::apply(i.setDisplay(Instrument::Toggle::Sum, true));
             if (m == 2) args::apply(i.setDisplay(Instrument::Toggle::Difference, true));
             if (m == 0 && i.state().showAplusB())
                 args::apply(i.setDisplay(Instrument::Toggle::Sum, false));
             if (m == 0 && i.state().showAminusB())
                 args::apply(i.setDisplay(Instrument::Toggle::Difference, false));
             return S();
         },
         [](const Call& c) -> S {
             const InstrumentState& s = c.s.inst.state();
             return s.showAplusB() ? "SUM" : s.showAminusB() ? "DIFF" : "OFF";
         }},
        // ---- TRIGger ----
        {"TRIGger:MODE",
         [](const Call& c) {
             args::count(c, 1, 1);
             args::apply(c.s.inst.setTriggerMode(args::word(c, 0, {"INSTant", "NORMal"})));
             return S();
         },
         [](const Call& c) -> S { return c.s.inst.state().trigMode() == 1 ? "NORM" : "INST"; }},
        {"TRIGger:SOURce",
         [](const Call& c) {
             args::count(c, 1, 1);
             const int n = args::channelParam(c, 0, 1);
             if (n == 2 && !c.s.inst.state().chanBFitted())
                 throw Refusal{scpi::HardwareMissing, "this instrument has no channel B"};
             args::apply(c.s.inst.setTriggerSource(n == 1 ? C::A : C::B));
             return S();
         },
         [](const Call& c) -> S { return c.s.inst.state().trigSourceB() ? "CHAN2" : "CHAN1"; }},
        {"TRIGger:SLOPe",
         [](const Call& c) {
             args::count(c, 1, 1);
             args::apply(c.s.inst.setTriggerSlope(args::word(c, 0, {"NEGative", "POSitive"}) == 1));
             return S();
         },
         [](const Call& c) -> S { return c.s.inst.state().risingSlope() ? "POS" : "NEG"; }},
        {"TRIGger:LEVel",
         [](const Call& c) {
             args::count(c, 1, 1);
             const double vpu = levelVoltsPerUnit(c.s.inst.state());
             // The arrows keep the level 10 units (one code) inside the display.
             const double limit = (InstrumentState::MidScale - 10) * vpu;
             const double v = args::number(c, 0, "V", -limit, limit);
             args::apply(c.s.inst.setTriggerLevel(InstrumentState::MidScale - v / vpu));
             return S();
         },
         [](const Call& c) {
             const InstrumentState& s = c.s.inst.state();
             return num((InstrumentState::MidScale - s.trigLevel()) * levelVoltsPerUnit(s));
         }},
        {"TRIGger:PRETrigger",
         [](const Call& c) {
             args::count(c, 1, 1);
             args::apply(c.s.inst.setPretrigger(args::oneOf(c, 0, "", {0, 10, 100})));
             return S();
         },
         [](const Call& c) {
             return std::to_string(acq::preTrigCount(c.s.inst.state().preTrig()));
         }},
        // ---- DISPlay ----
        {"DISPlay:TRACe#",
         [](const Call& c) {
             args::count(c, 1, 1);
             static const Instrument::Toggle shows[] = {
                 Instrument::Toggle::ShowA, Instrument::Toggle::ShowB, Instrument::Toggle::ShowD};
             if (c.suffixes[0] < 1 || c.suffixes[0] > 3)
                 throw Refusal{scpi::HeaderSuffixOutOfRange, "traces are 1 (A), 2 (B) and 3 (D)"};
             args::apply(c.s.inst.setDisplay(shows[c.suffixes[0] - 1], args::flag(c, 0)));
             return S();
         },
         [](const Call& c) {
             const InstrumentState& s = c.s.inst.state();
             const int n = c.suffixes[0];
             if (n < 1 || n > 3)
                 throw Refusal{scpi::HeaderSuffixOutOfRange, "traces are 1, 2 and 3"};
             return yes(n == 1 ? s.showA() : n == 2 ? s.showB() : s.showD());
         }},
        {"DISPlay:DELay",
         [](const Call& c) {
             args::count(c, 1, 1);
             args::apply(c.s.inst.setDelayMode(args::flag(c, 0)));
             return S();
         },
         [](const Call& c) { return yes(c.s.inst.state().DelayMode == 1); }},
        // ---- SOURce: the generator ----
        {"SOURce:MODE",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             args::apply(c.s.inst.setGenMode(
                 args::word(c, 0, {SourceModeWords[0], SourceModeWords[1], SourceModeWords[2]})));
             return S();
         },
         [](const Call& c) {
             return shortForm(SourceModeWords[std::clamp(c.s.inst.state().genMode(), 0, 2)]);
         }},
        {"SOURce:FUNCtion",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             args::apply(c.s.inst.setGenStyle(args::word(
                 c, 0, {FunctionWords[0], FunctionWords[1], FunctionWords[2], FunctionWords[3]})));
             return S();
         },
         [](const Call& c) {
             return shortForm(FunctionWords[std::clamp(c.s.inst.state().genStyle(), 0, 4)]);
         }},
        {"SOURce:FREQuency",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             const double hz = args::number(c, 0, "HZ", gen::MinFreq, gen::MaxFreq);
             args::apply(c.s.inst.setGenFrequency(std::lround(hz)));
             return S();
         },
         [](const Call& c) { return std::to_string(c.s.inst.state().genFreq()); }},
        {"SOURce:VOLTage",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             args::apply(c.s.inst.setGenAmplitude(args::oneOf(c, 0, "V", {2, 1}) + 1));
             return S();
         },
         [](const Call& c) -> S { return c.s.inst.state().AmpDiv == 2 ? "1" : "2"; }},
        {"SOURce:DCYCle",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             const double pct = args::number(c, 0, "PCT", 2, 98);
             if (pct != std::round(pct)) throw Refusal{scpi::DataOutOfRange, "whole percent"};
             args::apply(c.s.inst.setDutyCycle(int(pct)));
             return S();
         },
         [](const Call& c) { return std::to_string(c.s.inst.state().dutyCycle()); }},
        {"SOURce:SWEep:STARt",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             args::apply(
                 c.s.inst.setSweepStart(args::oneOf(c, 0, "HZ", sweepStarts(c.s.inst.state()))));
             return S();
         },
         [](const Call& c) {
             const InstrumentState& s = c.s.inst.state();
             return num(sweepStarts(s)[size_t(std::clamp(s.sweepStartIndex(), 0, 9))]);
         }},
        {"SOURce:SWEep:RATio",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             args::apply(c.s.inst.setSweepRatio(args::oneOf(c, 0, "", {2, 5, 10, 20})));
             return S();
         },
         [](const Call& c) {
             static const int ratios[] = {2, 5, 10, 20};
             return std::to_string(ratios[std::clamp(c.s.inst.state().sweepRatio(), 0, 3)]);
         }},
        {"SOURce:CUSTom:RATE",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             args::apply(c.s.inst.setCustomRate(args::oneOf(c, 0, "HZ", rates(c.s.inst.state()))));
             return S();
         },
         [](const Call& c) {
             const InstrumentState& s = c.s.inst.state();
             return num(analysis::sampleRateHz(s.customRateIndex(), s.RateFactor));
         }},
        {"SOURce:CUSTom:AMPLitude",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             const scpi::Param& p = c.cmd.params[0];
             const bool max = p.kind == Param::Kind::Word && scpi::isWord(p.text, "MAXimum");
             args::apply(c.s.inst.setCustomAmplitude(max ? 3 : args::oneOf(c, 0, "", {1, 2, 5})));
             return S();
         },
         [](const Call& c) -> S {
             static const char* const ratios[] = {"1", "2", "5", "MAX"};
             return ratios[std::clamp(c.s.inst.state().ampRatio(), 0, 3)];
         }},
        {"SOURce:CUSTom:DATA",
         [](const Call& c) {
             args::count(c, 1, 1);
             needGenerator(c);
             const scpi::Param& p = c.cmd.params[0];
             if (p.kind != Param::Kind::Block)
                 throw Refusal{scpi::DataTypeError, "a block is wanted"};
             if (p.text.empty()) throw Refusal{scpi::DataOutOfRange, "a wave needs a point"};
             std::vector<int16_t> wave;
             wave.reserve(p.text.size());
             for (unsigned char b : p.text)
                 wave.push_back(int16_t(b * 10));
             args::apply(c.s.inst.setCustomWave(wave));
             return S();
         },
         [](const Call& c) {
             // The points as loaded (the generator plays them by the amplitude ratio).
             const InstrumentState& s = c.s.inst.state();
             const int last = std::clamp(int(s.GenLast), -1, InstrumentState::LastIndex);
             std::string bytes;
             for (int i = 0; i <= last; ++i)
                 bytes += char(std::clamp((s.CustomWave[size_t(i)] + 5) / 10, 0, 255));
             return scpi::block(bytes);
         }},
    };
    tree.push_back(toggle<Instrument::Toggle::Grid, &InstrumentState::gridOn>("DISPlay:GRID"));
    tree.push_back(toggle<Instrument::Toggle::Join, &InstrumentState::joinOn>("DISPlay:JOIN"));
    tree.push_back(toggle<Instrument::Toggle::Units, &InstrumentState::unitsOn>("DISPlay:UNITs"));
    // The combined trace's magnification and position: those of CHANnel<n>.
    for (const Entry& e : std::vector<Entry>(tree))
        if (std::string(e.pattern) == "CHANnel#:MAGnify")
            tree.push_back({"MATH:MAGnify", e.set, e.query});
        else if (std::string(e.pattern) == "CHANnel#:POSition")
            tree.push_back({"MATH:POSition", e.set, e.query});
    tree.push_back({"ABORt",
                    [](const Call& c) {
                        c.s.stopAsked = true;
                        c.s.runs.stop();
                        return S();
                    },
                    nullptr});
    // DIGitize: SINGle, and the message holds until that capture is in.
    tree.push_back({"DIGitize",
                    [](const Call& c) {
                        if (c.s.runs.idle()) {
                            c.s.stopAsked = false;
                            c.s.runs.single();
                        }
                        return S();
                    },
                    nullptr, WaitIdle | WaitAfter});
    addDataCommands(tree);
    return tree;
}

} // namespace

const std::vector<Entry>& commandTree() {
    static const std::vector<Entry> tree = build();
    return tree;
}

} // namespace remote
