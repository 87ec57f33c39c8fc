// The sampling panel: box texts, arrows and the copies for the next capture.
#include "acquisition/acquisition.h"
#include "device/drawn_text.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

using testing_support::Harness;

namespace {
const char* const Rate20[] = {"  2  KHz", " 20 KHz", " 200KHz", "  2  MHz", " 20 MHz"};
const char* const Rate30[] = {"  3  KHz", " 30 KHz", " 300KHz", "  3  MHz", " 30 MHz"};
const char* const Sizes[] = {"    2K ", "    4K ", "    8K ", "   16K ", "   32K "};
constexpr long LightYellow = 0xC0FFFF, Grey = 0xC0C0C0;

sim::Options model(int m) {
    sim::Options o;
    o.model = m;
    return o;
}
} // namespace

TEST(SamplingTexts, TablesOfBothModels) {
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(acq::rateText(i, 1.0f), Rate20[i]);
        EXPECT_EQ(acq::rateText(i, 1.5f), Rate30[i]);
        EXPECT_EQ(acq::sizeText(i), Sizes[i]);
    }
    EXPECT_EQ(acq::rateText(5, 1.0f), "");
    EXPECT_EQ(acq::rateText(-1, 1.0f), "");
    EXPECT_EQ(acq::sizeText(9), "");
}

TEST(DSAMPLE, DrawsTheBoxesAndTakesTheCopies) {
    for (int m : {20, 30}) {
        Harness h(model(m));
        WQK& w = drawn::shown(h.window());
        for (int i = 0; i < 5; ++i) {
            w.state().SampleRateIndex = i;
            w.state().SampleSizeIndex = 4 - i;
            w.DSAMPLE();
            EXPECT_TRUE(drawn::shows(w.SRATEDISP, {(m == 20 ? Rate20 : Rate30)[i]}))
                << m << " " << i;
            EXPECT_TRUE(drawn::shows(w.SSIZEDISP, {Sizes[4 - i]})) << i;
            EXPECT_EQ(w.SRATEDISP->BackColor(), LightYellow);
            EXPECT_EQ(w.SSIZEDISP->BackColor(), LightYellow);
            EXPECT_EQ(w.state().rateA(), i);
            EXPECT_EQ(w.state().RateB, i);
            EXPECT_EQ(w.state().sizeA(), 4 - i);
            EXPECT_EQ(w.state().SizeB, 4 - i);
        }
        // The check tells texts apart by a single blank.
        w.state().SampleRateIndex = 0;
        w.DSAMPLE();
        EXPECT_FALSE(drawn::shows(w.SRATEDISP, {m == 20 ? " 2  KHz" : " 3  KHz"}));
    }
}

TEST(DSAMPLE, GeneratorModesShowThePointCountInGrey) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    for (int mode : {1, 2}) {
        w.state().ScopeMode = mode;
        w.state().GenLast = 4096;
        w.state().SampleRateIndex = 0;
        w.state().SampleSizeIndex = 3;
        w.DSAMPLE();
        EXPECT_EQ(w.SRATEDISP->BackColor(), Grey);
        EXPECT_EQ(w.SSIZEDISP->BackColor(), Grey);
        EXPECT_TRUE(drawn::shows(w.SSIZEDISP, {" 4097"}));
        EXPECT_TRUE(drawn::shows(w.SRATEDISP, {}));
        EXPECT_EQ(w.state().rateA(), 3); // the copies wait for SCOPE or FFT
        EXPECT_EQ(w.state().sizeA(), 1);
    }
    w.state().ScopeMode = 3;
    w.DSAMPLE();
    EXPECT_EQ(w.state().rateA(), 0);
    EXPECT_EQ(w.state().sizeA(), 3);
}

TEST(SamplingArrows, StopAtTheEndsOfTheTables) {
    Harness h(model(30));
    WQK& w = drawn::shown(h.window());
    for (int k = 0; k < 3; ++k)
        w.SRATEP_MouseDown();
    EXPECT_EQ(w.state().sampleRateIndex(), 4);
    EXPECT_EQ(w.state().rateA(), 4);
    EXPECT_TRUE(drawn::shows(w.SRATEDISP, {" 30 MHz"}));
    for (int k = 0; k < 6; ++k)
        w.SRATEN_KeyPress();
    EXPECT_EQ(w.state().sampleRateIndex(), 0);
    EXPECT_TRUE(drawn::shows(w.SRATEDISP, {"  3  KHz"}));
    w.SRATEP_KeyPress();
    EXPECT_EQ(w.state().sampleRateIndex(), 1);
    for (int k = 0; k < 5; ++k)
        w.SSIZEP_MouseDown();
    EXPECT_EQ(w.state().SampleSizeIndex, 4);
    EXPECT_EQ(w.state().sizeA(), 4);
    for (int k = 0; k < 6; ++k)
        w.SSIZEN_MouseDown();
    EXPECT_EQ(w.state().SampleSizeIndex, 0);
    EXPECT_TRUE(drawn::shows(w.SSIZEDISP, {"    2K "}));
}

TEST(SamplingArrows, KeyPressSetsTheScrollMaximaMouseDownDoesNot) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    w.HScroll1->setMaximum(1234);
    w.HScroll2->setMaximum(1234);
    w.SSIZEP_MouseDown(); // 4K -> 8K
    EXPECT_EQ(w.HScroll1->maximum(), 1234);
    EXPECT_EQ(w.HScroll2->maximum(), 1234);
    w.SSIZEN_MouseDown();
    w.SSIZEP_KeyPress();
    EXPECT_EQ(w.state().SampleSizeIndex, 2);
    EXPECT_EQ(w.HScroll1->maximum(), 8191);
    EXPECT_EQ(w.HScroll2->maximum(), 8191);
    w.state().BufBase = 1024; // FFT mode
    w.SSIZEN_KeyPress();
    w.SSIZEP_KeyPress();
    EXPECT_EQ(w.HScroll1->maximum(), 4095);
    EXPECT_EQ(w.HScroll2->maximum(), 4095);
    w.SSIZEN_KeyPress();
    EXPECT_EQ(w.HScroll1->maximum(), 2047);
}

TEST(SamplingArrows, ReachedThroughMouseAndKeyEvents) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.SRATEP, &press);
    EXPECT_EQ(w.state().sampleRateIndex(), 4);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QCoreApplication::sendEvent(w.SSIZEP, &key);
    EXPECT_EQ(w.state().SampleSizeIndex, 2);
    EXPECT_EQ(w.HScroll1->maximum(), 8191);
}

TEST(SamplingArrows, DamagedIndexesDoNotBreakThePanel) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    w.state().SampleSizeIndex = 40;
    w.SSIZEN_KeyPress(); // 39: the scroll maxima stay within a buffer
    EXPECT_EQ(w.HScroll1->maximum(), 32767);
    w.state().SampleRateIndex = 9;
    w.SRATEP_MouseDown();
    EXPECT_EQ(w.state().sampleRateIndex(), 4);
}
