// The redraw on the rendered picture: traces at their rows, grid and numbers, window.
#include "display_fixture.h"

#include <gtest/gtest.h>

using display_test::Display;
using namespace display_test;

TEST(Redraw, KnownBufferAppearsAtTheComputedRows) {
    Display d;
    ASSERT_GT(d.w.Picture1->width(), 600); // more pixels than the 512 samples shown
    for (int i = 0; i < 32768; ++i)
        d.s.ChanABuffer[size_t(i)] = int16_t(300 + (i * 37) % 1900);
    for (bool join : {false, true}) {
        d.s.JoinOn = join ? 1 : -1;
        d.w.HScroll1_Change();
        for (int i = 0; i < 512; i += 7) {
            // Trace A at factor 1 and no shift: y = 1280 + (1280 - v).
            const double y = 2560 - d.s.ChanABuffer[size_t(i)];
            EXPECT_EQ(d.at(i, y), BlueA) << "sample " << i << " join " << join;
        }
    }
    // Scrolled: the window starts at sample 1000.
    d.w.HScroll1->setValue(1000);
    EXPECT_DOUBLE_EQ(d.s.scrollPos(), 1000);
    EXPECT_EQ(d.at(10, 2560 - d.s.ChanABuffer[1010]), BlueA);
}

TEST(Redraw, TraceBAtItsRows) {
    Display d;
    d.s.ShowB = 1;
    d.fillB(1600);
    d.w.HScroll1_Change();
    EXPECT_TRUE(d.rowHas(960, GreenB));
}

TEST(Redraw, CombinedTraceInTheScaleOfTheLargerRange) {
    Display d;
    d.s.DataRangeA = 1; // 12 V
    d.s.DataRangeB = 0; // 1.2 V
    d.fillA(1280);
    d.fillB(1780);
    d.w.Command20_Click(); // A+B
    EXPECT_EQ(d.s.ShowAplusB.num(), 1);
    // B's 500 units count as 50: 1280 - 50.
    EXPECT_TRUE(d.rowHas(1230, PurpleSum));
    d.w.Command21_Click(); // A-B switches A+B off
    // Per-channel position and magnification boxes are hidden meanwhile.
    EXPECT_FALSE(d.w.scrollupA->isVisibleTo(&d.w));
    EXPECT_FALSE(d.w.YMagBbutton->isVisibleTo(&d.w));
    d.w.Command21_Click();
    EXPECT_TRUE(d.w.scrollupA->isVisibleTo(&d.w));
}

TEST(Redraw, GridAndNumbersArePaintedOnlyWithTheGrid) {
    Display d;
    d.fillA(1280);
    d.w.Command16_Click(); // UNITS on
    ASSERT_EQ(d.s.UnitsOn, 1);
    QImage img = d.image();
    EXPECT_GT(d.count(img, GridGrey), 0);
    // Numbers and unit text: colours besides background, grid and trace.
    EXPECT_GT(d.others(img, {Background, GridGrey, BlueA}), 0);
    d.w.Command13_Click(); // GRID off
    EXPECT_EQ(d.others(d.image(), {Background, BlueA}), 0);
}

TEST(Redraw, CursorLineDrawnTwiceLeavesThePictureUnchanged) {
    Display d;
    d.fillA(1500);
    d.w.HScroll1_Change();
    const QImage before = d.image();
    d.s.CursorMode = 1;
    d.s.CursorColour = plat::RGB(0, 0, 224);
    d.s.CursorX = 200;
    d.w.cursdraw();
    EXPECT_NE(d.image(), before);
    EXPECT_NE(d.at(200, 500), Background);
    d.s.CursorMode = 0;
    d.w.cursdraw(); // the same line again
    EXPECT_EQ(d.image(), before);
    EXPECT_EQ(d.s.CursorDrawn.num(), 0);
}

TEST(Redraw, CursorMovesWithoutTrace) {
    Display d;
    d.s.CursorMode = 1;
    d.w.SDISPLAY();
    d.s.CursorX = 100;
    d.w.cursdraw();
    const QImage at100 = d.image();
    d.s.CursorX = 300;
    d.w.cursdraw();
    EXPECT_EQ(d.at(100, 500), Background); // the old line is gone
    EXPECT_NE(d.at(300, 500), Background);
    d.s.CursorX = 100;
    d.w.cursdraw();
    EXPECT_EQ(d.image(), at100);
}

TEST(Redraw, FftModeDrawsSpectraAtFactorOne) {
    Display d;
    d.s.ScopeMode = 3;
    d.s.BufBase = 1024;
    d.s.SampleSizeIndex = 0;
    d.s.YMagA = 2;
    d.s.TracePosA = 4;
    d.fillA(1380);
    d.s.FFTDoneA = 1; // the buffer already holds a spectrum
    d.s.FFTDoneB = 1;
    d.w.HScroll1_Change();
    EXPECT_EQ(d.s.FFTNumSamples, 2048);
    EXPECT_EQ(d.w.HScroll2->maximum(), 1023);
    // The factors come back after the redraw.
    EXPECT_DOUBLE_EQ(d.s.yMagFactorA(), 5);
    EXPECT_DOUBLE_EQ(d.s.SavedFactorA.num(), 5);
    // Dragging X Magnify to its end shows the whole spectrum.
    d.w.HScroll2->setValue(d.w.HScroll2->maximum());
    EXPECT_DOUBLE_EQ(d.s.xMagnify(), 1023);
}

TEST(Redraw, GeneratorModeDrawsOnlyTraceD) {
    Display d;
    d.s.ScopeMode = 1;
    d.s.ShowD = 1;
    d.s.GenLast = 4096;
    std::fill(d.s.GenWave.begin(), d.s.GenWave.end(), int16_t(640));
    d.w.HScroll1_Change();
    EXPECT_TRUE(d.rowHas(2560 - 640, RedD));
    EXPECT_EQ(d.w.HScroll1->maximum(), 4096);
    EXPECT_FALSE(d.w.scrollupA->isVisibleTo(&d.w));
}
