// The numbers of the display: axes, positions, window clamp, cursor readouts.
#include "display/scales.h"

#include <gtest/gtest.h>

using namespace display;

TEST(TimeAxis, FullBufferGivesOneDecadePerRate) {
    // A division of a 32768-sample window holds 2000 samples: at 2 kHz x 10^R that is
    // 10^(3-R) ms.
    EXPECT_DOUBLE_EQ(timeDiv(32768, 1.0, 4), 100);
    EXPECT_DOUBLE_EQ(timeDiv(32768, 1.0, 3), 1000);
    EXPECT_DOUBLE_EQ(timeDiv(32768, 1.0, 2), 10);
    EXPECT_DOUBLE_EQ(timeDiv(32768, 1.0, 1), 100);
    EXPECT_DOUBLE_EQ(timeDiv(32768, 1.0, 0), 1000);
    EXPECT_STREQ(timeUnit(4), "uS");
    EXPECT_STREQ(timeUnit(3), "uS");
    EXPECT_STREQ(timeUnit(2), "mS");
    EXPECT_STREQ(timeUnit(1), "mS");
    EXPECT_STREQ(timeUnit(0), "mS");
}

TEST(TimeAxis, RoundsToTheDivisorOfTheUnit) {
    // 512 samples at 2 MHz: 31.25 samples of 0.5 us per division = 15.625 us -> 15.6.
    EXPECT_DOUBLE_EQ(timeDiv(512, 1.0, 3), 15.6);
    // The fast model: 10000 / 1.5 = 6666.67 -> 6667 hundredths of a us.
    EXPECT_DOUBLE_EQ(timeDiv(32768, 1.5, 4), 66.67);
    // 1024 samples at 20 kHz: 62.5 samples = 3.125 mS per division, to 1/100 up.
    EXPECT_DOUBLE_EQ(timeDiv(1024, 1.0, 1), 3.13);
}

TEST(FreqAxis, StepIsSampleRateOverPointCount) {
    FreqAxis f = freqAxis(1.0, 2048, 4); // 20 MHz / 2048
    EXPECT_DOUBLE_EQ(f.step, 20.0 / 2048);
    EXPECT_STREQ(f.unit, "MHz");
    EXPECT_EQ(f.places, 100);
    f = freqAxis(1.5, 4096, 2); // 300 kHz / 4096 in kHz
    EXPECT_DOUBLE_EQ(f.step, 300.0 / 4096);
    EXPECT_STREQ(f.unit, "KHz");
    EXPECT_EQ(f.places, 1000);
    f = freqAxis(1.0, 2048, 0); // 2 kHz / 2048 in Hz
    EXPECT_DOUBLE_EQ(f.step, 2000.0 / 2048);
    EXPECT_STREQ(f.unit, "Hz");
    EXPECT_EQ(f.places, 10);
    EXPECT_STREQ(freqAxis(1.0, 2048, 3).unit, "MHz");
    EXPECT_STREQ(freqAxis(1.0, 2048, 1).unit, "KHz");
}

TEST(FreqAxis, NumberIsThePointUnderTheLine) {
    FreqAxis f = freqAxis(1.0, 2048, 4);
    EXPECT_DOUBLE_EQ(fftAxisNumber(1000, 24, f), 10); // point 1024 of 2048 at 20 MHz
    EXPECT_DOUBLE_EQ(fftAxisNumber(125, 0, f), 1.22); // 1.2207 MHz to 1/100
    EXPECT_DOUBLE_EQ(fftAxisNumber(0, 0, freqAxis(1.0, 2048, 0)), 0);
}

TEST(VoltLabels, SevenNumbersPerRange) {
    const double expect0[7] = {-0.9, -0.6, -0.3, 0, 0.3, 0.6, 0.9};
    for (int k = 0; k <= 6; ++k) {
        EXPECT_DOUBLE_EQ(voltLabel(k, 0, 1, 0), expect0[k]) << k;
        EXPECT_DOUBLE_EQ(voltLabel(k, 1, 1, 0), expect0[k] * 10) << k;
        EXPECT_DOUBLE_EQ(voltLabel(k, 2, 1, 0), expect0[k] * 100) << k;
    }
}

TEST(VoltLabels, MagnificationAndOffset) {
    EXPECT_DOUBLE_EQ(voltLabel(0, 0, 2, 0), -0.45);
    EXPECT_DOUBLE_EQ(voltLabel(6, 0, 5, 0), 0.18);
    // Trace moved one step up at factor 1: every number 0.3 V higher.
    EXPECT_DOUBLE_EQ(voltLabel(0, 0, 1, 0.3), -0.6);
    EXPECT_DOUBLE_EQ(voltLabel(6, 0, 1, 0.3), 1.2);
    // Factor 5, two steps of 0.06 V: the centre line reads 0.12, the top 0.3.
    EXPECT_DOUBLE_EQ(voltLabel(3, 0, 5, 0.12), 0.12);
    EXPECT_DOUBLE_EQ(voltLabel(6, 0, 5, 0.12), 0.3);
    // On the 12 V range the offset scales with the range.
    EXPECT_DOUBLE_EQ(voltLabel(3, 1, 1, 0.3), 3);
}

TEST(VoltLabels, GeneratorTrace) {
    const double expect[7] = {0.25, 0.5, 0.75, 1, 1.25, 1.5, 1.75};
    for (int k = 0; k <= 6; ++k)
        EXPECT_DOUBLE_EQ(genLabel(k), expect[k]);
}

TEST(Combined, LargerRangeSetsTheScale) {
    EXPECT_EQ(combinedRange(1, 0), 1);
    EXPECT_EQ(combinedRange(0, 2), 2);
    EXPECT_EQ(combinedRange(1, 1), 1);
    // A on 12 V, B on 1.2 V: B's 500 units count as 50.
    EXPECT_DOUBLE_EQ(combinedValue(1280, 1780, 1, 1, 0), -50);
    EXPECT_DOUBLE_EQ(combinedValue(1280, 1780, -1, 1, 0), 50);
    // A on 1.2 V, B on 120 V: A divided by 100.
    EXPECT_DOUBLE_EQ(combinedValue(1780, 1280, 1, 0, 2), -5);
    // Equal ranges: plain sum and difference of the deviations.
    EXPECT_DOUBLE_EQ(combinedValue(1380, 1380, 1, 0, 0), -200);
    EXPECT_DOUBLE_EQ(combinedValue(1380, 1380, -1, 0, 0), 0);
}

TEST(Positions, TableAndMultipliers) {
    const PositionStep p0 = positionStep(0), p1 = positionStep(1), p2 = positionStep(2);
    EXPECT_EQ(p0.factor, 1);
    EXPECT_EQ(p1.factor, 2);
    EXPECT_EQ(p2.factor, 5);
    // One position step moves the trace (factor + 1) x shift = 318 units.
    for (const PositionStep& p : {p0, p1, p2})
        EXPECT_EQ((p.factor + 1) * p.shift, 318);
    EXPECT_DOUBLE_EQ(p0.volts, 0.3);
    EXPECT_DOUBLE_EQ(p1.volts, 0.15);
    EXPECT_DOUBLE_EQ(p2.volts, 0.06);
    EXPECT_EQ(p0.limit, 3);
    EXPECT_EQ(p1.limit, 4);
    EXPECT_EQ(p2.limit, 16);
    EXPECT_EQ(p0.limitSum, 4);
    EXPECT_EQ(p1.limitSum, 8);
    EXPECT_EQ(p2.limitSum, 32);
    EXPECT_EQ(baseMultiplier(0), 2);
    EXPECT_EQ(baseMultiplier(1), 3);
    EXPECT_EQ(baseMultiplier(2), 6);
    // A step out of range counts as the first row.
    EXPECT_EQ(positionStep(7).factor, 1);
    EXPECT_EQ(positionStep(-1).factor, 1);
}

TEST(Window, LastIndex) {
    EXPECT_DOUBLE_EQ(lastIndex(false, 0, 2048, 0), 2047);
    EXPECT_DOUBLE_EQ(lastIndex(false, 4, 2048, 0), 32767);
    EXPECT_DOUBLE_EQ(lastIndex(false, 4, 1024, 0), 16383);
    EXPECT_DOUBLE_EQ(lastIndex(true, 4, 2048, 8000), 8000);
    // Whatever the record holds, no index outside the buffer.
    EXPECT_DOUBLE_EQ(lastIndex(true, 0, 2048, 50000), 32767);
    EXPECT_DOUBLE_EQ(lastIndex(true, 0, 2048, -5), 0);
    EXPECT_DOUBLE_EQ(lastIndex(false, 9, 2048, 0), 32767);
}

TEST(Window, ClampKeepsTheWindowInTheData) {
    // 32K window on 2K data: the whole of the data.
    Window w = clampWindow(32768, 0, 2047);
    EXPECT_DOUBLE_EQ(w.xMagnify, 2047);
    EXPECT_DOUBLE_EQ(w.scrollPos, 0);
    EXPECT_TRUE(w.widened);
    // A window past the end is moved back to end at the last index.
    w = clampWindow(512, 2047, 2047);
    EXPECT_DOUBLE_EQ(w.scrollPos, 1535);
    EXPECT_DOUBLE_EQ(w.xMagnify, 512);
    EXPECT_FALSE(w.widened);
    w = clampWindow(512, 1000, 2047);
    EXPECT_DOUBLE_EQ(w.scrollPos, 1000);
    w = clampWindow(512, 40000, 32767);
    EXPECT_DOUBLE_EQ(w.scrollPos, 32255);
    // Tiny generator data and a nonsense width still give a usable window.
    w = clampWindow(512, 0, 9);
    EXPECT_DOUBLE_EQ(w.xMagnify, 9);
    w = clampWindow(0, 0, 2047);
    EXPECT_DOUBLE_EQ(w.xMagnify, 1);
    w = clampWindow(512, 0, 0);
    EXPECT_DOUBLE_EQ(w.xMagnify, 1);
    EXPECT_DOUBLE_EQ(w.scrollPos, 0);
}

TEST(Window, CursorSteps) {
    EXPECT_DOUBLE_EQ(cursorStepLarge(512), 32);
    EXPECT_DOUBLE_EQ(cursorStepLarge(1000), 62.5);
    EXPECT_EQ(cursorStepSmall(512), 1); // 512 is not below 512: 512 / 512
    EXPECT_EQ(cursorStepSmall(32767), 64);
    EXPECT_EQ(cursorStepSmall(384), 2); // 1.5 rounds to even
    EXPECT_EQ(cursorStepSmall(640), 1);
    EXPECT_EQ(cursorStepSmall(1280), 2); // 2.5 rounds to even
    EXPECT_EQ(cursorStepSmall(448), 2);  // below 512: 448 / 256 = 1.75
    EXPECT_EQ(cursorStepSmall(100), 1);  // never 0
}

TEST(Readout, Volts) {
    EXPECT_DOUBLE_EQ(sampleVolts(2550, 0), 1.2); // Int(1200.65) mV
    EXPECT_DOUBLE_EQ(sampleVolts(0, 0), -1.21);
    EXPECT_DOUBLE_EQ(sampleVolts(1280, 0), 0);
    EXPECT_DOUBLE_EQ(sampleVolts(1290, 1), 0.09);
    EXPECT_DOUBLE_EQ(sampleVolts(1600, 2), 30.2);
    EXPECT_DOUBLE_EQ(spectrumPercent(2550), 100);
    EXPECT_DOUBLE_EQ(spectrumPercent(1275), 50);
    EXPECT_DOUBLE_EQ(genVolts(2550), 1.99);
    EXPECT_DOUBLE_EQ(genVolts(0), 0);
}

TEST(Readout, TimeScaling) {
    // 100 samples at 2 MHz: 0.05 mS -> 50 uS.
    Reading r = cursorTime(100, 0, 3, 1.0, false, 0);
    EXPECT_DOUBLE_EQ(r.value, 50);
    EXPECT_EQ(r.unit, "uS");
    // 1000 samples at 2 kHz: 250 mS is above 100 -> 0.25 S.
    r = cursorTime(500, 0, 0, 1.0, false, 0);
    EXPECT_DOUBLE_EQ(r.value, 0.25);
    EXPECT_EQ(r.unit, "S");
    r = cursorTime(1000, 0, 0, 1.0, false, 0);
    EXPECT_DOUBLE_EQ(r.value, 0.5);
    EXPECT_EQ(r.unit, "S");
    // Within 0.1 .. 100 the unit stays mS; the window position does not count.
    r = cursorTime(100, 5000, 1, 1.0, false, 0);
    EXPECT_DOUBLE_EQ(r.value, 5);
    EXPECT_EQ(r.unit, "mS");
    // Cursor at the left edge.
    r = cursorTime(0, 0, 3, 1.0, false, 0);
    EXPECT_DOUBLE_EQ(r.value, 0);
    EXPECT_EQ(r.unit, "uS");
}

TEST(Readout, Rounding) {
    // Below 10: four decimals, truncated; from 10 on: three.
    EXPECT_DOUBLE_EQ(scaleReading(1.23456789, false).value, 1.2345);
    EXPECT_DOUBLE_EQ(scaleReading(12.3456789, false).value, 12.345);
    EXPECT_DOUBLE_EQ(scaleReading(0.0123456789, false).value, 12.345); // 12.3456 uS
    EXPECT_EQ(scaleReading(0.0123456789, false).unit, "uS");
    // 30 MHz model: 7 samples at 3 MHz = 2.3333 us.
    Reading r = cursorTime(7, 0, 3, 1.5, false, 0);
    EXPECT_DOUBLE_EQ(r.value, 2.3333);
    EXPECT_EQ(r.unit, "uS");
}

TEST(Readout, FftFrequency) {
    // Point 1024 of a 2048-point spectrum at 20 MHz: 10 MHz, with the window position.
    Reading r = cursorTime(24, 1000, 4, 1.0, true, 2048);
    EXPECT_DOUBLE_EQ(r.value, 10);
    EXPECT_EQ(r.unit, "MHz");
    // Point 5 at 20 MHz / 2048: 48.828 kHz.
    r = cursorTime(5, 0, 4, 1.0, true, 2048);
    EXPECT_DOUBLE_EQ(r.value, 48.828);
    EXPECT_EQ(r.unit, "KHz");
    // Point 1 at 2 kHz / 2048: 0.9765 Hz, scaled twice.
    r = cursorTime(1, 0, 0, 1.0, true, 2048);
    EXPECT_DOUBLE_EQ(r.value, 0.9765);
    EXPECT_EQ(r.unit, "Hz");
}

TEST(Readout, Reciprocal) {
    Reading f = reciprocal({0.5, "mS"});
    EXPECT_DOUBLE_EQ(f.value, 2);
    EXPECT_EQ(f.unit, "KHz");
    f = reciprocal({3, "uS"});
    EXPECT_DOUBLE_EQ(f.value, 0.3333);
    EXPECT_EQ(f.unit, "MHz");
    f = reciprocal({0.25, "S"});
    EXPECT_DOUBLE_EQ(f.value, 4);
    EXPECT_EQ(f.unit, "Hz");
    // In FFT mode the frequency becomes the period of one cycle.
    f = reciprocal({10, "MHz"});
    EXPECT_DOUBLE_EQ(f.value, 0.1);
    EXPECT_EQ(f.unit, "uS");
    EXPECT_EQ(reciprocal({2, "KHz"}).unit, "mS");
    EXPECT_EQ(reciprocal({2, "Hz"}).unit, "S");
    // Nothing to invert at 0.
    f = reciprocal({0, "uS"});
    EXPECT_DOUBLE_EQ(f.value, 0);
    EXPECT_EQ(f.unit, "uS");
}

TEST(Readout, LevelVolts) {
    EXPECT_DOUBLE_EQ(levelVolts(1280, 0), 0);
    EXPECT_DOUBLE_EQ(levelVolts(1120, 0), 0.15); // 160 units above zero
    EXPECT_DOUBLE_EQ(levelVolts(1120, 1), 1.5);
    EXPECT_DOUBLE_EQ(levelVolts(2550, 0), -1.19); // Int(-119.03 + 0.5)
    EXPECT_DOUBLE_EQ(levelVolts(10, 2), 119);
}

TEST(CursorModes, CyclesThroughWhatIsShown) {
    Shown onlyA;
    onlyA.a = true;
    EXPECT_EQ(nextCursorMode(0, onlyA), 1);
    EXPECT_EQ(nextCursorMode(1, onlyA), 0);

    Shown aAndD = onlyA;
    aAndD.d = true;
    EXPECT_EQ(nextCursorMode(0, aAndD), 1);
    EXPECT_EQ(nextCursorMode(1, aAndD), 5);
    EXPECT_EQ(nextCursorMode(5, aAndD), 0);

    Shown ab = onlyA;
    ab.b = true;
    EXPECT_EQ(nextCursorMode(1, ab), 2);
    EXPECT_EQ(nextCursorMode(2, ab), 0);

    Shown plus = ab;
    plus.plus = true;
    EXPECT_EQ(nextCursorMode(0, plus), 3);
    EXPECT_EQ(nextCursorMode(3, plus), 0);
    plus.d = true;
    EXPECT_EQ(nextCursorMode(3, plus), 5);

    Shown minus;
    minus.minus = true;
    EXPECT_EQ(nextCursorMode(0, minus), 4);
    EXPECT_EQ(nextCursorMode(1, minus), 4);

    // Nothing shown: straight back to off.
    EXPECT_EQ(nextCursorMode(0, Shown{}), 0);
    // Only B: the A step is passed over.
    Shown onlyB;
    onlyB.b = true;
    EXPECT_EQ(nextCursorMode(0, onlyB), 2);

    Shown gen = aAndD;
    gen.generator = true;
    EXPECT_EQ(nextCursorMode(0, gen), 5);
    EXPECT_EQ(nextCursorMode(5, gen), 0);
}

TEST(CursorModes, CheckFollowsTheDisplay) {
    Shown s;
    s.a = true;
    EXPECT_EQ(checkCursorMode(1, s), 1);
    EXPECT_EQ(checkCursorMode(2, s), 0); // B not shown
    EXPECT_EQ(checkCursorMode(3, s), 0); // combined trace switched off
    EXPECT_EQ(checkCursorMode(5, s), 0);
    EXPECT_EQ(checkCursorMode(0, s), 0);
    s.minus = true;
    EXPECT_EQ(checkCursorMode(1, s), 4);
    EXPECT_EQ(checkCursorMode(3, s), 4);
    s.minus = false;
    s.plus = true;
    EXPECT_EQ(checkCursorMode(4, s), 3);
    s.d = true;
    EXPECT_EQ(checkCursorMode(5, s), 5);
    EXPECT_STREQ(cursorLetter(3), "+");
    EXPECT_STREQ(cursorLetter(4), "-");
    EXPECT_STREQ(cursorLetter(0), "");
}
