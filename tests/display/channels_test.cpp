// Channel windows: range, probe and its warning, coupling, ON/OFF, positions and Y Mag.
#include "display_fixture.h"

#include <gtest/gtest.h>

using display_test::Display;

namespace {
QColor corner(PictureBox* p) {
    return p->pixel(p->width() - 2, p->height() - 2);
}
const QColor Pink(255, 128, 128), LightGreen(192, 255, 192);
} // namespace

TEST(Channels, RangeAndProbeSetTheRangeCode) {
    Display d;
    EXPECT_DOUBLE_EQ(d.s.rangeA(), 1); // start: high range, x1
    d.w.Command3_Click();
    EXPECT_DOUBLE_EQ(d.s.rangeSelA(), 0);
    EXPECT_DOUBLE_EQ(d.s.rangeA(), 0);
    d.w.Command3_Click();
    EXPECT_DOUBLE_EQ(d.s.rangeSelA(), 1);
    d.w.Command4_Click(); // x10 on the high range: 120 V
    EXPECT_DOUBLE_EQ(d.s.rangeA(), 2);
    d.w.Command6_Click();
    EXPECT_EQ(d.s.RangeB, 0);
    d.w.Command5_Click();
    EXPECT_EQ(d.s.RangeB, 1);
}

TEST(Channels, ProbeWarningOnlyWhenSwitchingToTimesTen) {
    Display d;
    d.h.messages().shown.clear();
    d.w.Command4_Click();
    ASSERT_EQ(d.h.messages().shown.size(), 1u);
    const plat::Message& m = d.h.messages().shown[0];
    EXPECT_EQ(m.text, "DO NOT switch probe to X 1 unless the input voltage is less then 20 V");
    EXPECT_EQ(m.title, "WARNING");
    EXPECT_EQ(m.icon, plat::Icon::Critical);
    EXPECT_EQ(m.buttons, plat::Buttons::OK);
    d.w.Command4_Click(); // back to x1: no warning
    EXPECT_EQ(d.h.messages().shown.size(), 1u);
    d.w.Command5_Click();
    EXPECT_EQ(d.h.messages().shown.size(), 2u);
}

TEST(Channels, CouplingCaption) {
    Display d;
    EXPECT_EQ(d.w.Command2->caption(), "AC");
    d.w.Command2_Click();
    EXPECT_DOUBLE_EQ(d.s.CouplingA.num(), 1);
    EXPECT_EQ(d.w.Command2->caption(), "DC");
    d.w.Command7_Click();
    EXPECT_EQ(d.w.Command7->caption(), "DC");
    d.w.Command7_Click();
    EXPECT_EQ(d.w.Command7->caption(), "AC");
}

TEST(Channels, SamplingOnOff) {
    Display d;
    EXPECT_EQ(corner(d.w.Picture3), QColor(128, 128, 128)); // ON after start-up
    d.w.SCHAbutton_Click();
    EXPECT_DOUBLE_EQ(d.s.ChanAOn.num(), 0);
    EXPECT_EQ(d.w.SCHAbutton->caption(), "ON");
    EXPECT_EQ(corner(d.w.Picture3), QColor(64, 64, 64));
    d.w.SCHAbutton_Click();
    EXPECT_DOUBLE_EQ(d.s.ChanAOn.num(), 1);
    EXPECT_EQ(d.w.SCHAbutton->caption(), "OFF");
    EXPECT_EQ(corner(d.w.Picture3), QColor(128, 128, 128));
    d.w.SCHBbutton_Click();
    EXPECT_EQ(d.s.ChanBOn, 0);
    EXPECT_EQ(corner(d.w.Picture4), QColor(64, 64, 64));
}

TEST(Channels, PositionArrowsStopAtTheirLimits) {
    Display d;
    for (int i = 0; i < 5; ++i)
        d.w.scrollupA_Click();
    EXPECT_DOUBLE_EQ(d.s.tracePosA(), -3);
    EXPECT_EQ(d.s.ShiftA, -477);
    EXPECT_DOUBLE_EQ(d.s.voltOffsetA(), -0.9);
    EXPECT_EQ(corner(d.w.scrollupA), Pink);
    EXPECT_EQ(corner(d.w.scrolldownA), LightGreen);
    for (int i = 0; i < 10; ++i)
        d.w.scrolldownA_Click();
    EXPECT_DOUBLE_EQ(d.s.tracePosA(), 3);
    EXPECT_EQ(corner(d.w.scrollupA), LightGreen);
    EXPECT_EQ(corner(d.w.scrolldownA), Pink);
    // At factor 5 the trace goes to 16 steps either way.
    d.s.YMagB = 2;
    for (int i = 0; i < 20; ++i)
        d.w.scrolldownB_Click();
    EXPECT_EQ(d.s.TracePosB, 16);
    EXPECT_EQ(d.s.ShiftB, 16 * 53);
    // The combined trace: 4 steps at x 1.
    for (int i = 0; i < 6; ++i)
        d.w.Scrollup_Click();
    EXPECT_EQ(d.s.TracePosSum, -4);
}

TEST(Channels, YMagFromFiveBackToOneClampsThePosition) {
    Display d;
    d.s.YMagA = 2;
    d.s.TracePosA = 10;
    d.w.YMagAbutton_Click();
    EXPECT_DOUBLE_EQ(d.s.yMagA(), 0);
    EXPECT_DOUBLE_EQ(d.s.tracePosA(), 3);
    EXPECT_DOUBLE_EQ(d.s.yMagFactorA(), 1);
    EXPECT_EQ(d.s.ShiftA, 3 * 159);
    // Three divisions below the centre, less the 2 units per step.
    EXPECT_EQ(d.s.BaseA, 1280 + 2 * 477);
    d.s.YMagB = 2;
    d.s.TracePosB = -12;
    d.w.YMagBbutton_Click();
    EXPECT_EQ(d.s.TracePosB, -3);
}

TEST(Channels, YMagStepsAndIsIgnoredInGeneratorAndFft) {
    Display d;
    d.w.YMagAbutton_Click();
    EXPECT_DOUBLE_EQ(d.s.yMagFactorA(), 2);
    d.w.YMagAbutton_Click();
    EXPECT_DOUBLE_EQ(d.s.yMagFactorA(), 5);
    d.s.ScopeMode = 1;
    d.w.YMagAbutton_Click();
    EXPECT_DOUBLE_EQ(d.s.yMagA(), 2);
    d.s.ScopeMode = 3;
    d.w.YMagBbutton_Click();
    EXPECT_DOUBLE_EQ(d.s.yMagB(), 0);
}

TEST(Channels, RangeRedrawsTheLevelValue) {
    Display d;
    d.s.TrigMode = 1;
    d.s.TrigLevel = 1120;
    d.w.trcursdraw();
    EXPECT_DOUBLE_EQ(d.s.levelVolts(), 1.5); // 12 V range
    d.w.Command3_Click();
    EXPECT_DOUBLE_EQ(d.s.levelVolts(), 0.15);
    d.w.Command4_Click(); // x10 on the low range: 12 V again
    EXPECT_DOUBLE_EQ(d.s.levelVolts(), 1.5);
}
