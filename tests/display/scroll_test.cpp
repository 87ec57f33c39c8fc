// The two scroll bars: values set by the program or by other panels, the X Magnify bar,
// a click on the display and the Normal/Delay box.
#include "display_fixture.h"

#include <gtest/gtest.h>

using display_test::Display;

TEST(ScrollBars, StartValues) {
    Display d;
    EXPECT_DOUBLE_EQ(d.s.xMagnify(), 512);
    EXPECT_DOUBLE_EQ(d.s.scrollPos(), 0);
    EXPECT_EQ(d.w.HScroll1->maximum(), 4095); // 4K after start-up
    EXPECT_EQ(d.w.HScroll2->maximum(), 4095);
    EXPECT_EQ(d.w.HScroll1->pageStep(), 128);
    EXPECT_DOUBLE_EQ(d.s.cursorX(), 32);
    EXPECT_DOUBLE_EQ(d.s.cursorStepLarge(), 32);
    EXPECT_EQ(d.s.CursorStepSmall, 1); // 512 is not below 512
}

TEST(ScrollBars, TheRedrawSetsThemWithoutChangeEvents) {
    Display d;
    d.s.SampleSizeIndex = 0;
    d.w.HScroll1->setValue(1800); // beyond the window's room at 2K
    int events = 0;
    QObject::connect(d.w.HScroll1, &QScrollBar::valueChanged, [&events] { ++events; });
    QObject::connect(d.w.HScroll2, &QScrollBar::valueChanged, [&events] { ++events; });
    d.w.HScroll1_Change();
    EXPECT_EQ(events, 0);
    EXPECT_EQ(d.w.HScroll1->value(), 2047 - 512);
}

TEST(ScrollBars, AValueSetByAnotherPanelRedraws) {
    Display d;
    d.w.HScroll1->setValue(1000);
    EXPECT_DOUBLE_EQ(d.s.scrollPos(), 1000);
    // The end of a capture in Normal mode: the window back at the start.
    d.w.HScroll1->setValue(0);
    EXPECT_DOUBLE_EQ(d.s.scrollPos(), 0);
}

TEST(ScrollBars, SmallerMaximaFromTheSizeKeysMoveTheWindow) {
    Display d;
    d.s.SampleSizeIndex = 4;
    d.w.HScroll1_Change();
    d.w.HScroll2->setValue(4096);
    d.w.HScroll1->setValue(30000);
    ASSERT_DOUBLE_EQ(d.s.xMagnify(), 4096);
    // The size goes to 2K and the key handler sets both maxima.
    d.s.SampleSizeIndex = 0;
    d.w.HScroll1->setMaximum(2047);
    d.w.HScroll2->setMaximum(2047);
    EXPECT_DOUBLE_EQ(d.s.xMagnify(), 2047);
    EXPECT_DOUBLE_EQ(d.s.scrollPos(), 0);
    EXPECT_EQ(d.w.HScroll1->value(), 0);
    EXPECT_EQ(d.w.HScroll2->value(), 2047);
}

TEST(ScrollBars, XMagnifyFollowsItsBar) {
    Display d;
    d.s.SampleSizeIndex = 4;
    d.w.HScroll1_Change();
    EXPECT_EQ(d.w.HScroll2->minimum(), 256);
    d.w.HScroll2->setValue(8192);
    EXPECT_DOUBLE_EQ(d.s.xMagnify(), 8192);
    EXPECT_DOUBLE_EQ(d.w.Picture1->ScaleWidth(), 8192);
    EXPECT_DOUBLE_EQ(d.s.cursorStepLarge(), 512);
}

TEST(ScrollBars, DataShorterThanTheBarMinimum) {
    Display d;
    d.s.ScopeMode = 2;
    d.s.GenLast = 99;
    d.w.HScroll2_Change();
    EXPECT_EQ(d.w.HScroll2->maximum(), 99);
    EXPECT_DOUBLE_EQ(d.s.xMagnify(), 99);
    EXPECT_DOUBLE_EQ(d.s.scrollPos(), 0);
    // Back to long data: the bar gets its usual minimum again.
    d.s.GenLast = 8000;
    d.w.HScroll2_Change();
    EXPECT_EQ(d.w.HScroll2->minimum(), 256);
    EXPECT_EQ(d.w.HScroll2->maximum(), 8000);
}

TEST(ScrollBars, ClickOnTheDisplayTakesTheBarsWidth) {
    Display d;
    d.w.HScroll2->setValue(1024);
    d.s.XMagnify = 700; // e.g. from a profile
    d.w.Picture1_Click();
    EXPECT_DOUBLE_EQ(d.s.xMagnify(), 1024);
    // The A, B and D buttons go the same way.
    d.s.XMagnify = 700;
    d.w.Command17_Click();
    EXPECT_DOUBLE_EQ(d.s.xMagnify(), 1024);
}

TEST(DelayWin, TogglesNormalAndDelay) {
    Display d;
    const int x = d.w.DelayWin->width() - 2, y = d.w.DelayWin->height() - 2;
    d.w.DelayWin_Click();
    EXPECT_EQ(d.s.DelayMode, 1);
    EXPECT_EQ(d.w.DelayWin->pixel(x, y), QColor(255, 128, 128));
    d.w.DelayWin_Click();
    EXPECT_EQ(d.s.DelayMode, 0);
    EXPECT_EQ(d.w.DelayWin->pixel(x, y), QColor(192, 255, 192));
}
