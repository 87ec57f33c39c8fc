// Sweeps on the simulated instrument (virtual clock): the measured response of the
// simulated first-order low-pass against its closed form, the cancel path and the
// settings put back afterwards.
#include "fra/sweep.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using fra::Point;
using fra::Reference;
using testing_support::Harness;

namespace {

sim::Options lowPass(double cornerHz) {
    sim::Options o;
    std::string error;
    EXPECT_TRUE(sim::parseInput("dac", o.inputA, error));
    EXPECT_TRUE(sim::parseInput("gen:" + std::to_string(cornerHz), o.inputB, error));
    return o;
}

double gainDb(double f, double fc) {
    return -10 * std::log10(1 + (f / fc) * (f / fc));
}
double phaseDeg(double f, double fc) {
    return -std::atan(f / fc) * 180 / M_PI;
}

} // namespace

TEST(FraSweep, MatchesTheFirstOrderLowPass) {
    struct Row {
        const char* name;
        double cornerHz;
        Reference ref;
        int ampDiv;
        double upToHz, dbTol, degTol;
    } rows[] = {
        {"A reference, 10 kHz", 10000, Reference::A, 1, 1e6, 0.3, 3},
        {"D reference, 10 kHz", 10000, Reference::D, 1, 20000, 0.5, 5},
        // Below -20 dB the 0.5 V stimulus leaves the response a few codes: not checked.
        {"A reference, 2 kHz, 1 V p-p", 2000, Reference::A, 2, 20000, 0.3, 3},
    };
    for (const Row& r : rows) {
        Harness h(lowPass(r.cornerHz));
        WQK& w = h.window();
        fra::Sweep sweep(w);
        fra::Settings set;
        set.reference = r.ref;
        set.ampDiv = r.ampDiv;
        ASSERT_EQ(sweep.run(set), "") << r.name;
        ASSERT_EQ(sweep.points().size(), 16u) << r.name;
        int checked = 0;
        for (const Point& p : sweep.points()) {
            EXPECT_FALSE(p.clipped) << r.name << " " << p.freqHz;
            if (p.freqHz > r.upToHz) continue;
            ++checked;
            EXPECT_NEAR(p.gainDb, gainDb(p.freqHz, r.cornerHz), r.dbTol)
                << r.name << " " << p.freqHz;
            EXPECT_NEAR(p.phaseDeg, phaseDeg(p.freqHz, r.cornerHz), r.degTol)
                << r.name << " " << p.freqHz;
        }
        EXPECT_GE(checked, 10) << r.name;
    }
}

TEST(FraSweep, StopsEarlyKeepsItsPointsAndPutsEverythingBack) {
    enum class How { Cancel, StopInWindow, NoGenerator, NoChannelB, BadSettings };
    struct Row {
        const char* name;
        How how;
        size_t points;
        const char* error;
    } rows[] = {
        {"cancel after 3 points", How::Cancel, 3, ""},
        {"STOP in the window", How::StopInWindow, 3,
         "No data at 398 Hz: the capture was stopped or did not end."},
        {"no generator", How::NoGenerator, 0, "This instrument has no generator."},
        {"no channel B", How::NoChannelB, 0, "This instrument has no channel B."},
        {"bad settings", How::BadSettings, 0,
         "The stop frequency must be above the start frequency."},
    };
    for (const Row& r : rows) {
        sim::Options o = lowPass(10000);
        o.generator = r.how != How::NoGenerator;
        o.channelB = r.how != How::NoChannelB;
        Harness h(o);
        WQK& w = h.window();
        InstrumentState& s = w.state();
        // A user's state: FFT mode, a custom wave in CUSTOM mode, A DC-coupled on 12 V,
        // B off, Repeat; a capture in the buffers.
        for (int i = 0; i < 3; ++i)
            w.SCOPEMODE_Click();
        ASSERT_EQ(s.mode(), modes::FFT);
        w.GENMODEBUTTON_MouseDown();
        w.GENMODEBUTTON_MouseDown();
        for (int i = 0; i < 100; ++i)
            s.CustomWave[size_t(i)] = int16_t(i * 20);
        w.Command2_Click();
        if (s.chanBOn()) w.SCHBbutton_Click();
        w.TRESETBUTTON_Click();
        s.ChanABuffer[7] = 1234;
        s.SaveA[9] = 2222;
        const InstrumentState before = s;

        fra::Sweep sweep(w);
        bool lockedDuringCapture = false;
        QObject::connect(&sweep, &fra::Sweep::measured, [&](const Point&, int done, int, double) {
            if (done != 3) return;
            h.clock().atDoEvents(2, [&] {
                lockedDuringCapture = !w.SCOPEMODE->isEnabled() && !w.fileloadbutton->isEnabled() &&
                                      !w.GENMODEBUTTON->isEnabled();
                r.how == How::Cancel ? sweep.cancel() : w.GOBUTTON_Click();
            });
        });
        fra::Settings set;
        if (r.how == How::BadSettings) set.toHz = set.fromHz;
        EXPECT_EQ(sweep.run(set), r.error) << r.name;
        EXPECT_EQ(sweep.points().size(), r.points) << r.name;
        EXPECT_EQ(sweep.cancelled(), r.how == How::Cancel) << r.name;
        EXPECT_EQ(lockedDuringCapture, r.points > 0) << r.name;
        EXPECT_FALSE(s.running()) << r.name;
        EXPECT_TRUE(w.SCOPEMODE->isEnabled()) << r.name;
        EXPECT_EQ(s.mode(), before.mode()) << r.name;
        EXPECT_EQ(s.genMode(), 2) << r.name;
        EXPECT_EQ(s.genStyle(), before.genStyle()) << r.name;
        EXPECT_EQ(s.genFreq(), before.genFreq()) << r.name;
        EXPECT_EQ(s.AmpDiv, before.AmpDiv) << r.name;
        EXPECT_EQ(s.GenDirty, before.GenDirty) << r.name;
        EXPECT_EQ(s.GenLast, before.GenLast) << r.name;
        EXPECT_EQ(s.GenWave, before.GenWave) << r.name;
        EXPECT_EQ(s.CustomWave, before.CustomWave) << r.name;
        EXPECT_EQ(s.dcA(), true) << r.name;
        EXPECT_EQ(s.rangeSelA(), before.rangeSelA()) << r.name;
        EXPECT_EQ(s.chanBOn(), false) << r.name;
        EXPECT_EQ(s.RunRepeat, 1) << r.name;
        EXPECT_EQ(s.ChanABuffer, before.ChanABuffer) << r.name;
        EXPECT_EQ(s.SaveA, before.SaveA) << r.name;
        EXPECT_EQ(s.ReadCount, before.ReadCount) << r.name;
        EXPECT_EQ(s.dataRateA(), before.dataRateA()) << r.name;
    }
}
