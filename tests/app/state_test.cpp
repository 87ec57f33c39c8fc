// The state record's start values and the number conventions.
#include "app/instrument_state.h"

#include <gtest/gtest.h>

TEST(State, BuffersStartAtMidScaleAndSizesAreFixed) {
    InstrumentState s;
    ASSERT_EQ(s.ChanABuffer.size(), 32768u);
    ASSERT_EQ(s.ChanBBuffer.size(), 32768u);
    ASSERT_EQ(s.GenWave.size(), 32768u);
    EXPECT_EQ(s.RealIn.size(), 32801u);
    EXPECT_EQ(s.ImagOut.size(), 33001u);
    for (int i : {0, 1, 16384, 32767}) {
        EXPECT_EQ(s.ChanABuffer[i], 1280);
        EXPECT_EQ(s.ChanBBuffer[i], 1280);
        EXPECT_EQ(s.GenWave[i], 1280);
    }
}

TEST(State, ResetRestoresEveryStartValue) {
    InstrumentState s;
    s.ChanABuffer[7] = 5;
    s.TrigLevel = 10;
    s.LptNumber = 3;
    s.ChanConfig = 10;
    s.FilePath = "x";
    s.reset();
    EXPECT_EQ(s.ChanABuffer[7], 1280);
    EXPECT_EQ(s.trigLevel(), 1280);
    EXPECT_EQ(s.LptNumber, 1);
    EXPECT_TRUE(s.ChanConfig.isEmpty());
    EXPECT_EQ(s.FilePath, "");
}

TEST(State, StartValuesOfTheRecord) {
    InstrumentState s;
    EXPECT_EQ(s.dutyCycle(), 50);
    EXPECT_EQ(s.BufBase, 2048);
    EXPECT_FLOAT_EQ(s.RateFactor, 1.0f);
    EXPECT_FLOAT_EQ(s.GenLast, 4096.0f);
    EXPECT_EQ(s.FullScale, 2560);
    EXPECT_FLOAT_EQ(s.ColourA, 8388608.0f);
    EXPECT_FLOAT_EQ(s.ColourSum, 12583104.0f);
    EXPECT_EQ(s.ShowA.num(), 1);
    EXPECT_EQ(s.ShowB.num(), -1);
    EXPECT_EQ(s.UnitsOn, -1);
    EXPECT_EQ(s.TrigSource.num(), -1);
    EXPECT_EQ(s.TrigSlope.num(), 1);
    EXPECT_EQ(s.levelStepLarge(), 160);
    EXPECT_EQ(s.LevelStepSmall, 10);
    EXPECT_EQ(s.LevelTimeoutMs, 5000);
    EXPECT_EQ(s.genFreq(), 50000);
    EXPECT_DOUBLE_EQ(s.Pi.num(), 3.1415926);
    EXPECT_EQ(s.CaptureStatus, 1);
    EXPECT_EQ(s.GenDirty, 1);
    EXPECT_EQ(s.ReadCount, 360);
    EXPECT_EQ(s.PreTrigCount, 1);
    EXPECT_EQ(s.TrigCursorMode, 1);
    // Fields without a start value are empty variants.
    EXPECT_TRUE(s.ChanConfig.isEmpty());
    EXPECT_TRUE(s.CustomMax.isEmpty());
    EXPECT_EQ(s.ChanConfig.text(), "");
}
