// The cursor: CURSOR cycling, readouts, the move buttons, 1/t, and the level line.
#include "display_fixture.h"

#include <gtest/gtest.h>

using display_test::Display;

namespace {
std::vector<int> cycle(Display& d, int clicks) {
    std::vector<int> modes{d.s.cursorMode()};
    for (int i = 0; i < clicks; ++i) {
        d.w.Command23_Click();
        modes.push_back(d.s.cursorMode());
    }
    return modes;
}
int reddish(PictureBox* p, double maxX) {
    const QImage& img = p->image();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < int(maxX * img.width()); ++x) {
            QColor c(img.pixel(x, y));
            n += c.red() > 150 && c.green() < 100 && c.blue() < 100;
        }
    return n;
}
} // namespace

TEST(Cursor, CyclesThroughTheTracesOnShow) {
    Display d;
    EXPECT_EQ(cycle(d, 2), (std::vector<int>{0, 1, 0}));
    d.s.ShowD = 1;
    EXPECT_EQ(cycle(d, 3), (std::vector<int>{0, 1, 5, 0}));
    d.s.ShowD = -1;
    d.w.Command20_Click();
    EXPECT_EQ(cycle(d, 2), (std::vector<int>{0, 3, 0}));
    d.s.ScopeMode = 1;
    d.s.ShowD = 1;
    EXPECT_EQ(cycle(d, 2), (std::vector<int>{0, 5, 0}));
}

TEST(Cursor, SwitchingTheCombinedTraceOffSwitchesTheCursorOff) {
    Display d;
    d.w.Command20_Click();
    d.w.Command23_Click();
    ASSERT_DOUBLE_EQ(d.s.cursorMode(), 3);
    d.w.Command20_Click();
    EXPECT_DOUBLE_EQ(d.s.cursorMode(), 0);
    EXPECT_FALSE(d.w.Cursorch->isVisibleTo(&d.w));
}

TEST(Cursor, ReadoutOfTimeFromTheWindowEdge) {
    Display d;
    d.w.HScroll1->setValue(2000); // the window position does not count
    d.w.Command23_Click();
    d.s.CursorX = 100;
    d.w.cursdraw();
    EXPECT_DOUBLE_EQ(d.s.cursorTime(), 50); // 100 samples at 2 MHz
    EXPECT_EQ(d.s.CursorUnit, "uS");
    d.s.DataRateA = 0; // 2 kHz
    d.s.CursorX = 500;
    d.w.cursdraw();
    EXPECT_DOUBLE_EQ(d.s.cursorTime(), 0.25);
    EXPECT_EQ(d.s.CursorUnit, "S");
}

TEST(Cursor, GeneratorTimeFollowsTheStepRate) {
    Display d;
    d.s.ScopeMode = 1;
    d.s.ShowD = 1;
    d.s.GenMode = 1;
    d.s.SweepRateIndex = 2; // 200 kHz
    d.w.Command23_Click();
    ASSERT_DOUBLE_EQ(d.s.cursorMode(), 5);
    d.s.CursorX = 100;
    d.w.cursdraw();
    EXPECT_DOUBLE_EQ(d.s.cursorTime(), 0.5);
    EXPECT_EQ(d.s.CursorUnit, "mS");
}

TEST(Cursor, FftReadoutIsAFrequency) {
    Display d;
    d.s.ScopeMode = 3;
    d.s.BufBase = 1024;
    d.s.SampleSizeIndex = 0;
    d.s.DataRateA = 4;
    d.w.HScroll1_Change();
    d.w.Command23_Click();
    d.s.CursorX = 256;
    d.w.cursdraw();
    // Point 256 of 2048 at 20 MHz.
    EXPECT_DOUBLE_EQ(d.s.cursorTime(), 2.5);
    EXPECT_EQ(d.s.CursorUnit, "MHz");
}

TEST(Cursor, NegativeVoltageIsPrintedRed) {
    Display d;
    d.w.Command23_Click();
    d.s.CursorX = 40;
    d.s.ChanABuffer[40] = 1000;
    d.w.cursdraw();
    EXPECT_GT(reddish(d.w.CURSINFO, 0.3), 0);
    d.s.ChanABuffer[40] = 1600;
    d.w.cursdraw();
    EXPECT_EQ(reddish(d.w.CURSINFO, 0.3), 0);
}

TEST(Cursor, HeldButtonRepeatsTwentyTimesASecondAfterADelay) {
    Display d;
    d.s.SampleSizeIndex = 4;
    d.w.HScroll1_Change();
    d.w.HScroll2->setValue(32000); // large step 2000
    d.w.Command23_Click();
    d.s.CursorX = 0;
    const int64_t t0 = d.h.clock().nowMs();
    d.h.clock().at(t0 + 1025, [&] { d.w.Command25_MouseUp(); });
    d.w.Command25_MouseDown();
    // One step at once, then one every 50 ms from 350 ms to 1000 ms.
    EXPECT_DOUBLE_EQ(d.s.cursorX(), 15 * 2000);
    EXPECT_DOUBLE_EQ(d.s.ButtonHeld.num(), 0);
}

TEST(Cursor, StepsStopAtTheWindowEdges) {
    Display d;
    d.w.Command23_Click();
    d.s.CursorX = 500; // window 512, large step 32
    d.h.clock().at(d.h.clock().nowMs() + 10, [&] { d.w.Command25_MouseUp(); });
    d.w.Command25_MouseDown();
    EXPECT_DOUBLE_EQ(d.s.cursorX(), 512);
    d.s.CursorX = 1;
    d.w.Command26_KeyPress(); // small step 1, no repeat
    EXPECT_DOUBLE_EQ(d.s.cursorX(), 0);
    d.w.Command26_KeyPress();
    EXPECT_DOUBLE_EQ(d.s.cursorX(), 0);
    d.w.Command27_KeyPress();
    EXPECT_DOUBLE_EQ(d.s.cursorX(), 1);
    EXPECT_DOUBLE_EQ(d.s.ButtonHeld.num(), 0);
}

TEST(Cursor, ButtonsDoNothingWithTheCursorOff) {
    Display d;
    d.s.CursorX = 100;
    const int64_t t0 = d.h.clock().nowMs();
    d.w.Command24_MouseDown();
    d.w.Command27_KeyPress();
    EXPECT_DOUBLE_EQ(d.s.cursorX(), 100);
    EXPECT_EQ(d.h.clock().nowMs(), t0); // no repeat loop either
}

TEST(Cursor, ClickOnTheReadoutShowsTheFrequencyFor800ms) {
    Display d;
    d.w.Command23_Click();
    d.s.CursorX = 100;
    d.w.cursdraw(); // 50 uS
    double during = 0;
    std::string unit;
    const int64_t t0 = d.h.clock().nowMs();
    d.h.clock().at(t0 + 400, [&] {
        during = d.s.cursorTime();
        unit = d.s.CursorUnit;
    });
    d.w.CURSINFO_Click();
    EXPECT_DOUBLE_EQ(during, 0.02);
    EXPECT_EQ(unit, "MHz");
    EXPECT_EQ(d.h.clock().nowMs() - t0, 800);
    // The normal readout is back.
    EXPECT_DOUBLE_EQ(d.s.cursorTime(), 50);
    EXPECT_EQ(d.s.CursorUnit, "uS");
}

TEST(Cursor, ClickOnTheReadoutAtTheLeftEdgeDoesNothing) {
    Display d;
    d.w.Command23_Click();
    d.s.CursorX = 0;
    d.w.cursdraw();
    const int64_t t0 = d.h.clock().nowMs();
    d.w.CURSINFO_Click();
    EXPECT_EQ(d.h.clock().nowMs(), t0);
    EXPECT_DOUBLE_EQ(d.s.cursorTime(), 0);
}

TEST(LevelLine, DrawnAndErasedOnTheTraceLevel) {
    Display d;
    const QImage before = d.image();
    d.s.TrigMode = 1;
    d.s.LevelSetMode = 1;
    d.s.TrigLevel = 1120;
    d.s.LevelLineColour = d.s.ColourA;
    d.w.trcursdraw();
    EXPECT_NE(d.at(300, 1120), display_test::Background);
    EXPECT_DOUBLE_EQ(d.s.trigLevelPrev(), 1120);
    EXPECT_DOUBLE_EQ(d.s.levelVolts(), 0.15 * 10);
    // The level setting restarts the 5 s time-out.
    EXPECT_TRUE(d.w.Timer1->isEnabled());
    EXPECT_EQ(d.w.Timer1->interval(), 5000);
    d.s.LevelSetMode = 0;
    d.w.trcursdraw();
    EXPECT_EQ(d.image(), before);
    EXPECT_DOUBLE_EQ(d.s.LevelDrawn.num(), 0);
}

TEST(LevelLine, FollowsTheMagnifiedTraceAndTheRedraw) {
    Display d;
    d.s.YMagA = 1;
    d.s.TracePosA = 1;
    d.s.TrigMode = 1;
    d.s.LevelSetMode = 1;
    d.s.TrigLevel = 1120;
    d.s.LevelLineColour = d.s.ColourA;
    d.w.Timer1->setEnabled(false);
    d.w.HScroll1_Change();
    // Baseline 1280 + 3 x 106, level 160 units above zero at factor 2.
    EXPECT_DOUBLE_EQ(d.s.trigLevelPrev(), 1598 - 320);
    EXPECT_DOUBLE_EQ(d.s.LevelDrawn.num(), 1);
    // A redraw does not restart the time-out.
    EXPECT_FALSE(d.w.Timer1->isEnabled());
    EXPECT_EQ(d.s.TrigCursorMode, 1);
}

TEST(LevelLine, InstantModeGreysTheValueBox) {
    Display d;
    d.w.trcursdraw();
    EXPECT_EQ(d.w.levelval->pixel(2, 2), QColor(192, 192, 192));
}
