// The trigger panel: the settings its buttons step through, the level arrows and the
// level setting's time-out.
#include "acquisition/acquisition.h"
#include "device/rig.h"

#include <cmath>
#include <gtest/gtest.h>

using rig::Rig;

TEST(TrigLevelCode, HalvesToEvenAndStaysWithinTheComparator) {
    const struct {
        double level, fullScale;
        int code;
    } rows[] = {{1280, 2560, 128}, {2304, 2560, 26}, {10, 2560, 254},
                {2550, 2560, 1},   {0, 2560, 255},   {-1e12, 2560, 255},
                {1e12, 2560, 0},   {NAN, 2560, 0},   {100, 0, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(acq::trigLevelCode(row.level, row.fullScale), row.code) << row.level;
}

// Presses from start-up: M mode, S source, X slope, P pretrigger, L set level, 2 "1 SHOT"
// from a profile. Then: mode, source, slope, pretrigger, level setting, the level line
// (A's or B's colour, or -), the level controls (usable in TRIG only), and one picture
// for each combination of the four settings.
TEST(TriggerPanel, ButtonsStepTheirSettings) {
    const struct {
        const char *presses, *state;
    } rows[] = {{"L", "0 -1 1 0 0 - 0"},   {"ML", "1 -1 1 0 1 A 1"},  {"MLS", "1 1 1 0 1 B 1"},
                {"MLL", "1 -1 1 0 0 - 1"}, {"MLM", "0 -1 1 0 0 - 0"}, {"S", "0 1 1 0 0 - 0"},
                {"X", "0 -1 -1 0 0 - 0"},  {"P", "0 -1 1 1 0 - 0"},   {"PPP", "0 -1 1 0 0 - 0"},
                {"M2", "2 -1 1 0 0 - 1"},  {"2M", "0 -1 1 0 0 - 0"}};
    std::map<std::string, QImage> pictures;
    Rig r;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.presses);
        r.s.TrigMode = r.s.PreTrig = r.s.LevelSetMode = 0; // the start-up settings
        r.s.TrigSource = -1;
        r.s.TrigSlope = 1;
        r.w.TRIGGER();
        for (const char* c = row.presses; *c; ++c) {
            r.w.control<VbButton>("TRESETBUTTON")
                ->setEnabled(false); // each redraw of the panel enables it again
            if (*c == 'M') r.w.TMODEBUTTON_MouseDown();
            if (*c == 'S') r.w.TSOURCEBUTTON_MouseDown();
            if (*c == 'X') r.w.TSLOPEBUTTON_MouseDown();
            if (*c == 'P') r.w.PRETRIGBUTTON_MouseDown();
            if (*c == 'L') r.w.TriglevelBUTTON_MouseDown();
            if (*c == '2') r.s.TrigMode = 2, r.w.TRIGGER();
        }
        std::ostringstream settings, rest;
        settings << r.s.trigMode() << " " << r.s.TrigSource.num() << " " << r.s.TrigSlope.num()
                 << " " << r.s.preTrig();
        const long line = r.s.levelLineColour();
        const bool trig = r.w.control<VbButton>("TRLARGEN")->isEnabled();
        rest << " " << r.s.LevelSetMode.num() << " "
             << (line == r.s.colourA()   ? "A"
                 : line == r.s.colourB() ? "B"
                 : line                  ? "?"
                                         : "-")
             << " " << trig;
        EXPECT_EQ(settings.str() + rest.str(), row.state);
        EXPECT_TRUE(
            r.w.control<VbButton>("TRESETBUTTON")->isEnabled() &&
            r.w.control<VbButton>("TriglevelBUTTON")->fontBold() == (r.s.LevelSetMode.num() == 1) &&
            r.w.control<VbButton>("TRSMALLP")->isEnabled() == trig &&
            r.w.control<PictureBox>("levelval")->BackColor() == (trig ? 0xC0FFFF : 0xC0C0C0));
        const QImage picture = r.w.control<PictureBox>("Picture5")->image();
        for (const auto& [other, image] : pictures)
            EXPECT_EQ(picture == image, other == settings.str()) << other;
        pictures[settings.str()] = picture;
    }
    // B's level line where B draws the level: 320 units below the middle, twice magnified.
    r.s.TrigLevel = 1600, r.s.BaseB = 1280, r.s.YMagFactorB = 2;
    r.w.TMODEBUTTON_MouseDown(), r.w.TriglevelBUTTON_MouseDown(), r.w.TSOURCEBUTTON_MouseDown();
    EXPECT_EQ(r.s.trigLevelPrev(), 1920);
}

// With the level setting on: a press steps once, a held button repeats after 300 ms and
// then every 50 ms until it is released or the setting ends; a key steps once; the level
// stays within 10..2550. With the setting off nothing moves.
TEST(LevelArrows, StepRepeatAndLimits) {
    using Handler = void (WQK::*)();
    // upMs: the release, or INST pressed when negative
    // clang-format off
    const struct { const char* name; Handler down, up; int64_t upMs; double start, level;
                   int64_t ms; bool on = true; } rows[] = {
        {"after one", &WQK::TRLARGEN_MouseDown, &WQK::TRLARGEN_MouseUp, 351, 1280, 1600, 400},
        {"INST ends it", &WQK::TRLARGEP_MouseDown, &WQK::TRLARGEP_MouseUp, -420, 1280, 800, 450},
        {"small up key to the top", &WQK::TRSMALLP_KeyDown, nullptr, 0, 15, 10, 0},
        {"small down key to the bottom", &WQK::TRSMALLN_KeyDown, nullptr, 0, 2545, 2550, 0},
        {"key, setting off", &WQK::TRLARGEP_KeyDown, nullptr, 0, 1280, 1280, 0, false},
    };
    // clang-format on
    Rig r;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        r.s.TrigMode = r.s.LevelSetMode = 0;
        r.w.TMODEBUTTON_MouseDown();
        if (row.on) r.w.TriglevelBUTTON_MouseDown();
        r.s.TrigLevel = row.start;
        r.mark(false);
        if (row.upMs > 0) r.after(row.upMs, [&] { (r.w.*row.up)(); });
        if (row.upMs < 0) r.after(-row.upMs, [&] { r.w.TMODEBUTTON_MouseDown(); });
        (r.w.*row.down)();
        EXPECT_TRUE(r.s.trigLevel() == row.level && r.elapsed() == row.ms);
    }
}

TEST(Timer1, EndsTheLevelSettingFiveSecondsAfterTheLastChange) {
    Rig r;
    r.w.TMODEBUTTON_MouseDown();
    r.w.TriglevelBUTTON_MouseDown();
    r.h.clock().pause(3000);
    r.w.TRSMALLN_KeyDown();
    r.h.clock().pause(4999);
    EXPECT_TRUE(r.s.levelSetOn() && r.w.control<VbButton>("TriglevelBUTTON")->fontBold());
    r.h.clock().pause(2);
    EXPECT_FALSE(r.s.levelSetOn() || r.w.control<VbButton>("TriglevelBUTTON")->fontBold() ||
                 r.s.levelLineColour() || r.w.control<plat::Timer>("Timer1")->isEnabled());
}
