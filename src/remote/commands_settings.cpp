// Every setting of the instrument as a SCPI command: each goes through the Instrument's
// setter, with its rules (a refusal is -221 with the instrument's reason), and its query
// reads the record.
#include "acquisition/acquisition.h"
#include "analysis/record.h"
#include "generator/synthesis.h"
#include "remote/commands.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace remote {

namespace {

using C = Instrument::Channel;
using T = Instrument::Trace;
using S = std::string;

S yes(bool on) {
    return on ? "1" : "0";
}
const InstrumentState& rec(const Call& c) {
    return c.s.inst.state();
}
// One parameter, then the setter's answer.
void set(const Call& c, const std::function<std::string()>& setter) {
    args::count(c, 1, 1);
    args::apply(setter());
}

C chan(const Call& c, bool setting) {
    const int n = args::channel(c.suffixes[0]);
    if (setting && n == 2 && !rec(c).chanBFitted())
        throw Refusal{scpi::HardwareMissing, "this instrument has no channel B"};
    return n == 1 ? C::A : C::B;
}

// CHANnel<n> or MATH, the combined trace.
T trace(const Call& c) {
    if (c.cmd.path[0].name.rfind("MATH", 0) == 0) return T::Sum;
    return chan(c, false) == C::A ? T::A : T::B;
}

void needGenerator(const Call& c) {
    if (!rec(c).genFitted())
        throw Refusal{scpi::HardwareMissing, "this instrument has no generator"};
}

std::vector<double> rates(const InstrumentState& s) {
    std::vector<double> r;
    for (int i = 0; i <= acq::MaxIndex; ++i)
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
template <Instrument::Toggle Which, bool (InstrumentState::*Read)() const>
Entry toggle(const char* pattern) {
    return {pattern,
            [](const Call& c) {
                set(c, [&] { return c.s.inst.setDisplay(Which, args::flag(c, 0)); });
                return S();
            },
            [](const Call& c) { return yes((rec(c).*Read)()); }};
}

const std::vector<const char*> ModeWords = {"SCOPe", "GENerator", "SGENerator", "FFT"};
const std::vector<const char*> GenModeWords = {"NORMal", "SWEep", "CUSTom"};
const std::vector<const char*> FunctionWords = {"SINusoid", "TRIangle", "RAMP", "SQUare", "CUSTom"};

// ---- INSTrument, ACQuire ---------------------------------------------------------------

S setMode(const Call& c) {
    args::count(c, 1, 1);
    const int m = args::word(c, 0, ModeWords);
    if (m == modes::Generator || m == modes::ScopeGen) needGenerator(c);
    args::apply(c.s.inst.setMode(modes::Mode(m)));
    return {};
}

S setRate(const Call& c) {
    set(c, [&] { return c.s.inst.setSampleRate(args::oneOf(c, 0, "HZ", rates(rec(c)))); });
    return {};
}
S rate(const Call& c) {
    return scpi::number(analysis::sampleRateHz(rec(c).sampleRateIndex(), rec(c).RateFactor));
}

S setPoints(const Call& c) {
    set(c, [&] {
        return c.s.inst.setSampleSize(args::oneOf(c, 0, "", {2048, 4096, 8192, 16384, 32768}));
    });
    return {};
}

S setTimeout(const Call& c) {
    args::count(c, 1, 1);
    c.s.data.timeoutS = args::number(c, 0, "S", 0.1, 3600);
    return {};
}

// ---- CHANnel<n>, MATH --------------------------------------------------------------------

S setRange(const Call& c) {
    args::count(c, 1, 1);
    const C ch = chan(c, true);
    const int code = args::oneOf(c, 0, "V", {1.2, 12, 120});
    const int probe = ch == C::A ? rec(c).probeA() : rec(c).probeB();
    if (code - probe < 0 || code - probe > 1)
        throw Refusal{scpi::SettingsConflict,
                      code == 0 ? "1.2 V needs the x1 probe" : "120 V needs the x10 probe"};
    args::apply(c.s.inst.setRange(ch, code - probe));
    return {};
}

S setMagnify(const Call& c) {
    const T t = trace(c);
    set(c, [&] { return c.s.inst.setYMagnification(t, args::oneOf(c, 0, "", {1, 2, 5})); });
    return {};
}
S magnify(const Call& c) {
    const T t = trace(c);
    const int step = t == T::A ? rec(c).yMagA() : t == T::B ? rec(c).yMagB() : rec(c).sumYMag();
    return std::to_string(step == 2 ? 5 : step + 1);
}

S setPosition(const Call& c) {
    const T t = trace(c);
    args::count(c, 1, 1);
    const double v = args::number(c, 0, "", -1000, 1000);
    if (v != std::round(v)) throw Refusal{scpi::DataOutOfRange, "positions are whole steps"};
    args::apply(c.s.inst.setTracePosition(t, int(v)));
    return {};
}
S position(const Call& c) {
    const T t = trace(c);
    return std::to_string(t == T::A   ? rec(c).tracePosA()
                          : t == T::B ? rec(c).TracePosB
                                      : rec(c).TracePosSum);
}

S setMath(const Call& c) {
    args::count(c, 1, 1);
    Instrument& i = c.s.inst;
    const int m = args::word(c, 0, {"OFF", "SUM", "DIFFerence"});
    if (m == 1) args::apply(i.setDisplay(Instrument::Toggle::Sum, true));
    if (m == 2) args::apply(i.setDisplay(Instrument::Toggle::Difference, true));
    if (m == 0 && i.state().showAplusB()) args::apply(i.setDisplay(Instrument::Toggle::Sum, false));
    if (m == 0 && i.state().showAminusB())
        args::apply(i.setDisplay(Instrument::Toggle::Difference, false));
    return {};
}

// ---- TRIGger, DISPlay ----------------------------------------------------------------------

S setSource(const Call& c) {
    args::count(c, 1, 1);
    const int n = args::channelParam(c, 0, 1);
    if (n == 2 && !rec(c).chanBFitted())
        throw Refusal{scpi::HardwareMissing, "this instrument has no channel B"};
    args::apply(c.s.inst.setTriggerSource(n == 1 ? C::A : C::B));
    return {};
}

S setLevel(const Call& c) {
    args::count(c, 1, 1);
    const double vpu = levelVoltsPerUnit(rec(c));
    // The arrows keep the level 10 units (one code) inside the display.
    const double limit = (InstrumentState::MidScale - 10) * vpu;
    const double v = args::number(c, 0, "V", -limit, limit);
    args::apply(c.s.inst.setTriggerLevel(InstrumentState::MidScale - v / vpu));
    return {};
}
S level(const Call& c) {
    return scpi::number((InstrumentState::MidScale - rec(c).trigLevel()) *
                        levelVoltsPerUnit(rec(c)));
}

// DISPlay:TRACe<n>: the A (1), B (2) and D (3) display toggles.
int traceToggle(const Call& c) {
    if (c.suffixes[0] < 1 || c.suffixes[0] > 3)
        throw Refusal{scpi::HeaderSuffixOutOfRange, "traces are 1 (A), 2 (B) and 3 (D)"};
    return c.suffixes[0];
}
S setShown(const Call& c) {
    static const Instrument::Toggle shows[] = {Instrument::Toggle::ShowA, Instrument::Toggle::ShowB,
                                               Instrument::Toggle::ShowD};
    const int n = traceToggle(c);
    set(c, [&] { return c.s.inst.setDisplay(shows[n - 1], args::flag(c, 0)); });
    return {};
}
S shown(const Call& c) {
    const int n = traceToggle(c);
    return yes(n == 1 ? rec(c).showA() : n == 2 ? rec(c).showB() : rec(c).showD());
}

// ---- SOURce ------------------------------------------------------------------------------

// A generator setting: refused on an instrument without one.
void setGen(const Call& c, const std::function<std::string()>& setter) {
    needGenerator(c);
    set(c, setter);
}

S setFrequency(const Call& c) {
    setGen(c, [&] {
        const double hz = args::number(c, 0, "HZ", gen::MinFreq, gen::MaxFreq);
        return c.s.inst.setGenFrequency(std::lround(hz));
    });
    return {};
}

S setDuty(const Call& c) {
    setGen(c, [&] {
        const double pct = args::number(c, 0, "PCT", 2, 98);
        if (pct != std::round(pct)) throw Refusal{scpi::DataOutOfRange, "whole percent"};
        return c.s.inst.setDutyCycle(int(pct));
    });
    return {};
}

S setCustomAmplitude(const Call& c) {
    setGen(c, [&] {
        const scpi::Param& p = c.cmd.params[0];
        const bool max = p.kind == scpi::Param::Kind::Word && scpi::isWord(p.text, "MAXimum");
        return c.s.inst.setCustomAmplitude(max ? 3 : args::oneOf(c, 0, "", {1, 2, 5}));
    });
    return {};
}

S setCustomData(const Call& c) {
    setGen(c, [&] {
        const scpi::Param& p = c.cmd.params[0];
        if (p.kind != scpi::Param::Kind::Block)
            throw Refusal{scpi::DataTypeError, "a block is wanted"};
        if (p.text.empty()) throw Refusal{scpi::DataOutOfRange, "a wave needs a point"};
        std::vector<int16_t> wave;
        wave.reserve(p.text.size());
        for (unsigned char b : p.text)
            wave.push_back(int16_t(b * 10));
        return c.s.inst.setCustomWave(wave);
    });
    return {};
}
S customData(const Call& c) {
    // The points as loaded (the generator plays them by the amplitude ratio).
    const int last = std::clamp(int(rec(c).GenLast), -1, InstrumentState::LastIndex);
    std::string bytes;
    for (int i = 0; i <= last; ++i)
        bytes += char(std::clamp((rec(c).CustomWave[size_t(i)] + 5) / 10, 0, 255));
    return scpi::block(bytes);
}

std::vector<Entry> instrumentAndChannels() {
    return {
        {"INSTrument:MODE", setMode,
         [](const Call& c) { return shortForm(ModeWords[size_t(rec(c).mode() & 3)]); }},
        {"ACQuire:SRATe", setRate, rate},
        {"ACQuire:POINts", setPoints,
         [](const Call& c) { return std::to_string(2048 << (rec(c).SampleSizeIndex & 7)); }},
        {"ACQuire:MODE",
         [](const Call& c) {
             set(c, [&] {
                 return c.s.inst.setRepeat(args::word(c, 0, {"SINGle", "REPeat"}) == 1);
             });
             return S();
         },
         [](const Call& c) -> S { return rec(c).RunRepeat ? "REP" : "SING"; }},
        {"ACQuire:TIMeout", setTimeout,
         [](const Call& c) { return scpi::number(c.s.data.timeoutS); }},
        {"ACQuire:COUNt", nullptr,
         [](const Call& c) { return std::to_string(c.s.inst.captureCount()); }},
        {"CHANnel#:DISPlay",
         [](const Call& c) {
             const C ch = chan(c, true);
             set(c, [&] { return c.s.inst.setChannelOn(ch, args::flag(c, 0)); });
             return S();
         },
         [](const Call& c) {
             return yes(chan(c, false) == C::A ? rec(c).chanAOn() : rec(c).chanBOn());
         }},
        {"CHANnel#:RANGe", setRange,
         [](const Call& c) {
             return scpi::number(analysis::fullScaleVolts(rangeCode(rec(c), chan(c, false))));
         }},
        {"CHANnel#:COUPling",
         [](const Call& c) {
             const C ch = chan(c, true);
             set(c, [&] { return c.s.inst.setCoupling(ch, args::word(c, 0, {"AC", "DC"}) == 1); });
             return S();
         },
         [](const Call& c) -> S {
             return (chan(c, false) == C::A ? rec(c).dcA() : rec(c).dcB()) ? "DC" : "AC";
         }},
        {"CHANnel#:PROBe",
         [](const Call& c) {
             const C ch = chan(c, true);
             set(c, [&] { return c.s.inst.setProbe(ch, args::oneOf(c, 0, "", {1, 10}) == 1); });
             return S();
         },
         [](const Call& c) -> S {
             return (chan(c, false) == C::A ? rec(c).probeA() : rec(c).probeB()) ? "10" : "1";
         }},
        {"CHANnel#:MAGnify", setMagnify, magnify},
        {"CHANnel#:POSition", setPosition, position},
        {"MATH:MODE", setMath,
         [](const Call& c) -> S {
             return rec(c).showAplusB() ? "SUM" : rec(c).showAminusB() ? "DIFF" : "OFF";
         }},
        {"MATH:MAGnify", setMagnify, magnify},
        {"MATH:POSition", setPosition, position},
    };
}

std::vector<Entry> triggerAndDisplay() {
    return {
        {"TRIGger:MODE",
         [](const Call& c) {
             set(c, [&] {
                 return c.s.inst.setTriggerMode(args::word(c, 0, {"INSTant", "NORMal"}));
             });
             return S();
         },
         [](const Call& c) -> S { return rec(c).trigMode() == 1 ? "NORM" : "INST"; }},
        {"TRIGger:SOURce", setSource,
         [](const Call& c) -> S { return rec(c).trigSourceB() ? "CHAN2" : "CHAN1"; }},
        {"TRIGger:SLOPe",
         [](const Call& c) {
             set(c, [&] {
                 return c.s.inst.setTriggerSlope(args::word(c, 0, {"NEGative", "POSitive"}) == 1);
             });
             return S();
         },
         [](const Call& c) -> S { return rec(c).risingSlope() ? "POS" : "NEG"; }},
        {"TRIGger:LEVel", setLevel, level},
        {"TRIGger:PRETrigger",
         [](const Call& c) {
             set(c, [&] { return c.s.inst.setPretrigger(args::oneOf(c, 0, "", {0, 10, 100})); });
             return S();
         },
         [](const Call& c) { return std::to_string(acq::preTrigCount(rec(c).preTrig())); }},
        toggle<Instrument::Toggle::Grid, &InstrumentState::gridOn>("DISPlay:GRID"),
        toggle<Instrument::Toggle::Join, &InstrumentState::joinOn>("DISPlay:JOIN"),
        toggle<Instrument::Toggle::Units, &InstrumentState::unitsOn>("DISPlay:UNITs"),
        {"DISPlay:TRACe#", setShown, shown},
        {"DISPlay:DELay",
         [](const Call& c) {
             set(c, [&] { return c.s.inst.setDelayMode(args::flag(c, 0)); });
             return S();
         },
         [](const Call& c) { return yes(rec(c).DelayMode == 1); }},
    };
}

std::vector<Entry> generator() {
    return {
        {"SOURce:MODE",
         [](const Call& c) {
             setGen(c, [&] { return c.s.inst.setGenMode(args::word(c, 0, GenModeWords)); });
             return S();
         },
         [](const Call& c) {
             return shortForm(GenModeWords[size_t(std::clamp(rec(c).genMode(), 0, 2))]);
         }},
        {"SOURce:FUNCtion",
         [](const Call& c) {
             const std::vector<const char*> styles(FunctionWords.begin(), FunctionWords.end() - 1);
             setGen(c, [&] { return c.s.inst.setGenStyle(args::word(c, 0, styles)); });
             return S();
         },
         [](const Call& c) {
             return shortForm(FunctionWords[size_t(std::clamp(rec(c).genStyle(), 0, 4))]);
         }},
        {"SOURce:FREQuency", setFrequency,
         [](const Call& c) { return std::to_string(rec(c).genFreq()); }},
        {"SOURce:VOLTage",
         [](const Call& c) {
             setGen(c, [&] {
                 return c.s.inst.setGenAmplitude(args::oneOf(c, 0, "V", {2, 1}) + 1);
             });
             return S();
         },
         [](const Call& c) -> S { return rec(c).AmpDiv == 2 ? "1" : "2"; }},
        {"SOURce:DCYCle", setDuty,
         [](const Call& c) { return std::to_string(rec(c).dutyCycle()); }},
        {"SOURce:SWEep:STARt",
         [](const Call& c) {
             setGen(c, [&] {
                 return c.s.inst.setSweepStart(args::oneOf(c, 0, "HZ", sweepStarts(rec(c))));
             });
             return S();
         },
         [](const Call& c) {
             return scpi::number(
                 sweepStarts(rec(c))[size_t(std::clamp(rec(c).sweepStartIndex(), 0, 9))]);
         }},
        {"SOURce:SWEep:RATio",
         [](const Call& c) {
             setGen(c, [&] {
                 return c.s.inst.setSweepRatio(args::oneOf(c, 0, "", {2, 5, 10, 20}));
             });
             return S();
         },
         [](const Call& c) {
             static const int ratios[] = {2, 5, 10, 20};
             return std::to_string(ratios[std::clamp(rec(c).sweepRatio(), 0, 3)]);
         }},
        {"SOURce:CUSTom:RATE",
         [](const Call& c) {
             setGen(c,
                    [&] { return c.s.inst.setCustomRate(args::oneOf(c, 0, "HZ", rates(rec(c)))); });
             return S();
         },
         [](const Call& c) {
             return scpi::number(
                 analysis::sampleRateHz(rec(c).customRateIndex(), rec(c).RateFactor));
         }},
        {"SOURce:CUSTom:AMPLitude", setCustomAmplitude,
         [](const Call& c) -> S {
             static const char* const ratios[] = {"1", "2", "5", "MAX"};
             return ratios[std::clamp(rec(c).ampRatio(), 0, 3)];
         }},
        {"SOURce:CUSTom:DATA", setCustomData, customData},
    };
}

} // namespace

void addSettingCommands(std::vector<Entry>& tree) {
    for (const auto& group : {instrumentAndChannels(), triggerAndDisplay(), generator()})
        tree.insert(tree.end(), group.begin(), group.end());
}

} // namespace remote
