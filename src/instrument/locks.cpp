#include "instrument/locks.h"

#include "display/display_util.h"

#include <algorithm>
#include <array>

namespace instrument {

namespace {

template <size_t N> bool among(std::string_view c, const std::array<const char*, N>& names) {
    return std::find(names.begin(), names.end(), c) != names.end();
}

constexpr std::array<const char*, 3> RangeA{"Command3", "Command2", "Command4"};
constexpr std::array<const char*, 3> RangeB{"Command6", "Command7", "Command5"};
constexpr std::array<const char*, 4> Sampling{"SRATEN", "SRATEP", "SSIZEN", "SSIZEP"};
constexpr std::array<const char*, 4> TriggerSettings{"TMODEBUTTON", "TSOURCEBUTTON",
                                                     "PRETRIGBUTTON", "TSLOPEBUTTON"};
constexpr std::array<const char*, 5> Level{"TriglevelBUTTON", "TRLARGEN", "TRSMALLN", "TRLARGEP",
                                           "TRSMALLP"};
constexpr std::array<const char*, 6> ChannelArrows{"scrollupA",   "scrolldownA", "scrollupB",
                                                   "scrolldownB", "YMagAbutton", "YMagBbutton"};
constexpr std::array<const char*, 11> Generator{
    "GENMODEBUTTON",   "GENSTYLEBUTTON",  "GENAMPBUTTON",    "SWRATIOBUTTON",   "GENUPDATEBUTTON",
    "GENLFREQBUTTONN", "GENLFREQBUTTONP", "GENSFREQBUTTONN", "GENSFREQBUTTONP", "DCUP",
    "DCDOWN"};

// The generator panel's buttons that GENDISP enables by the generator mode and style.
bool generatorButton(std::string_view c, const InstrumentState& s) {
    const int genMode = s.genMode();
    const bool normalSquare = genMode == 0 && s.genStyle() == 3;
    if (c == "GENSFREQBUTTONN" || c == "GENSFREQBUTTONP") return genMode == 0;
    if (c == "SWRATIOBUTTON") return genMode > 0 || normalSquare;
    if (c == "DCUP" || c == "DCDOWN") return normalSquare;
    return true;
}

} // namespace

bool enabledWithoutWindow(std::string_view c, const InstrumentState& s) {
    const modes::Mode mode = s.mode();
    const bool running = s.running();
    const bool scope = mode == modes::Scope || mode == modes::FFT;
    // During a run only SCOPE keeps the channel, sampling and trigger panels.
    const bool runLocked = running && mode != modes::Scope;
    if (c == "SCOPEMODE") return !running;
    if (among(c, RangeA)) return !runLocked && mode != modes::Generator && s.chanAOn();
    if (among(c, RangeB))
        return !runLocked && mode != modes::Generator && s.chanBOn() && s.chanBFitted();
    if (among(c, Sampling)) return !runLocked && scope;
    if (c == "TRESETBUTTON") return mode == modes::ScopeGen || (!runLocked && scope);
    if (among(c, TriggerSettings)) return !runLocked && scope;
    const bool combined = display::combinedOn(s);
    const bool traces = mode == modes::Scope || mode == modes::ScopeGen;
    if (c == "TriglevelBUTTON") {
        // The display panel gives SET LEVEL back in SCOPE+GEN unless a combined trace is
        // on show (its level has no channel); the trigger panel has it in TRIG only.
        if (runLocked || mode == modes::Generator) return false;
        if (mode == modes::ScopeGen) return !combined;
        return s.trigMode() == 1 && !(mode == modes::Scope && combined);
    }
    if (among(c, Level)) return !runLocked && scope && s.trigMode() == 1;
    // The arrows and magnification of each channel while no combined trace is shown, and
    // the combined trace's arrows while it is shown magnified.
    if (among(c, ChannelArrows)) return traces && !combined;
    if (c == "Scrollup" || c == "scrolldown") return traces && combined && s.sumYMag() > 0;
    if (among(c, Generator)) return !running && !scope && generatorButton(c, s);
    if (c == "DelayWin") return scope;
    if (c == "Command17") return mode != modes::Generator;
    if (c == "Command18") return mode != modes::Generator && s.chanBFitted();
    if (c == "Command19") return !scope;
    if (c == "Command20" || c == "Command21")
        return mode == modes::Scope || mode == modes::ScopeGen;
    if (c == "Command12") return traces && combined;
    return true;
}

} // namespace instrument
