#include "support/fixture.h"

#include <gtest/gtest.h>

using plat::RGB;
using testing_support::Harness;

namespace {

WQK& generatorMode(Harness& h) {
    WQK& w = h.window();
    w.SCOPEMODE_Click();
    EXPECT_EQ(int(w.state().mode()), 1);
    return w;
}

// Releases the button `ms` of virtual time from now.
void releaseAfter(Harness& h, int64_t ms, std::function<void()> up) {
    h.clock().at(h.clock().nowMs() + ms, std::move(up));
}

} // namespace

TEST(FrequencyButtons, LargeStepClampsAtTheTopAndHoldingStaysThere) {
    Harness h;
    WQK& w = generatorMode(h);
    w.state().GenFreq = 499700;
    releaseAfter(h, 20, [&] { w.GENLFREQBUTTONP_MouseUp(); });
    w.GENLFREQBUTTONP_MouseDown();
    EXPECT_EQ(w.state().genFreq(), 500000);
    EXPECT_EQ(w.state().GenDirty, 1);
    EXPECT_EQ(w.GENUPDATEBACK->BackColor(), RGB(255, 0, 0));

    releaseAfter(h, 2000, [&] { w.GENLFREQBUTTONP_MouseUp(); });
    w.GENLFREQBUTTONP_MouseDown();
    EXPECT_EQ(w.state().genFreq(), 500000);
    EXPECT_EQ(w.state().ButtonHeld.num(), 0);
}

TEST(FrequencyButtons, HeldLargeDownStepsBy5000AboveAndBy2500Below200k) {
    Harness h;
    WQK& w = generatorMode(h);
    w.state().GenFreq = 210000;
    // Repeats come at 350, 400, 450 and 500 ms; the release at 525 ms ends them.
    releaseAfter(h, 525, [&] { w.GENLFREQBUTTONN_MouseUp(); });
    const int64_t t0 = h.clock().nowMs();
    w.GENLFREQBUTTONN_MouseDown();
    // 210000 -500, -5000, -5000 (204500 is still above), -2500, -2500
    EXPECT_EQ(w.state().genFreq(), 194500);
    EXPECT_EQ(h.clock().nowMs() - t0, 550);

    w.state().GenFreq = 199000;
    releaseAfter(h, 425, [&] { w.GENLFREQBUTTONP_MouseUp(); });
    w.GENLFREQBUTTONP_MouseDown();
    EXPECT_EQ(w.state().genFreq(), 199500 + 2500 + 5000);
}

TEST(FrequencyButtons, SmallStepsAndTheirRepeat) {
    Harness h;
    WQK& w = generatorMode(h);
    w.state().GenFreq = 5;
    releaseAfter(h, 10, [&] { w.GENSFREQBUTTONN_MouseUp(); });
    w.GENSFREQBUTTONN_MouseDown();
    EXPECT_EQ(w.state().genFreq(), 5);
    w.state().GenFreq = 1000;
    releaseAfter(h, 475, [&] { w.GENSFREQBUTTONP_MouseUp(); });
    w.GENSFREQBUTTONP_MouseDown();
    EXPECT_EQ(w.state().genFreq(), 1000 + 1 + 3 * 10);
    // Released before the first repeat: one step only.
    releaseAfter(h, 150, [&] { w.GENSFREQBUTTONN_MouseUp(); });
    w.GENSFREQBUTTONN_MouseDown();
    EXPECT_EQ(w.state().genFreq(), 1030);
}

TEST(FrequencyButtons, SweepPicksTheStartAndCustomTheStepClock) {
    Harness h;
    WQK& w = generatorMode(h);
    InstrumentState& s = w.state();
    w.GENMODEBUTTON_MouseDown();
    ASSERT_EQ(s.genMode(), 1);
    const int64_t t0 = h.clock().nowMs();
    for (int i = 0; i < 12; ++i)
        w.GENLFREQBUTTONP_MouseDown();
    EXPECT_EQ(s.sweepStartIndex(), 9);
    EXPECT_EQ(h.clock().nowMs(), t0); // no auto-repeat here
    EXPECT_EQ(s.sweepStartFreq(), 100000);
    EXPECT_EQ(s.sweepRateIndex(), 4);
    for (int i = 0; i < 12; ++i)
        w.GENLFREQBUTTONN_MouseDown();
    EXPECT_EQ(s.sweepStartIndex(), 0);
    EXPECT_EQ(s.SweepHalf.num(), 0);
    const double freq = s.genFreq();
    w.GENSFREQBUTTONP_MouseDown();
    EXPECT_EQ(s.genFreq(), freq);

    w.GENMODEBUTTON_MouseDown();
    ASSERT_EQ(s.genMode(), 2);
    s.GenDirty = 0;
    s.UnitsOn = 1;
    for (int i = 0; i < 6; ++i)
        w.GENLFREQBUTTONP_MouseDown();
    EXPECT_EQ(s.customRateIndex(), 4);
    EXPECT_EQ(s.UnitsOn, -1);
    EXPECT_EQ(s.GenDirty, 0); // the rate is not part of a custom wave
    for (int i = 0; i < 6; ++i)
        w.GENLFREQBUTTONN_MouseDown();
    EXPECT_EQ(s.customRateIndex(), 0);
}

TEST(PanelButtons, ModeStyleAmplitudeRatioAndDutyCycle) {
    Harness h;
    WQK& w = generatorMode(h);
    InstrumentState& s = w.state();
    for (int i = 0; i < 3; ++i)
        w.GENSTYLEBUTTON_MouseDown();
    EXPECT_EQ(s.genStyle(), 3);
    EXPECT_EQ(s.SavedStyle.num(), 3);
    EXPECT_TRUE(w.DCUP->isVisibleTo(&w));
    EXPECT_EQ(w.SWRATIOBUTTON->caption(), "Dcycle");
    EXPECT_TRUE(w.SWRATIOBUTTON->isEnabled());
    for (int i = 0; i < 30; ++i)
        w.DCUP_Click();
    EXPECT_EQ(s.dutyCycle(), 98);
    for (int i = 0; i < 60; ++i)
        w.DCDOWN_Click();
    EXPECT_EQ(s.dutyCycle(), 2);
    w.GENSTYLEBUTTON_MouseDown();
    EXPECT_EQ(s.genStyle(), 0);
    EXPECT_FALSE(w.DCUP->isVisibleTo(&w));
    EXPECT_EQ(w.SWRATIOBUTTON->caption(), "Ratio");
    EXPECT_FALSE(w.SWRATIOBUTTON->isEnabled()); // no ratio in NORMAL

    w.GENAMPBUTTON_Click();
    EXPECT_EQ(s.AmpDiv, 2);
    w.GENAMPBUTTON_Click();
    EXPECT_EQ(s.AmpDiv, 1);

    // SWEEP: four ratios from a 400-step base, three from a 200-step base.
    s.GenStyle = 2;
    w.GENMODEBUTTON_MouseDown();
    s.SweepStartIndex = 4;
    s.SweepRatio = 0;
    int seen[5] = {};
    for (int i = 0; i < 4; ++i) {
        w.SWRATIOBUTTON_Click();
        seen[i] = int(s.sweepRatio());
    }
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[2], 3);
    EXPECT_EQ(seen[3], 0);
    s.SweepStartIndex = 5;
    w.SWRATIOBUTTON_Click();
    w.SWRATIOBUTTON_Click();
    w.SWRATIOBUTTON_Click();
    EXPECT_EQ(s.sweepRatio(), 0);
    EXPECT_TRUE(w.SWRATIOBUTTON->isEnabled());
    EXPECT_FALSE(w.GENSFREQBUTTONP->isEnabled());

    // CUSTOM takes the built-in wave over; leaving it restores the style.
    s.GenLast = 50;
    s.GenWave[50] = 999;
    s.GenWave[51] = 888;
    s.CustomWave[51] = 0;
    w.GENMODEBUTTON_MouseDown();
    EXPECT_EQ(s.genMode(), 2);
    EXPECT_EQ(s.genStyle(), 4);
    EXPECT_EQ(s.SavedStyle.num(), 2);
    EXPECT_EQ(s.CustomWave[50], 999);
    EXPECT_EQ(s.CustomWave[51], 0);
    EXPECT_EQ(w.GENSTYLEBUTTON->caption(), "CropL");
    EXPECT_EQ(w.GENAMPBUTTON->caption(), "CropR");
    EXPECT_EQ(w.SWRATIOBUTTON->caption(), "Amp");
    EXPECT_FALSE(w.STYLEDISP->isVisibleTo(&w));
    for (int i = 0; i < 4; ++i)
        w.SWRATIOBUTTON_Click();
    EXPECT_EQ(s.ampRatio(), 0);
    w.GENMODEBUTTON_MouseDown();
    EXPECT_EQ(s.genMode(), 0);
    EXPECT_EQ(s.genStyle(), 2);
    EXPECT_TRUE(w.STYLEDISP->isVisibleTo(&w));
    EXPECT_EQ(w.GENUPDATEBACK->BackColor(), RGB(255, 0, 0));
}

TEST(PanelButtons, ScopeModeBlanksThePanel) {
    Harness h;
    WQK& w = h.window();
    w.GENDISP();
    EXPECT_FALSE(w.GENSFREQBUTTONN->isEnabled());
    EXPECT_FALSE(w.GENAMPBUTTON->isEnabled());
    EXPECT_FALSE(w.SWRATIOBUTTON->isEnabled());
    EXPECT_EQ(w.GENFREQDISP->BackColor(), RGB(192, 192, 192));
    w.SCOPEMODE_Click();
    EXPECT_EQ(w.GENFREQDISP->BackColor(), RGB(255, 255, 192));
}

TEST(Crop, RightKeepsAtLeastTenPointsAndNeverGrows) {
    Harness h;
    WQK& w = generatorMode(h);
    InstrumentState& s = w.state();
    w.GENMODEBUTTON_MouseDown();
    w.GENMODEBUTTON_MouseDown();
    ASSERT_EQ(s.genMode(), 2);
    s.GenLast = 500;
    s.ScrollPos = 0;
    s.CursorMode = 5;
    s.CursorX = 3;

    h.messages().answers.push_back(plat::Answer::Cancel);
    w.GENAMPBUTTON_Click();
    EXPECT_EQ(s.GenLast, 500);
    ASSERT_EQ(h.messages().shown.size(), 1u);
    const plat::Message& m = h.messages().shown[0];
    EXPECT_EQ(m.text, "Crop Custom data right of cursor? (irreversible)");
    EXPECT_EQ(m.title, "Crop Confirmation");
    EXPECT_EQ(m.buttons, plat::Buttons::OKCancel);

    w.GENAMPBUTTON_Click();
    EXPECT_EQ(s.GenLast, 9);
    EXPECT_EQ(s.cursorMode(), 0);

    // Past the end of the wave the crop changes nothing.
    s.GenLast = 100;
    s.CursorMode = 5;
    s.ScrollPos = 1000;
    s.CursorX = 24;
    w.GENAMPBUTTON_Click();
    EXPECT_EQ(s.GenLast, 100);
    s.ScrollPos = 60;
    s.CursorX = 2;
    s.CursorMode = 5;
    w.GENAMPBUTTON_Click();
    EXPECT_EQ(s.GenLast, 62);
}

TEST(Crop, LeftShiftsBothWaves) {
    Harness h;
    WQK& w = generatorMode(h);
    InstrumentState& s = w.state();
    w.GENMODEBUTTON_MouseDown();
    w.GENMODEBUTTON_MouseDown();
    for (int i = 0; i <= 100; ++i) {
        s.CustomWave[i] = int16_t(10 * i);
        s.GenWave[i] = int16_t(10 * i);
    }
    s.GenLast = 100;
    s.CursorMode = 5;
    s.ScrollPos = 0;
    s.CursorX = 30;
    h.messages().answers.push_back(plat::Answer::Cancel);
    w.GENSTYLEBUTTON_MouseDown();
    EXPECT_EQ(s.GenLast, 100);
    EXPECT_EQ(h.messages().shown.back().text, "Crop Custom data left of cursor? (irreversible)");
    w.GENSTYLEBUTTON_MouseDown();
    EXPECT_EQ(s.GenLast, 70);
    EXPECT_EQ(s.CustomWave[0], 300);
    EXPECT_EQ(s.CustomWave[70], 1000);
    EXPECT_EQ(s.GenWave[0], 300); // x1: the output follows
    // Near the end: ten points stay.
    s.CursorX = 65;
    s.CursorMode = 5;
    w.GENSTYLEBUTTON_MouseDown();
    EXPECT_EQ(s.GenLast, 9);
    EXPECT_EQ(s.CustomWave[0], 910);
    EXPECT_EQ(s.CustomWave[9], 1000);
}

TEST(Copy, CapturedChannelBecomesTheWave) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    s.SampleSizeIndex = 1; // 4K
    w.SCOPEMODE_Click();
    EXPECT_EQ(s.CapturedSizeIndex, 1);
    for (int i = 0; i < 32768; ++i) {
        s.ChanABuffer[i] = int16_t(i % 2551);
        s.ChanBBuffer[i] = int16_t(2550 - i % 2551);
    }
    s.GenWave[4096] = -5;
    w.CopyAToCustom();
    EXPECT_EQ(s.GenLast, 4095);
    EXPECT_TRUE(std::equal(s.GenWave.begin(), s.GenWave.begin() + 4096, s.ChanABuffer.begin()));
    EXPECT_EQ(s.GenWave[4096], -5);
    s.CapturedSizeIndex = 4;
    w.CopyBToCustom();
    EXPECT_EQ(s.GenLast, 32767);
    EXPECT_EQ(s.GenWave, s.ChanBBuffer);

    w.CopyAbutton_Click();
    w.CopyBbutton_Click();
    w.keepcustombutton_Click();
    EXPECT_EQ(s.CopyARequest.num(), 1);
    EXPECT_EQ(s.CopyBRequest, 1);
    EXPECT_EQ(s.KeepCustom, 1);
}
