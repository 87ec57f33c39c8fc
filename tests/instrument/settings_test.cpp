// The instrument's named settings against the window's buttons: from the same start, a
// setting leaves the record its button leaves; it is refused where the button is locked;
// the lock rule without a window is the window's own; the start-up without a window
// sends what the window's start-up sends and derives the same record.
#include "instrument/instrument.h"
#include "instrument/locks.h"
#include "platform/design.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <functional>

using testing_support::Harness;
using C = Instrument::Channel;

namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names)
        out += (out.empty() ? "" : " ") + n;
    return out;
}

// Fields the window's drawing keeps in the record (where it drew the cursor and the
// level line, the redraw's own bookkeeping): a setting leaves them to the next redraw.
const std::vector<std::string> DrawingMarks = {
    "CursorXDrawn",  "CursorColourDrawn", "CursorDrawn", "LevelDrawn", "LevelColourDrawn",
    "TrigLevelPrev", "TrigCursorMode",    "LevelVolts",  "CursorTime", "CursorUnit"};

std::string differences(const InstrumentState& a, const InstrumentState& b,
                        const std::vector<std::string>& ignored = DrawingMarks) {
    std::vector<std::string> d = InstrumentState::differences(a, b);
    d.erase(std::remove_if(d.begin(), d.end(),
                           [&](const std::string& f) {
                               return std::find(ignored.begin(), ignored.end(), f) != ignored.end();
                           }),
            d.end());
    return joined(d);
}

// The port accesses of a log, comparable.
std::vector<std::tuple<bool, int, int>> accesses(const std::vector<sim::Access>& log) {
    std::vector<std::tuple<bool, int, int>> out;
    for (const sim::Access& a : log)
        out.emplace_back(a.write, a.address, a.value);
    return out;
}

// The answers of several settings in their order (a braced list is evaluated in order).
std::string all(std::initializer_list<std::string> answers) {
    std::string out;
    for (const std::string& a : answers)
        out += a;
    return out;
}

using Step = std::function<void(WQK&)>;
// The named setting that stands for a row's buttons.
#define SET(call) [](Instrument& i) { return i.call; }
using Setting = std::function<std::string(Instrument&)>;

struct Row {
    const char* name;
    Step start;   // brings both windows to the row's start state
    Step press;   // the buttons
    Setting set;  // the setting that stands for them
    bool refused; // the button is locked there: the setting is refused
};

// The record a started window has after `start` and then `next`.
InstrumentState after(const Step& start, const Step& next, sim::Options o = {}) {
    Harness h(o);
    WQK& w = h.window();
    if (start) start(w);
    next(w);
    return w.state();
}

void check(const std::vector<Row>& rows, sim::Options o = {}) {
    for (const Row& r : rows) {
        const InstrumentState before = after(
            r.start, [](WQK&) {}, o);
        const InstrumentState pressed = after(r.start, r.press, o);
        std::string answer;
        const InstrumentState set = after(
            r.start, [&](WQK& w) { answer = r.set(w.instrument()); }, o);
        EXPECT_EQ(answer.empty(), !r.refused) << r.name << ": " << answer;
        EXPECT_EQ(differences(set, r.refused ? before : pressed), "") << r.name;
    }
}

// n presses of a handler.
template <class F> Step times(int n, F f) {
    return [n, f](WQK& w) {
        for (int i = 0; i < n; ++i)
            (w.*f)();
    };
}

// One step after another.
Step then(Step a, Step b) {
    return [a, b](WQK& w) {
        a(w);
        b(w);
    };
}

const Step none = [](WQK&) {};
const Step toGenerator = times(1, &WQK::SCOPEMODE_Click);
const Step toScopeGen = times(2, &WQK::SCOPEMODE_Click);
const Step toSweep = then(toScopeGen, times(1, &WQK::GENMODEBUTTON_MouseDown));
const Step toSquare = then(toScopeGen, times(3, &WQK::GENSTYLEBUTTON_MouseDown));
const Step toSetLevel =
    then(times(1, &WQK::TMODEBUTTON_MouseDown), times(1, &WQK::TriglevelBUTTON_MouseDown));
using T = Instrument::Toggle;

} // namespace

TEST(InstrumentSettings, SamplingAndTriggerAsTheirButtons) {
    check({
        {"rate two down", none, times(2, &WQK::SRATEN_MouseDown), SET(setSampleRate(1)), false},
        {"rate to the top", none, times(3, &WQK::SRATEP_MouseDown), SET(setSampleRate(4)), false},
        {"rate 5 is no rate", none, none, SET(setSampleRate(5)), true},
        {"size to 32K", none, times(3, &WQK::SSIZEP_MouseDown), SET(setSampleSize(4)), false},
        {"rate locked in GENERATOR", toGenerator, none, SET(setSampleRate(0)), true},
        {"TRIG", none, times(1, &WQK::TMODEBUTTON_MouseDown), SET(setTriggerMode(1)), false},
        {"INST ends SET LEVEL", toSetLevel, times(1, &WQK::TMODEBUTTON_MouseDown),
         SET(setTriggerMode(0)), false},
        {"source B", none, times(1, &WQK::TSOURCEBUTTON_MouseDown), SET(setTriggerSource(C::B)),
         false},
        {"falling", none, times(1, &WQK::TSLOPEBUTTON_MouseDown), SET(setTriggerSlope(false)),
         false},
        {"pretrigger 100", none, times(2, &WQK::PRETRIGBUTTON_MouseDown), SET(setPretrigger(2)),
         false},
        {"level 3 large, 2 small steps down", toSetLevel,
         [](WQK& w) {
             for (int k = 0; k < 3; ++k)
                 w.TRLARGEN_KeyDown();
             w.TRSMALLN_KeyDown();
             w.TRSMALLN_KeyDown();
         },
         SET(setTriggerLevel(1280 + 3 * 160 + 2 * 10 + 3)), false},
        {"level kept 10 inside the top", toSetLevel, times(20, &WQK::TRLARGEP_KeyDown),
         SET(setTriggerLevel(10)), false},
        {"trigger locked in SCOPE+GEN", toScopeGen, none, SET(setTriggerMode(1)), true},
        {"Repeat", none, times(1, &WQK::TRESETBUTTON_Click), SET(setRepeat(true)), false},
        {"Repeat in SCOPE+GEN", toScopeGen, times(1, &WQK::TRESETBUTTON_Click),
         SET(setRepeat(true)), false},
    });
}

TEST(InstrumentSettings, ChannelsAndModesAsTheirButtons) {
    check({
        {"A off", none, times(1, &WQK::SCHAbutton_Click), SET(setChannelOn(C::A, false)), false},
        {"B off in SCOPE+GEN", toScopeGen, times(1, &WQK::SCHBbutton_Click),
         SET(setChannelOn(C::B, false)), false},
        {"A on 1.2 V", none, times(1, &WQK::Command3_Click), SET(setRange(C::A, 0)), false},
        {"B DC", none, times(1, &WQK::Command7_Click), SET(setCoupling(C::B, true)), false},
        {"A x10", none, times(1, &WQK::Command4_Click), SET(setProbe(C::A, true)), false},
        {"range of a channel that is off", times(1, &WQK::SCHAbutton_Click), none,
         SET(setRange(C::A, 0)), true},
        {"GENERATOR", none, toGenerator, SET(setMode(modes::Generator)), false},
        {"SCOPE+GEN", none, toScopeGen, SET(setMode(modes::ScopeGen)), false},
        {"FFT", none, times(1, &WQK::FFTbutton_Click), SET(setMode(modes::FFT)), false},
        {"back to SCOPE from FFT", times(1, &WQK::FFTbutton_Click), times(1, &WQK::SCOPEMODE_Click),
         SET(setMode(modes::Scope)), false},
    });
}

TEST(InstrumentSettings, DisplayAsItsButtons) {
    check({
        {"grid off", none, times(1, &WQK::Command13_Click), SET(setDisplay(T::Grid, false)), false},
        {"units on", none, times(1, &WQK::Command16_Click), SET(setDisplay(T::Units, true)), false},
        {"B shown", none, times(1, &WQK::Command18_Click), SET(setDisplay(T::ShowB, true)), false},
        {"A-B takes A+B's place", times(1, &WQK::Command20_Click), times(1, &WQK::Command21_Click),
         SET(setDisplay(T::Difference, true)), false},
        {"A+B x5 at position 2", times(1, &WQK::Command20_Click),
         [](WQK& w) {
             w.Command12_Click();
             w.Command12_Click();
             w.scrolldown_Click();
             w.scrolldown_Click();
         },
         [](Instrument& i) {
             return all({i.setYMagnification(Instrument::Trace::Sum, 2),
                         i.setTracePosition(Instrument::Trace::Sum, 2)});
         },
         false},
        {"A x2 at position -4", none,
         [](WQK& w) {
             w.YMagAbutton_Click();
             for (int k = 0; k < 4; ++k)
                 w.scrollupA_Click();
         },
         [](Instrument& i) {
             return all({i.setYMagnification(Instrument::Trace::A, 1),
                         i.setTracePosition(Instrument::Trace::A, -4)});
         },
         false},
        {"B back to x1 keeps its position within 3",
         [](WQK& w) {
             w.YMagBbutton_Click();
             for (int k = 0; k < 5; ++k)
                 w.scrolldownB_Click();
         },
         [](WQK& w) {
             w.YMagBbutton_Click();
             w.YMagBbutton_Click();
         },
         SET(setYMagnification(Instrument::Trace::B, 0)), false},
        {"Delay", none, times(1, &WQK::DelayWin_Click), SET(setDelayMode(true)), false},
        {"no magnification in FFT", times(1, &WQK::FFTbutton_Click), none,
         SET(setYMagnification(Instrument::Trace::A, 1)), true},
    });
}

TEST(InstrumentSettings, GeneratorAsItsButtons) {
    check({
        {"SWEEP", toScopeGen, times(1, &WQK::GENMODEBUTTON_MouseDown), SET(setGenMode(1)), false},
        {"CUSTOM takes the wave over", toScopeGen, times(2, &WQK::GENMODEBUTTON_MouseDown),
         SET(setGenMode(2)), false},
        {"square", toScopeGen, times(3, &WQK::GENSTYLEBUTTON_MouseDown), SET(setGenStyle(3)),
         false},
        {"half amplitude", toScopeGen, times(1, &WQK::GENAMPBUTTON_Click), SET(setGenAmplitude(2)),
         false},
        {"duty 44 %", toSquare, times(3, &WQK::DCDOWN_Click), SET(setDutyCycle(44)), false},
        {"sweep ratio", toSweep, times(2, &WQK::SWRATIOBUTTON_Click), SET(setSweepRatio(2)), false},
        {"custom step rate turns UNITS off",
         [](WQK& w) {
             w.Command16_Click();
             toScopeGen(w);
             w.GENMODEBUTTON_MouseDown();
             w.GENMODEBUTTON_MouseDown();
         },
         [](WQK& w) { w.GENLFREQBUTTONP_MouseDown(); }, SET(setCustomRate(2)), false},
        {"generator locked in SCOPE", none, none, SET(setGenStyle(1)), true},
        {"frequency only in NORMAL", toSweep, none, SET(setGenFrequency(1000)), true},
    });
    // A held frequency button has no single press: the frequency itself, as typed.
    Harness h;
    WQK& w = h.window();
    toScopeGen(w);
    EXPECT_EQ(w.instrument().setGenFrequency(12345), "");
    EXPECT_EQ(w.state().genFreq(), 12345);
    EXPECT_EQ(w.state().GenDirty, 1);
    EXPECT_EQ(w.instrument().setGenFrequency(4), "the frequency must be within 5 and 500000");
}

TEST(InstrumentSettings, RefusedDuringARunWhereTheButtonsLock) {
    // A Repeat run in SCOPE+GEN locks sampling and the generator; SCOPE keeps sampling.
    struct Probe {
        const char* name;
        Step start;
        Setting set;
        bool refused;
    } rows[] = {
        {"sampling in a SCOPE run", none, SET(setSampleRate(1)), false},
        {"trigger in a SCOPE run", none, SET(setPretrigger(1)), false},
        {"mode in a SCOPE run", none, SET(setMode(modes::ScopeGen)), true},
        {"generator in a SCOPE+GEN run", toScopeGen, SET(setGenAmplitude(2)), true},
        {"range in a SCOPE+GEN run", toScopeGen, SET(setRange(C::A, 0)), true},
        {"a snapshot back in a run", none, SET(restore(i.snapshot())), true},
    };
    for (const Probe& r : rows) {
        Harness h;
        WQK& w = h.window();
        if (r.start) r.start(w);
        w.TRESETBUTTON_Click();
        std::string answer = "not asked";
        h.clock().atDoEvents(3, [&] {
            answer = r.set(w.instrument());
            w.instrument().stop();
        });
        w.GOBUTTON_Click();
        EXPECT_EQ(answer.empty(), !r.refused) << r.name << ": " << answer;
    }
}

TEST(InstrumentLocks, WithoutAWindowAsTheWindowsControls) {
    const std::vector<const char*> controls = {
        "Command3",        "Command2",        "Command4",        "Command6",     "Command7",
        "Command5",        "SRATEN",          "SSIZEP",          "TMODEBUTTON",  "TSOURCEBUTTON",
        "PRETRIGBUTTON",   "TSLOPEBUTTON",    "TriglevelBUTTON", "TRLARGEN",     "TRSMALLP",
        "TRESETBUTTON",    "GENMODEBUTTON",   "GENSTYLEBUTTON",  "GENAMPBUTTON", "SWRATIOBUTTON",
        "GENUPDATEBUTTON", "GENLFREQBUTTONN", "GENSFREQBUTTONP", "DCUP",         "DCDOWN",
        "Command17",       "Command18",       "Command19",       "Command20",    "Command21",
        "SCOPEMODE",       "DelayWin",        "scrollupA",       "scrolldownB",  "YMagAbutton",
        "Scrollup",        "scrolldown"};
    struct State {
        const char* name;
        Step start;
        bool run; // looked at during a Repeat run
    } rows[] = {
        {"SCOPE", none, false},
        {"SCOPE, A off, TRIG",
         [](WQK& w) {
             w.SCHAbutton_Click();
             w.TMODEBUTTON_MouseDown();
         },
         false},
        {"SCOPE, A+B", times(1, &WQK::Command20_Click), false},
        {"SCOPE run", none, true},
        {"GENERATOR", toGenerator, false},
        {"SCOPE+GEN square", toSquare, false},
        {"SCOPE+GEN SWEEP", toSweep, false},
        {"SCOPE+GEN run", toScopeGen, true},
        {"FFT", times(1, &WQK::FFTbutton_Click), false},
        {"FFT run", times(1, &WQK::FFTbutton_Click), true},
    };
    for (const State& r : rows) {
        Harness h;
        WQK& w = h.window();
        if (r.start) r.start(w);
        const auto compare = [&] {
            for (const char* c : controls) {
                const QWidget* widget = w.findChild<QWidget*>(c);
                ASSERT_NE(widget, nullptr) << c;
                EXPECT_EQ(instrument::enabledWithoutWindow(c, w.state()),
                          widget->isEnabled() && !widget->isHidden())
                    << r.name << ": " << c;
            }
        };
        if (!r.run) {
            compare();
            continue;
        }
        w.TRESETBUTTON_Click();
        h.clock().atDoEvents(3, [&] {
            compare();
            w.instrument().stop();
        });
        w.GOBUTTON_Click();
    }
}

TEST(InstrumentWithoutWindow, StartsAsTheWindowStartsAndCaptures) {
    // The window's start-up, then the same without a window, each on a fresh instrument.
    std::vector<std::tuple<bool, int, int>> windowLog;
    InstrumentState windowRecord;
    {
        Harness h;
        h.sim().setLogging(true);
        windowRecord = h.window().state();
        windowLog = accesses(h.sim().log());
    }
    Harness h;
    h.sim().setLogging(true);
    Instrument alone;
    ASSERT_TRUE(alone.startUp());
    EXPECT_EQ(alone.state().ModelCode, windowRecord.ModelCode);
    EXPECT_EQ(accesses(h.sim().log()) == windowLog, true) << "the start-up's port accesses differ";
    // The redraw's own fields stay at their start values without a window.
    const std::vector<std::string> redraw = {
        "CursorX", "CursorStepLarge", "CursorStepSmall", "BaseA",        "BaseB",
        "BaseSum", "SavedSumFactor",  "SavedFactorA",    "SavedFactorB", "FFTNumSamples"};
    std::vector<std::string> ignored = DrawingMarks;
    ignored.insert(ignored.end(), redraw.begin(), redraw.end());
    EXPECT_EQ(differences(alone.state(), windowRecord, ignored), "");

    // A capture without a window: its samples, and a time-out without a trigger.
    EXPECT_EQ(alone.setSampleSize(0), "");
    const Instrument::RunResult r = alone.captureOnce(1);
    EXPECT_EQ(r.reason, "");
    EXPECT_EQ(alone.captureCount(), 1);
    EXPECT_EQ(alone.state().ReadCount, 2048);
    EXPECT_EQ(all({alone.setTriggerMode(1), alone.setTriggerLevel(20)}), "");
    const Instrument::RunResult untriggered = alone.captureOnce(0.5);
    EXPECT_EQ(int(untriggered.end), int(Instrument::RunEnd::TimedOut));
    EXPECT_EQ(untriggered.reason, "no trigger within 0.5 s");
    EXPECT_FALSE(alone.state().running());
}

TEST(InstrumentSnapshot, RestorePutsBackEverySettingAndBuffer) {
    Harness h;
    WQK& w = h.window();
    Instrument& i = w.instrument();
    i.captureOnce(1);
    const InstrumentState before = i.snapshot();
    EXPECT_EQ(all({i.setSampleSize(3), i.setMode(modes::ScopeGen), i.setGenMode(1),
                   i.setRange(C::A, 0), i.setDisplay(T::ShowB, true)}),
              "");
    i.captureOnce(5);
    EXPECT_NE(differences(i.state(), before), "");
    EXPECT_EQ(i.restore(before), "");
    // What was last sent to the device stays: the next run sends its own.
    std::vector<std::string> ignored = DrawingMarks;
    ignored.insert(ignored.end(), {"ChanConfig", "ChanConfigPrev"});
    EXPECT_EQ(differences(i.state(), before, ignored), "");
}
