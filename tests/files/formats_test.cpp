// File formats without the window: number forms, exports, signal and FFT files,
// profiles and custom waves, byte for byte.
#include "files/formats.h"
#include "files/names.h"
#include "samples.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using files::Outcome;
using profilegolden::line;
using profilegolden::startItems;
using Points = std::vector<int16_t>;

namespace {

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> out;
    for (size_t p = 0, e; p < text.size(); p = e + 2)
        if ((e = text.find("\r\n", p)) == std::string::npos) {
            out.push_back(text.substr(p) + "<no CR LF>");
            break;
        } else
            out.push_back(text.substr(p, e - p));
    return out;
}

// The start-up profile with some items (1-based) replaced.
using Items = std::vector<std::pair<int, std::string>>;
std::string with(const Items& changes) {
    auto items = startItems;
    for (const auto& [k, text] : changes)
        items[size_t(k - 1)] = text;
    return line(items, 78);
}
Outcome decode(const std::string& text) {
    files::ProfileData d;
    return files::decodeProfile(text, d);
}
int item(const std::string& name) {
    for (int k = 1; k <= files::ProfileItems; ++k)
        if (name == files::profileItemName(k)) return k;
    ADD_FAILURE() << name;
    return 1;
}
InstrumentState loadedProfile(const std::string& text, InstrumentState s = {}) {
    files::ProfileData d;
    EXPECT_EQ(files::decodeProfile(text, d), Outcome::Loaded);
    files::applyProfile(s, d);
    return s;
}

} // namespace

TEST(Numbers, PrintFormAndParse) {
    // clang-format off
    const std::pair<double, const char*> printed[] = {
        {1, " 1 "}, {-1, "-1 "}, {-0.0, " 0 "}, {0.5, " .5 "}, {-0.5, "-.5 "}, {-120, "-120 "},
        {20000000, " 20000000 "}, {1.0 / 3, " .333333333333333 "}, {0.1 + 0.2, " .3 "},
        {63.9375, " 63.9375 "}, {123456789012345.0, " 123456789012345 "}, {1e15, " 1E+15 "},
        {0.0001, " .0001 "}, {0.00001, " 1E-05 "}, {-1.5e-7, "-1.5E-07 "}};
    // clang-format on
    for (const auto& [v, text] : printed) {
        EXPECT_EQ(files::printForm(v), text);
        double back = -99;
        EXPECT_TRUE(files::parseNumber(text, back) && std::abs(back - v) <= 1e-14 * std::abs(v))
            << text;
    }
    const std::pair<const char*, double> parsed[] = {
        {"+3", 3}, {"2.5D+2", 250}, {"1e400", HUGE_VAL}, {"-1e-400", 0}};
    for (const auto& [text, v] : parsed) {
        double got = -99;
        EXPECT_TRUE(files::parseNumber(text, got) && got == v) << text;
    }
    double v = 0;
    for (const char* bad :
         {"", "  ", "abc", "1a", "1 2", "-", ".", "0x10", "inf", "nan", "1e", "--1", "1.2.3"})
        EXPECT_FALSE(files::parseNumber(bad, v)) << bad;
}

// The save window's rows check the other name rules and the path join.
TEST(FileNames, AFinalFullStopTakesTheExtension) {
    EXPECT_EQ(files::withExtension("x.", "wqk"), "x.wqk");
}

TEST(Export, ValuesLinesAndRowCounts) {
    // clang-format off
    const struct { int value, range; double volts; } volts[] = {
        {1280, 0, 0}, {0, 0, -1.2}, {0, 1, -12}, {0, 2, -120}, {2550, 0, 1.191}};
    // clang-format on
    for (const auto& r : volts)
        EXPECT_DOUBLE_EQ(files::exportSignalValue(r.value, r.range), r.volts) << r.value;
    InstrumentState s;
    s.SampleSizeIndex = 0, s.DataRateA = 1, s.DataRangeA = 0, s.DataRangeB = 1;
    s.ChanABuffer[0] = 2550, s.ChanBBuffer[0] = 0, s.ChanABuffer[1] = s.ChanBBuffer[1] = 1280;
    auto l = crlfLines(files::encodeExport(s, true));
    ASSERT_EQ(l.size(), 3u + 2048u);
    EXPECT_EQ(
        std::vector<std::string>(l.begin(), l.begin() + 5),
        (std::vector<std::string>{"WQK sample data for Channels A & B", "Samples/Sec:, 20000 ",
                                  "Channel A, Channel B", " 1.191 ,-12 ", " 0 , 0 "}));
    s.RateFactor = 1.5f, s.DataRateA = 4, s.ChanABuffer[0] = 1275, s.ChanBBuffer[0] = 2550;
    s.ChanABuffer[1023] = 1, s.ChanBBuffer[1023] = 1280;
    l = crlfLines(files::encodeExport(s, false));
    ASSERT_EQ(l.size(), 3u + 1024u);
    EXPECT_EQ(l[0] + l[1] + l[3] + l[1026],
              "WQK FFT data for Channels A & BSamples/Sec:, 30000000  50 , 100  "
              ".03 , 50.19 ");
}

TEST(SignalWrite, HeaderInterleavedBytesAndRounding) {
    InstrumentState s;
    for (int i = 0; i < 32768; ++i)
        s.ChanABuffer[i] = int16_t((i * 7) % 256 * 10),
        s.ChanBBuffer[i] = int16_t((i * 13 + 5) % 256 * 10);
    s.DataRateA = 2, s.DataRangeA = 1, s.DataRangeB = 2;
    s.ChanABuffer[1] = 1275, s.ChanABuffer[2] = 1265, s.ChanABuffer[3] = 2554, s.ChanABuffer[4] = 4;
    std::string f;
    ASSERT_TRUE(files::encodeSignal(s, files::WqkSignal, f));
    ASSERT_EQ(f.size(), 65543u);
    EXPECT_EQ(f.substr(0, 7), "WQK1212");
    EXPECT_EQ(f.substr(9, 8), std::string("\x80\x12\x7e\x1f\xff\x2c\x00\x39", 8)); // half to even
    for (int i : {255, 1000, 32767})
        EXPECT_TRUE(uint8_t(f[7 + 2 * i]) == (i * 7) % 256 &&
                    uint8_t(f[8 + 2 * i]) == (i * 13 + 5) % 256)
            << i;
    for (int16_t bad : {2555, -6}) { // 255.5 rounds to 256
        s.ChanBBuffer[9] = bad;
        std::string out = "untouched";
        EXPECT_FALSE(files::encodeSignal(s, files::WqkSignal, out));
        EXPECT_EQ(out, "untouched");
    }
}

TEST(SignalRead, LengthHeaderAndMagicRules) {
    using filebytes::signal;
    // clang-format off
    const struct { const char* name; std::string bytes; bool fft; Outcome outcome; size_t pairs; }
    rows[] = {
        {"2053 bytes", signal("WQK", "1300", 1023), false, Outcome::Invalid, 0},
        {"2055 bytes", signal("WQK", "1300", 1024), false, Outcome::Loaded, 1024},
        {"lone last byte", signal("WQK", "1300", 1023) + "\x11", false, Outcome::Loaded, 1023},
        {"beyond a full file", signal("WQK", "1300", 32768) + "xyz", false, Outcome::Loaded, 32768},
        {"rate 4", signal("WQK", "1400", 1024), false, Outcome::Loaded, 1024},
        {"rate 5", signal("WQK", "1500", 1024), false, Outcome::Invalid, 0},
        {"range A 3", signal("WQK", "1230", 1024), false, Outcome::Invalid, 0},
        {"range B 3", signal("WQK", "1203", 1024), false, Outcome::Invalid, 0},
        {"lower case", signal("wqk", "1300", 1024), false, Outcome::Invalid, 0},
        {"FFT as signal", signal("FFT", "1300", 1024), false, Outcome::Invalid, 0},
        {"FFT 1029 bytes", signal("FFT", "1300", 511), true, Outcome::Invalid, 0},
        {"FFT 1031 bytes", signal("FFT", "1300", 512), true, Outcome::Loaded, 512},
        {"signal as FFT", signal("WQK", "1300", 512), true, Outcome::Invalid, 0},
    };
    // clang-format on
    for (const auto& r : rows) {
        files::SignalData d;
        ASSERT_EQ(files::decodeSignal(r.bytes, r.fft ? files::FftSignal : files::WqkSignal, d),
                  r.outcome)
            << r.name;
        if (r.outcome != Outcome::Loaded) continue;
        EXPECT_TRUE(d.a.size() == r.pairs && d.b.size() == r.pairs) << r.name;
        EXPECT_TRUE(d.a.back() == filebytes::a(r.pairs - 1) &&
                    d.b.back() == filebytes::b(r.pairs - 1))
            << r.name;
    }
    files::SignalData d; // header characters that are no digits count as 0
    ASSERT_EQ(files::decodeSignal(signal("WQK", "x:/ ", 1024), files::WqkSignal, d),
              Outcome::Loaded);
    EXPECT_TRUE(d.rate == 0 && d.rangeA == 0 && d.rangeB == 0 && d.rateFactor == 1.0f);
    const std::pair<char, float> factors[] = {{'1', 1}, {'2', 1.5f}, {'3', 1}};
    for (const auto& [c, f] : factors)
        EXPECT_EQ(files::rateFactorFromDigit(c), f) << int(c);
    EXPECT_EQ((std::string{files::rateFactorDigit(1.0f), files::rateFactorDigit(1.5f)}), "12");
}

TEST(SignalApply, ChannelsOnFilledAndZeroedChannelOffKeepsItsSamples) {
    for (int chanBOn : {1, 0}) {
        InstrumentState s;
        s.ChanBOn = chanBOn, s.ChanBBuffer[0] = 777, s.ChanBBuffer[30000] = 555;
        s.ChanABuffer[20000] = 5;
        files::SignalData d;
        ASSERT_EQ(files::decodeSignal(filebytes::signal("WQK", "2312", 1024), files::WqkSignal, d),
                  Outcome::Loaded);
        files::applySignal(s, d);
        EXPECT_EQ(s.ChanABuffer[1023], filebytes::a(1023) * 10);
        EXPECT_EQ(s.ChanABuffer[20000], 0);
        EXPECT_EQ(s.ChanBBuffer[0], chanBOn ? filebytes::b(0) * 10 : 777); // from sample 0 on
        EXPECT_EQ(s.ChanBBuffer[30000], chanBOn ? 0 : 555);
        EXPECT_TRUE(s.GenLast == 1024.0f && s.LoadDone.num() == 1 && s.RateFactor == 1.5f);
        EXPECT_TRUE(s.dataRateA() == 3 && s.DataRateB == 3 && s.dataRangeA() == 1 &&
                    s.DataRangeB == 2);
    }
}

TEST(ProfileWrite, StartUpLineAndRoundTrip) {
    InstrumentState s;
    s.XMagnify = 512, s.ScrollPos = 0;
    EXPECT_EQ(files::encodeProfile(s), line(startItems, 78));
    s.CursorStepLarge = 1023 / 16.0, s.CursorX = 0.5, s.TrigLevelPrev = -830,
    s.CursorStepSmall = 64;
    s.DataRangeB = 2, s.ScopeMode = 2, s.GenFreq = 1235, s.TrigLevel = 2550, s.TracePosB = -16;
    s.YMagB = 2, s.RunRepeat = 1, s.GenMode = 1, s.TrigMode = 2, s.DelayMode = 1,
    s.SampleSizeIndex = 4, s.SweepStartFreq = 7.5;
    const std::string p = files::encodeProfile(s);
    InstrumentState t;
    t.LevelSetMode = 1;
    t = loadedProfile(p, t);
    EXPECT_EQ(files::encodeProfile(t), p);
    EXPECT_TRUE(t.CursorXDrawn.isEmpty());
    EXPECT_TRUE(t.LoadDone.num() == 1 && t.LevelSetMode.num() == 0);
    t = loadedProfile(with({{item("LevelSetMode"), " 1 "}}));
    EXPECT_EQ(t.LevelSetMode.num(), 0); // off after every load
}

TEST(ProfileRead, LineShapes) {
    const std::pair<std::string, Outcome> rows[] = {
        {line(startItems, 70), Outcome::Loaded},
        {line(startItems, 70) + " \r\n", Outcome::Loaded},
        {line(startItems, 69), Outcome::Unreadable},
        {line(startItems, 74), Outcome::Unreadable}, // a partial tail
        {with({{13, "   1024"}}).substr(0, line(startItems, 78).size() + 1),
         Outcome::Loaded}, // no last comma
        {" DPF ," + line(startItems, 78).substr(4), Outcome::Loaded},
        {"DPF, 0 , 0", Outcome::Unreadable},
        {"DPF, 0 , ", Outcome::Invalid},
        {"dpf" + line(startItems, 78).substr(3), Outcome::Invalid},
        {"DPFX" + line(startItems, 78).substr(3), Outcome::Invalid},
        {"WQK1300" + std::string(3000, '\0'), Outcome::Invalid},
    };
    for (const auto& [text, outcome] : rows)
        EXPECT_EQ(decode(text), outcome) << text.substr(0, 40);
    // Without a tail the settings it holds stay as they were.
    InstrumentState t;
    t.YMagA = 2, t.TracePosB = 4, t.ChanBOn = 0, t.RunRepeat = 1;
    t = loadedProfile(line(startItems, 70), t);
    EXPECT_TRUE(t.yMagA() == 2 && t.TracePosB == 4 && t.ChanBOn == 0 && t.RunRepeat == 1);
}

TEST(ProfileRead, ValuesTheProgramCannotHoldAreRejected) {
    // clang-format off
    const Items bad = {
        {11, " 5 "}, {53, " 5 "}, {53, "-1 "}, {54, " 4 "},           // size and mode indices
        {15, " 19 "}, {13, " 40000 "}, {13, " 0 "}, {14, "-1 "}, {14, " 32768 "}, // widths
        {45, " 5 "}, {45, " 32758 "}, {46, " 1e7 "},                  // trigger levels
        {1, " 3 "}, {5, " 1.5 "}, {16, " 0 "}, {31, " 3 "}, {64, " 3 "}, {60, " 4 "}, // choices
        {73, " 17 "}, {74, "-17 "}, {item("TracePosA"), "-17 "},      // trace positions
        {56, "abc"}, {68, "x"}, {16, ""}, {37, "-1 "}, {40, " 1e400 "}, // text, empty, range
        {47, " 16777216 "}, {39, " 255 "}, {40, " 255 "}, {47, " 192 "}, {48, " 192 "}, // colours
        {70, " 1 "},                                                  // running: SAVE is locked
        {50, "-1 "}, {51, " 2.5 "}, {item("SweepRateIndex"), " 5 "},  // level steps, rate
    };
    // clang-format on
    for (const auto& [k, text] : bad)
        EXPECT_EQ(decode(with({{k, text}})), Outcome::Invalid)
            << "item " << k << " (" << files::profileItemName(k) << ") = '" << text << "'";
}

TEST(ProfileRead, CombinationsAndEdges) {
    const Outcome no = Outcome::Invalid, yes = Outcome::Loaded;
    // clang-format off
    const std::pair<Items, Outcome> rows[] = {
        {{{34, " 1 "}, {35, " 1 "}}, yes}, {{{34, " 1 "}, {54, " 3 "}}, no}, // A+B, in FFT mode
        {{{6, " 2 "}}, no}, {{{8, " 2 "}}, no}, {{{10, " 2 "}}, no}, {{{12, " 2 "}}, no}, // copies
        {{{57, " 4 "}}, no}, {{{56, " 2 "}}, no}, {{{56, " 2 "}, {57, " 4 "}}, yes}, // CUSTOM style
        {{{64, " 5 "}}, yes}, {{{62, " 3 "}}, no}, {{{62, " 3 "}, {63, " 0 "}}, yes}, // sweep
        {{{73, " 16 "}, {74, "-16 "}}, yes}, {{{31, " 2 "}}, yes}, {{{31, " 5 "}}, yes},
        {{{15, " 20 "}, {45, " 1285 "}, {46, "-.5 "}, {50, " 0 "}, {51, " 32767 "}}, yes},
        {{{item("SweepRateIndex"), " 4 "}}, yes}, {{{26, " 2 "}}, yes}, {{{45, " 10 "}}, yes},
        {{{45, " 2550 "}}, yes}, {{{13, " 32767 "}}, yes}, {{{37, " 16383.5 "}}, yes},
        {{{39, " 12583104 "}}, yes},
    };
    // clang-format on
    for (const auto& [changes, outcome] : rows)
        EXPECT_EQ(decode(with(changes)), outcome)
            << files::profileItemName(changes[0].first) << " = '" << changes[0].second << "'";
}

TEST(ProfileApply, FftModeKeepsAndReturnsTheSamples) {
    InstrumentState s;
    s.ChanABuffer[7] = 1500, s.ChanBBuffer[7] = 900;
    s = loadedProfile(with({{54, " 3 "}}), s);
    EXPECT_TRUE(int(s.mode()) == 3 && s.SaveA[7] == 1500 && s.SaveB[7] == 900 && s.BufBase == 1024);
    s.FFTDoneA = 1, s.FFTDoneB = 1, s.ChanABuffer[7] = 2550; // a spectrum line
    s = loadedProfile(line(startItems, 78), s);
    EXPECT_TRUE(int(s.mode()) == 0 && s.ChanABuffer[7] == 1500 && s.BufBase == 2048);
    EXPECT_TRUE(s.FFTDoneA.num() == 0 && s.FFTDoneB == 0);
    s.SaveA[7] = 42; // the same mode leaves the buffers alone
    s = loadedProfile(line(startItems, 78), s);
    EXPECT_TRUE(s.ChanABuffer[7] == 1500 && s.SaveA[7] == 42);
}

TEST(CustomWave, CsvPoints) {
    const std::pair<const char*, Points> rows[] = {
        {"300,-4,12.34,abc,127.55,0.05", {2550, 0, 123, 0, 1276, 0}}, // clamped, half to even
        {"Wave\r\n1\r\n2\n3\r4", {0, 10, 20, 30, 40}},
        {"\"12\",\"a,b\", 7,,2", {120, 0, 70, 0, 20}},
        {"1,2,\r\n\r\n3\r\n \n4", {10, 20, 0, 0, 30, 0, 40}},
        {"  \r\n ", {0}},
        {"\"unclosed", {0}},
    };
    for (const auto& [text, points] : rows)
        EXPECT_EQ(files::decodeCsv(text).points, points) << text;
    EXPECT_EQ(files::decodeCsv(std::string(80000, '\n')).points.size(), 32768u);
}

TEST(CustomWave, LoadedWavesPadToTenPointsAndSwitchToCustom) {
    // clang-format off
    const struct { const char* name; files::CustomWaveData d; Points first; float last; } rows[] = {
        {"empty", files::decodeRaw(""), Points(10, 0), 9},
        {"5 bytes", files::decodeRaw({"\x00\x80\xff\x01\x02", 5}),
         {0, 1280, 2550, 10, 20, 0, 0, 0, 0, 0}, 9},
        {"20 values", files::decodeCsv("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20\r\n"),
         {10, 20}, 19},
        {"40000 bytes", files::decodeRaw(std::string(40000, '\x05')), {50}, 32767},
    };
    // clang-format on
    for (const auto& r : rows) {
        InstrumentState s;
        s.GenWave.assign(32768, 7);
        s.GenStyle = 2, s.GenDirty = 1;
        files::applyCustom(s, r.d);
        EXPECT_EQ(s.GenLast, r.last) << r.name;
        EXPECT_EQ(Points(s.GenWave.begin(), s.GenWave.begin() + long(r.first.size())), r.first)
            << r.name;
        EXPECT_EQ(std::count(s.GenWave.begin() + long(r.last) + 1, s.GenWave.end(), 0),
                  32767 - long(r.last))
            << r.name;
        EXPECT_TRUE(s.LoadDone.num() == 1 && s.genMode() == 2 && s.genStyle() == 4) << r.name;
        EXPECT_TRUE(s.SavedStyle.num() == 2 && s.GenDirty == 0) << r.name;
    }
}

TEST(CustomWave, SaveRoundTripAndOutOfRange) {
    InstrumentState s;
    for (int i = 0; i < 1000; ++i)
        s.GenWave[i] = int16_t((i * 37) % 256 * 10);
    s.GenLast = 999;
    std::string f;
    ASSERT_TRUE(files::encodeCustom(s, f));
    ASSERT_EQ(f.size(), 1000u);
    InstrumentState t;
    files::applyCustom(t, files::decodeRaw(f));
    EXPECT_EQ(t.GenLast, 999.0f);
    EXPECT_TRUE(std::equal(s.GenWave.begin(), s.GenWave.begin() + 1000, t.GenWave.begin()));
    s.GenWave[3] = 3000; // amplified beyond the converter
    f = "old";
    EXPECT_FALSE(files::encodeCustom(s, f));
    EXPECT_EQ(f, "old");
}
