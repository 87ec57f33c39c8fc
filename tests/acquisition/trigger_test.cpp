// The trigger settings, the panel and the level setting.
#include "acquisition/acquisition.h"
#include "device/drawn_text.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <cmath>
#include <gtest/gtest.h>

using testing_support::Harness;

namespace {
constexpr long LightYellow = 0xC0FFFF, Grey = 0xC0C0C0;

// Pixels of exactly this colour (&HBBGGRR) in a picture box.
int pixelsOf(PictureBox* p, long colour) {
    const QImage& img = p->image();
    const QRgb want = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
    return n;
}
} // namespace

TEST(TrigLevelCode, RoundsHalvesToEven) {
    EXPECT_EQ(acq::trigLevelCode(1280, 2560), 128); // 127.5
    EXPECT_EQ(acq::trigLevelCode(2304, 2560), 26);  // 25.5
    EXPECT_EQ(acq::trigLevelCode(1792, 2560), 76);  // 76.5
    EXPECT_EQ(acq::trigLevelCode(10, 2560), 254);
    EXPECT_EQ(acq::trigLevelCode(2550, 2560), 1);
    EXPECT_EQ(acq::trigLevelCode(0, 2560), 255);
    // Damaged settings stay within the comparator's eight bits.
    EXPECT_EQ(acq::trigLevelCode(-1e12, 2560), 255);
    EXPECT_EQ(acq::trigLevelCode(1e12, 2560), 0);
    EXPECT_EQ(acq::trigLevelCode(NAN, 2560), 0);
    EXPECT_EQ(acq::trigLevelCode(100, 0), 0);
}

TEST(TriggerButtons, ModeSourceSlopePretrigger) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    w.TMODEBUTTON_MouseDown();
    EXPECT_EQ(w.state().trigMode(), 1);
    w.TriglevelBUTTON_MouseDown();
    EXPECT_EQ(w.state().LevelSetMode.num(), 1);
    w.TMODEBUTTON_MouseDown(); // back to INST: the level setting ends
    EXPECT_EQ(w.state().trigMode(), 0);
    EXPECT_EQ(w.state().LevelSetMode.num(), 0);
    w.state().TrigMode = 2; // "1 SHOT" from a profile
    w.TMODEBUTTON_MouseDown();
    EXPECT_EQ(w.state().trigMode(), 0);
    w.TSOURCEBUTTON_MouseDown();
    EXPECT_EQ(w.state().TrigSource.num(), 1);
    w.TSOURCEBUTTON_MouseDown();
    EXPECT_EQ(w.state().TrigSource.num(), -1);
    w.TSLOPEBUTTON_MouseDown();
    EXPECT_EQ(w.state().TrigSlope.num(), -1);
    for (int expect : {1, 2, 0, 1}) {
        w.PRETRIGBUTTON_MouseDown();
        EXPECT_EQ(w.state().preTrig(), expect);
    }
}

TEST(TriggerButtons, SetLevelOnlyInTrigMode) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    w.TriglevelBUTTON_MouseDown();
    EXPECT_EQ(w.state().LevelSetMode.num(), 0);
    EXPECT_FALSE(w.TriglevelBUTTON->fontBold());
    w.TMODEBUTTON_MouseDown();
    w.TriglevelBUTTON_MouseDown();
    EXPECT_EQ(w.state().LevelSetMode.num(), 1);
    EXPECT_TRUE(w.TriglevelBUTTON->fontBold());
    EXPECT_EQ(w.state().levelLineColour(), w.state().colourA());
    w.TSOURCEBUTTON_MouseDown(); // the line takes the new source's colour at once
    EXPECT_EQ(w.state().levelLineColour(), w.state().colourB());
    w.TriglevelBUTTON_MouseDown();
    EXPECT_EQ(w.state().LevelSetMode.num(), 0);
    EXPECT_FALSE(w.TriglevelBUTTON->fontBold());
    EXPECT_EQ(w.state().levelLineColour(), 0);
}

TEST(TriggerPanel, ModeControlsAndColours) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    w.TRIGGER();
    for (QWidget* b : {(QWidget*)w.TriglevelBUTTON, (QWidget*)w.TRLARGEN, (QWidget*)w.TRSMALLN,
                       (QWidget*)w.TRLARGEP, (QWidget*)w.TRSMALLP})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(w.levelval->BackColor(), Grey);
    EXPECT_TRUE(w.TRESETBUTTON->isEnabled());
    const int withA = pixelsOf(w.Picture5, w.state().colourA()); // the title has that colour too
    EXPECT_EQ(pixelsOf(w.Picture5, 49152), 0);
    w.TMODEBUTTON_MouseDown();
    for (QWidget* b : {(QWidget*)w.TriglevelBUTTON, (QWidget*)w.TRLARGEN, (QWidget*)w.TRSMALLN,
                       (QWidget*)w.TRLARGEP, (QWidget*)w.TRSMALLP})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_EQ(w.levelval->BackColor(), LightYellow);
    w.TSOURCEBUTTON_MouseDown();
    EXPECT_GT(pixelsOf(w.Picture5, 49152), 0);                        // "CH B " in C000H
    EXPECT_GT(withA, pixelsOf(w.Picture5, w.state().colourA()) + 20); // "CH A " was in A's colour
    w.state().TrigMode = 2;
    w.TRIGGER();
    EXPECT_GT(pixelsOf(w.Picture5, 127), 0); // "1 SHOT"
    // Each setting shows differently.
    std::vector<QImage> seen;
    for (int pre : {0, 1, 2}) {
        w.state().PreTrig = pre;
        w.TRIGGER();
        seen.push_back(w.Picture5->image());
    }
    w.TSLOPEBUTTON_MouseDown();
    seen.push_back(w.Picture5->image());
    for (size_t i = 0; i < seen.size(); ++i)
        for (size_t j = i + 1; j < seen.size(); ++j)
            EXPECT_NE(seen[i], seen[j]) << i << " " << j;
}

TEST(TriggerPanel, GeneratorModesShowOnlyTheTitle) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    w.state().ScopeMode = 1;
    w.state().RunRepeat = 1;
    w.TRIGGER();
    EXPECT_TRUE(w.DelayWin->isHidden());
    w.Picture5->FontBold = true;
    w.Picture5->FontSize = 8;
    EXPECT_TRUE(drawn::shows(w.Picture5, {"TRIGGER"}, 0x800000, 200, 1));
    EXPECT_EQ(w.TRESETBUTTON->caption(), "Repeat");
    w.state().ScopeMode = 3;
    w.state().RunRepeat = 0;
    w.TRIGGER();
    EXPECT_FALSE(w.DelayWin->isHidden());
    EXPECT_FALSE(drawn::shows(w.Picture5, {"TRIGGER"}, 0x800000, 200, 1));
    EXPECT_EQ(w.TRESETBUTTON->caption(), "Single");
}

namespace {
struct Level {
    Harness h;
    WQK& w = drawn::shown(h.window());
    Level() {
        w.TMODEBUTTON_MouseDown();
        w.TriglevelBUTTON_MouseDown();
    }
    int64_t now() { return h.clock().nowMs(); }
};
} // namespace

TEST(LevelArrows, HoldingLargeDownReachesTheBottomInEightSteps) {
    Level l;
    const int64_t t0 = l.now();
    std::vector<double> at;
    // Steps at 0, 350, 400, ... 650 ms: look just before and after the 7th and 8th.
    for (int64_t t : {1, 299, 349, 351, 599, 649, 651, 900})
        l.h.clock().at(t0 + t, [&] { at.push_back(l.w.state().trigLevel()); });
    l.h.clock().at(t0 + 1000, [&] { l.w.TRLARGEN_MouseUp(); });
    l.w.TRLARGEN_MouseDown();
    EXPECT_EQ(at, (std::vector<double>{1440, 1440, 1440, 1600, 2240, 2400, 2550, 2550}));
    EXPECT_EQ(l.w.state().trigLevel(), 2550);
    EXPECT_EQ(l.w.state().ButtonHeld.num(), 0);
    EXPECT_EQ(l.now() - t0, 1000);
}

TEST(LevelArrows, SmallUpStopsAtTheTop) {
    Level l;
    l.w.state().TrigLevel = 15;
    l.w.TRSMALLP_KeyDown();
    EXPECT_EQ(l.w.state().trigLevel(), 10);
    l.w.TRSMALLP_KeyDown();
    EXPECT_EQ(l.w.state().trigLevel(), 10);
    l.w.TRSMALLN_KeyDown();
    EXPECT_EQ(l.w.state().trigLevel(), 20);
    l.w.TRLARGEP_KeyDown();
    EXPECT_EQ(l.w.state().trigLevel(), 10);
    l.w.state().TrigLevel = 2545;
    l.w.TRSMALLN_KeyDown();
    EXPECT_EQ(l.w.state().trigLevel(), 2550);
}

TEST(LevelArrows, QuickClickIsOneStepAndIgnoredOutsideLevelSetting) {
    Level l;
    const int64_t t0 = l.now();
    l.h.clock().at(t0 + 80, [&] { l.w.TRSMALLN_MouseUp(); });
    l.w.TRSMALLN_MouseDown();
    EXPECT_EQ(l.w.state().trigLevel(), 1290);
    EXPECT_EQ(l.now() - t0, 300);
    l.w.TriglevelBUTTON_MouseDown(); // level setting off
    l.w.TRSMALLN_MouseDown();
    l.w.TRLARGEP_KeyDown();
    EXPECT_EQ(l.w.state().trigLevel(), 1290);
    EXPECT_EQ(l.now() - t0, 300);
}

TEST(LevelArrows, ReleaseThroughTheMouseEvent) {
    Level l;
    const int64_t t0 = l.now();
    // The release is already queued; it is handled at the first event processing.
    QCoreApplication::postEvent(
        l.w.TRLARGEP, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2),
                                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(l.w.TRLARGEP, &press);
    EXPECT_EQ(l.w.state().trigLevel(), 1120);
    EXPECT_EQ(l.now() - t0, 300);
}

TEST(LevelArrows, HeldArrowStopsWhenTheLevelSettingEnds) {
    Level l;
    const int64_t t0 = l.now();
    l.h.clock().at(t0 + 420, [&] { l.w.TMODEBUTTON_MouseDown(); }); // INST disables the arrows
    l.w.TRLARGEP_MouseDown();
    EXPECT_EQ(l.w.state().trigLevel(), 1280 - 3 * 160);
    EXPECT_EQ(l.now() - t0, 450);
}

TEST(Timer1, EndsTheLevelSettingAfterFiveSeconds) {
    Level l;
    // As the level-line drawing does after each change.
    l.w.Timer1->setEnabled(false);
    l.w.Timer1->setInterval(l.w.state().LevelTimeoutMs);
    l.w.Timer1->setEnabled(true);
    const int64_t t0 = l.now();
    l.h.clock().pause(4999);
    EXPECT_EQ(l.w.state().LevelSetMode.num(), 1);
    l.h.clock().pause(2);
    EXPECT_EQ(l.w.state().LevelSetMode.num(), 0);
    EXPECT_FALSE(l.w.TriglevelBUTTON->fontBold());
    EXPECT_FALSE(l.w.Timer1->isEnabled());
    EXPECT_EQ(l.now() - t0, 5001);
    // With the setting already off the timer only switches itself off.
    l.w.Timer1->setEnabled(true);
    l.h.clock().pause(5000);
    EXPECT_FALSE(l.w.Timer1->isEnabled());
    EXPECT_EQ(l.w.state().LevelSetMode.num(), 0);
}

TEST(Timer1, FiveSecondsAfterTheLastLevelChange) {
    Level l; // SET LEVEL pressed just now
    const int64_t t0 = l.now();
    l.h.clock().pause(3000);
    l.w.TRSMALLN_KeyDown(); // a change starts the five seconds again
    l.h.clock().pause(4999);
    EXPECT_EQ(l.w.state().LevelSetMode.num(), 1);
    EXPECT_TRUE(l.w.TriglevelBUTTON->fontBold());
    l.h.clock().pause(2);
    EXPECT_EQ(l.w.state().LevelSetMode.num(), 0);
    EXPECT_FALSE(l.w.TriglevelBUTTON->fontBold());
    EXPECT_EQ(l.w.state().levelLineColour(), 0);
    EXPECT_FALSE(l.w.Timer1->isEnabled());
    EXPECT_EQ(l.now() - t0, 8001);
}
