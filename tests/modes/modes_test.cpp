#include "modes/mode_names.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using plat::RGB;
using testing_support::Harness;

namespace {

bool on(QWidget* w) {
    return w->isEnabled();
}
bool shown(WQK& w, QWidget* c) {
    return c->isVisibleTo(&w);
}

// The control-state table after a mode change, for the current channel switches.
void expectModeTable(WQK& w) {
    InstrumentState& s = w.state();
    const int mode = int(int(s.mode()));
    const bool aOn = s.ChanAOn.num() == 1, bOn = s.ChanBOn == 1;
    const bool bFitted = s.ChanBFitted.num() != 0;
    SCOPED_TRACE("mode " + std::to_string(mode) + " A " + std::to_string(aOn) + " B " +
                 std::to_string(bOn));
    for (QWidget* c : {w.Command3, w.Command2, w.Command4})
        EXPECT_EQ(on(c), mode != 1 && aOn);
    for (QWidget* c : {w.Command6, w.Command7, w.Command5})
        EXPECT_EQ(on(c), mode != 1 && bOn && bFitted);
    const bool gen = mode == 1 || mode == 2;
    for (QWidget* c : {w.GENMODEBUTTON, w.GENSTYLEBUTTON, w.GENUPDATEBUTTON, w.GENLFREQBUTTONN,
                       w.GENLFREQBUTTONP})
        EXPECT_EQ(on(c), gen);
    if (!gen) {
        EXPECT_EQ(w.GENUPDATEBACK->BackColor(), RGB(128, 255, 128));
    }
    for (QWidget* c : {w.TMODEBUTTON, w.TSOURCEBUTTON, w.PRETRIGBUTTON, w.TSLOPEBUTTON})
        EXPECT_EQ(on(c), !gen);
    EXPECT_EQ(on(w.TRESETBUTTON), mode != 1);
    for (QWidget* c : {w.SRATEN, w.SRATEP, w.SSIZEN, w.SSIZEP})
        EXPECT_EQ(on(c), !gen);
    EXPECT_EQ(on(w.Command17), mode != 1);
    EXPECT_EQ(on(w.Command18), mode != 1 && bFitted);
    EXPECT_EQ(on(w.Command19), gen);
    if (mode != 2) {
        EXPECT_EQ(s.ShowD.num(), mode == 1 ? 1 : -1);
    }
    EXPECT_EQ(on(w.Command20), mode == 0 || mode == 2);
    EXPECT_EQ(on(w.Command21), mode == 0 || mode == 2);
    // Y Mag belongs to the combined trace: the selector refresh keeps it off while
    // neither A+B nor A-B is shown.
    const bool combined = s.ShowAplusB.num() == 1 || s.ShowAminusB == 1;
    EXPECT_EQ(on(w.Command12), (mode == 0 || mode == 2) && combined);
    const bool hidden = mode == 1 || mode == 3;
    for (QWidget* c : {w.scrollupA, w.scrolldownA, w.scrollupB, w.scrolldownB})
        EXPECT_EQ(shown(w, c), !hidden);
    EXPECT_EQ(s.BufBase, mode == 3 ? 1024 : 2048);
    EXPECT_EQ(s.cursorMode(), 0);
    EXPECT_EQ(w.CURSINFO->BackColor(), RGB(192, 192, 192));
}

} // namespace

TEST(ModeCaptions, TheFourNames) {
    EXPECT_EQ(modes::caption(0), "        SCOPE");
    EXPECT_EQ(modes::caption(1), "   GENERATOR");
    EXPECT_EQ(modes::caption(2), "   SCOPE+GEN");
    EXPECT_EQ(modes::caption(3), "            FFT");
}

TEST(ModeCycle, FourClicksComeBackWithTheSamplesExactlyAsBefore) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    for (int i = 0; i < 32768; ++i) {
        s.ChanABuffer[i] = int16_t((i * 7) % 2551);
        s.ChanBBuffer[i] = int16_t((i * 13) % 2551);
    }
    const auto a = s.ChanABuffer, b = s.ChanBBuffer;
    const int expected[4] = {1, 2, 3, 0};
    for (int k = 0; k < 4; ++k) {
        w.SCOPEMODE_Click();
        ASSERT_EQ(int(s.mode()), expected[k]);
        expectModeTable(w);
        if (k == 2) {
            // In FFT the buffers hold spectra.
            std::fill(s.ChanABuffer.begin(), s.ChanABuffer.end(), int16_t(5));
            std::fill(s.ChanBBuffer.begin(), s.ChanBBuffer.end(), int16_t(6));
            s.FFTDoneA = 1;
            s.FFTDoneB = 1;
        }
    }
    EXPECT_EQ(s.ChanABuffer, a);
    EXPECT_EQ(s.ChanBBuffer, b);
    EXPECT_EQ(s.FFTDoneA.num(), 0);
    EXPECT_EQ(s.FFTDoneB, 0);
}

TEST(ModeCycle, TableHoldsWithChannelsOff) {
    Harness h;
    WQK& w = h.window();
    w.state().ChanAOn = 0;
    for (int k = 0; k < 4; ++k) {
        w.SCOPEMODE_Click();
        expectModeTable(w);
    }
    w.state().ChanAOn = 1;
    w.state().ChanBOn = 0;
    for (int k = 0; k < 4; ++k) {
        w.SCOPEMODE_Click();
        expectModeTable(w);
    }
}

TEST(ModeCycle, WithoutGeneratorScopeAndFftOnly) {
    sim::Options o;
    o.generator = false;
    Harness h(o);
    WQK& w = h.window();
    ASSERT_EQ(w.state().GenFitted.num(), 0);
    w.SCOPEMODE_Click();
    EXPECT_EQ(int(w.state().mode()), 3);
    expectModeTable(w);
    w.SCOPEMODE_Click();
    EXPECT_EQ(int(w.state().mode()), 0);
    expectModeTable(w);
}

TEST(ModeCycle, WithoutChannelBItsControlsStayOff) {
    sim::Options o;
    o.channelB = false;
    Harness h(o);
    WQK& w = h.window();
    for (int k = 0; k < 4; ++k) {
        w.SCOPEMODE_Click();
        expectModeTable(w);
    }
}

TEST(FftButton, EntersFftFromAnyModeAndLeavesToScope) {
    Harness h;
    WQK& w = h.window();
    for (int start : {0, 1, 2}) {
        while (int(w.state().mode()) != start)
            w.SCOPEMODE_Click();
        w.FFTbutton_Click();
        EXPECT_EQ(int(w.state().mode()), 3) << start;
        expectModeTable(w);
        w.FFTbutton_Click();
        EXPECT_EQ(int(w.state().mode()), 0) << start;
        expectModeTable(w);
    }
}

TEST(FftMode, SumAndDifferenceForcedOffAndScrollRangeHalved) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    s.ShowAplusB = 1;
    s.SampleSizeIndex = 2;
    w.FFTbutton_Click();
    EXPECT_EQ(s.ShowAplusB.num(), -1);
    EXPECT_EQ(s.ShowAminusB, -1);
    EXPECT_EQ(w.HScroll1->maximum(), 4 * 1024 - 1);
    EXPECT_EQ(w.HScroll2->maximum(), 4 * 1024 - 1);
    w.FFTbutton_Click();
    EXPECT_TRUE(w.Command20->isEnabled());
    EXPECT_EQ(s.ShowAplusB.num(), -1); // enabled again, but off
    EXPECT_EQ(w.HScroll1->maximum(), 4 * 2048 - 1);
}

TEST(GeneratorEntry, BuiltInWaveIsRecomputedCustomIsNot) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    s.SampleSizeIndex = 3;
    ASSERT_EQ(s.GenDirty, 1);
    w.SCOPEMODE_Click();
    EXPECT_EQ(s.CapturedSizeIndex, 3);
    EXPECT_EQ(s.GenDirty, 0);
    EXPECT_EQ(s.GenLast, 8000); // 50000 Hz: 20 cycles of 400 steps at 20 MHz
    EXPECT_EQ(w.GENUPDATEBACK->BackColor(), RGB(128, 255, 128));

    // Back round to SCOPE, switch to CUSTOM, enter GENERATOR again.
    for (int k = 0; k < 3; ++k)
        w.SCOPEMODE_Click();
    s.GenMode = 2;
    s.GenStyle = 4;
    s.GenDirty = 0; // a custom wave was loaded
    std::fill(s.GenWave.begin(), s.GenWave.end(), int16_t(42));
    std::fill(s.CustomWave.begin(), s.CustomWave.end(), int16_t(42));
    w.SCOPEMODE_Click();
    EXPECT_EQ(s.GenWave[0], 42);
    EXPECT_EQ(s.GenWave[32767], 42); // no sine table, no mid-level tail
    EXPECT_EQ(s.GenDirty, 0);
    EXPECT_EQ(w.GENUPDATEBACK->BackColor(), RGB(128, 255, 128)); // keeps its colour
}

TEST(SmodeDisp, LevelSettingEndsInGeneratorModes) {
    Harness h;
    WQK& w = h.window();
    w.state().LevelSetMode = 1;
    w.SCOPEMODE_Click();
    EXPECT_EQ(w.state().LevelSetMode.num(), 0);
    EXPECT_FALSE(w.SRATEN->isEnabled());
}
