// Profiles: the exact line, the optional tail, and the checks that keep a damaged or
// hostile profile from changing anything.
#include "files/formats.h"
#include "profile_golden.h"

#include <gtest/gtest.h>
#include <vector>

using files::Outcome;
using profilegolden::line;
using profilegolden::startItems;

namespace {

InstrumentState started() {
    InstrumentState s;
    s.XMagnify = 512; // set when the window is first shown
    s.ScrollPos = 0;
    return s;
}

// The items of a start-up profile with some items (1-based) replaced.
using Items = std::vector<std::pair<int, std::string>>;
std::string with(const Items& changes) {
    auto items = startItems;
    for (const auto& [k, text] : changes)
        items[size_t(k - 1)] = text;
    return line(items, 78);
}
std::string with(int k, const std::string& text) {
    return with({{k, text}});
}

Outcome decode(const std::string& text) {
    files::ProfileData d;
    return files::decodeProfile(text, d);
}

} // namespace

TEST(ProfileWrite, StartUpProfileIsTheGoldenLine) {
    const std::string golden = line(startItems, 78);
    EXPECT_EQ(files::encodeProfile(started()), golden);
    EXPECT_EQ(golden.find('\n'), std::string::npos);
    EXPECT_EQ(golden.back(), ',');
    EXPECT_NE(golden.find(", 0 ,,, 0 ,"), std::string::npos); // unset cursor variants
}

TEST(ProfileWrite, FractionsTextAndBothIntegerWidths) {
    InstrumentState s = started();
    s.CursorStepLarge = 1023 / 16.0;
    s.CursorX = 0.5;
    s.TrigLevelPrev = -830;
    s.CursorStepSmall = 64;
    s.DataRangeB = 2;
    std::string p = files::encodeProfile(s);
    EXPECT_NE(p.find(", .5 ,,"), std::string::npos);
    EXPECT_NE(p.find(", 63.9375 , 64 ,"), std::string::npos);
    EXPECT_NE(p.find(",-830 ,"), std::string::npos);
    EXPECT_EQ(p.substr(0, 12), "DPF, 0 , 2 ,");
}

TEST(ProfileRead, RoundTripRestoresEverySetting) {
    InstrumentState s = started();
    s.ScopeMode = 2;
    s.GenMode = 1;
    s.GenFreq = 1235;
    s.TrigLevel = 2550;
    s.TrigMode = 2;
    s.CursorX = 63.9375;
    s.SweepStartFreq = 7.5;
    s.TracePosB = -16;
    s.YMagB = 2;
    s.RunRepeat = 1;
    s.DelayMode = 1;
    s.SampleSizeIndex = 4;
    const std::string text = files::encodeProfile(s);
    files::ProfileData d;
    ASSERT_EQ(files::decodeProfile(text, d), Outcome::Loaded);
    ASSERT_EQ(d.values.size(), 78u);
    InstrumentState t;
    t.LevelSetMode = 1;
    files::applyProfile(t, d);
    EXPECT_EQ(files::encodeProfile(t), text);
    EXPECT_TRUE(t.CursorXDrawn.isEmpty()); // empty item reads back empty
    EXPECT_EQ(t.TracePosB, -16);
    EXPECT_EQ(t.LoadDone.num(), 1);
    EXPECT_EQ(t.LevelSetMode.num(), 0);
}

TEST(ProfileRead, LevelSetModeIsOffAfterEveryLoad) {
    files::ProfileData d;
    ASSERT_EQ(files::decodeProfile(with(44, " 1 "), d), Outcome::Loaded);
    InstrumentState t;
    files::applyProfile(t, d);
    EXPECT_EQ(t.LevelSetMode.num(), 0);
}

TEST(ProfileRead, SeventyItemsKeepTheTail) {
    files::ProfileData d;
    ASSERT_EQ(files::decodeProfile(line(startItems, 70), d), Outcome::Loaded);
    EXPECT_EQ(d.values.size(), 70u);
    InstrumentState t;
    t.YMagA = 2;
    t.TracePosB = 4;
    t.ChanBOn = 0;
    t.RunRepeat = 1;
    files::applyProfile(t, d);
    EXPECT_EQ(t.yMagA(), 2);
    EXPECT_EQ(t.TracePosB, 4);
    EXPECT_EQ(t.ChanBOn, 0);
    EXPECT_EQ(t.RunRepeat, 1);
    // Trailing blanks or a line break after item 70 still mean "no tail".
    EXPECT_EQ(decode(line(startItems, 70) + " \r\n"), Outcome::Loaded);
}

TEST(ProfileRead, BlanksAroundValuesAndAMissingLastCommaAreFine) {
    std::string text = with(13, "   1024");
    text.pop_back(); // no comma after item 78
    files::ProfileData d;
    ASSERT_EQ(files::decodeProfile(text, d), Outcome::Loaded);
    EXPECT_EQ(d.values[12].num(), 1024);
    EXPECT_EQ(decode(" DPF ," + line(startItems, 78).substr(4)), Outcome::Loaded);
}

TEST(ProfileRead, ShortFileOrWrongMagicIsNotAProfile) {
    EXPECT_EQ(decode("DPF, 0 , 0"), Outcome::Unreadable); // 10 bytes: too few items
    EXPECT_EQ(decode("DPF, 0 , "), Outcome::Invalid);     // 9 bytes
    EXPECT_EQ(decode("dpf" + line(startItems, 78).substr(3)), Outcome::Invalid);
    EXPECT_EQ(decode("DPFX" + line(startItems, 78).substr(3)), Outcome::Invalid);
    EXPECT_EQ(decode("WQK1300" + std::string(3000, '\0')), Outcome::Invalid);
}

TEST(ProfileRead, EndingBeforeItemSeventyIsUnreadable) {
    EXPECT_EQ(decode(line(startItems, 69)), Outcome::Unreadable);
    EXPECT_EQ(decode(line(startItems, 74)), Outcome::Unreadable); // a partial tail
}

TEST(ProfileRead, ValuesTheProgramCannotHoldAreRejected) {
    const std::vector<std::pair<int, std::string>> bad = {
        {11, " 5 "},                       // size index
        {53, " 5 "},                       // selected size index
        {53, "-1 "},        {54, " 4 "},   // operating mode
        {15, " 2561 "},                    // full scale
        {13, " 40000 "},                   // window width
        {13, " 0 "},        {14, "-1 "},   // scroll position
        {14, " 32768 "},    {45, " 5 "},   // trigger level
        {45, " 2560 "},     {1, " 3 "},    // range code
        {5, " 1.5 "},                      // rate index must be whole
        {16, " 0 "},                       // toggles are +1 or -1
        {31, " 3 "},                       // magnification factor 1, 2 or 5
        {64, " 3 "},                       // sweep factor
        {60, " 4 "},                       // generator frequency
        {73, " 17 "},                      // trace position
        {74, "-17 "},       {56, "abc"},   // text where a number belongs
        {68, "x"},          {16, ""},      // empty where the program always holds a value
        {37, "-1 "},                       // cursor position
        {47, " 16777216 "},                // colour
        {40, " 1e400 "},    {70, " 1 "},   // running: SAVE is locked during a run
        {50, " 320 "},      {51, " 20 "},  // level steps are FullScale / 16 and / 256
        {45, " 1285 "},                    // the level moves in steps of 10
        {46, " 2.5 "},                     // previous level line: a whole number
        {39, " 255 "},      {40, " 255 "}, // red is no cursor colour
        {47, " 192 "},      {48, " 192 "}, // the level line is drawn in A's or B's colour
    };
    for (const auto& [item, text] : bad)
        EXPECT_EQ(decode(with(item, text)), Outcome::Invalid)
            << "item " << item << " (" << files::profileItemName(item) << ") = '" << text << "'";
}

TEST(ProfileRead, CombinationsTheButtonsNeverProduce) {
    const std::vector<std::pair<Items, Outcome>> cases = {
        {{{34, " 1 "}, {35, " 1 "}}, Outcome::Invalid}, // A+B and A-B
        {{{34, " 1 "}}, Outcome::Loaded},
        {{{34, " 1 "}, {54, " 3 "}}, Outcome::Invalid}, // A+B in FFT mode
        {{{6, " 2 "}}, Outcome::Invalid},               // A and B copies differ
        {{{8, " 2 "}}, Outcome::Invalid},
        {{{10, " 2 "}}, Outcome::Invalid},
        {{{12, " 2 "}}, Outcome::Invalid},
        {{{57, " 4 "}}, Outcome::Invalid}, // custom style outside CUSTOM mode
        {{{56, " 2 "}}, Outcome::Invalid}, // CUSTOM mode with a built-in style
        {{{56, " 2 "}, {57, " 4 "}}, Outcome::Loaded},
        {{{64, " 5 "}}, Outcome::Invalid}, // sweep factor and ratio disagree
        {{{62, " 1 "}}, Outcome::Invalid},
        {{{62, " 1 "}, {64, " 5 "}}, Outcome::Loaded},
        {{{62, " 3 "}, {64, " 20 "}}, Outcome::Invalid}, // X20 from a 200-step start
        {{{62, " 3 "}, {63, " 0 "}, {64, " 20 "}}, Outcome::Loaded},
        {{{73, " 4 "}}, Outcome::Invalid}, // beyond the 3 steps of magnification x1
        {{{71, " 1 "}, {73, " 4 "}}, Outcome::Loaded},
        {{{74, "-4 "}}, Outcome::Invalid},
        {{{72, " 2 "}, {74, "-16 "}}, Outcome::Loaded},
    };
    for (const auto& [changes, outcome] : cases)
        EXPECT_EQ(decode(with(changes)), outcome) << "first change: item " << changes[0].first;
}

TEST(ProfileRead, TrigModeTwoAndEdgeValuesAreAccepted) {
    EXPECT_EQ(decode(with(26, " 2 ")), Outcome::Loaded);
    EXPECT_EQ(decode(with(45, " 10 ")), Outcome::Loaded);
    EXPECT_EQ(decode(with(45, " 2550 ")), Outcome::Loaded);
    EXPECT_EQ(decode(with(13, " 32767 ")), Outcome::Loaded);
    EXPECT_EQ(decode(with(37, " 16383.5 ")), Outcome::Loaded);
    EXPECT_EQ(decode(with(39, " 12583104 ")), Outcome::Loaded);
}

TEST(ProfileApply, EnteringFftModeKeepsTheSamplesForLater) {
    InstrumentState s;
    s.ChanABuffer[7] = 1500;
    s.ChanBBuffer[7] = 900;
    files::ProfileData d;
    ASSERT_EQ(files::decodeProfile(with(54, " 3 "), d), Outcome::Loaded);
    files::applyProfile(s, d);
    EXPECT_EQ(int(s.mode()), 3);
    EXPECT_EQ(s.SaveA[7], 1500);
    EXPECT_EQ(s.SaveB[7], 900);
    EXPECT_EQ(s.BufBase, 1024);
}

TEST(ProfileApply, LeavingFftModeBringsTheSamplesBack) {
    InstrumentState s;
    s.ScopeMode = 3;
    s.BufBase = 1024;
    s.FFTDoneA = 1;
    s.FFTDoneB = 1;
    s.SaveA[7] = 1500;
    s.ChanABuffer[7] = 2550; // a spectrum line
    files::ProfileData d;
    ASSERT_EQ(files::decodeProfile(line(startItems, 78), d), Outcome::Loaded);
    files::applyProfile(s, d);
    EXPECT_EQ(int(s.mode()), 0);
    EXPECT_EQ(s.ChanABuffer[7], 1500);
    EXPECT_EQ(s.FFTDoneA.num(), 0);
    EXPECT_EQ(s.FFTDoneB, 0);
    EXPECT_EQ(s.BufBase, 2048);
}

TEST(ProfileApply, SameModeLeavesTheBuffersAlone) {
    InstrumentState s;
    s.ChanABuffer[7] = 1500;
    s.SaveA[7] = 42;
    files::ProfileData d;
    ASSERT_EQ(files::decodeProfile(line(startItems, 78), d), Outcome::Loaded);
    files::applyProfile(s, d);
    EXPECT_EQ(s.ChanABuffer[7], 1500);
    EXPECT_EQ(s.SaveA[7], 42);
}
