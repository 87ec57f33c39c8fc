// Signal and FFT files: exact bytes, the length and header rules, and what a load changes.
#include "file_bytes.h"
#include "files/formats.h"

#include <gtest/gtest.h>

using files::Outcome;

namespace {

std::string encoded(const InstrumentState& s, const files::SignalKind& k) {
    std::string out;
    EXPECT_TRUE(files::encodeSignal(s, k, out));
    return out;
}

InstrumentState patterned() {
    InstrumentState s;
    for (int i = 0; i < 32768; ++i) {
        s.ChanABuffer[i] = int16_t((i * 7) % 256 * 10);
        s.ChanBBuffer[i] = int16_t((i * 13 + 5) % 256 * 10);
    }
    return s;
}

} // namespace

TEST(SignalWrite, HeaderAndInterleavedBytes) {
    InstrumentState s = patterned();
    s.DataRateA = 2;
    s.DataRangeA = 1;
    s.DataRangeB = 2;
    std::string f = encoded(s, files::WqkSignal);
    ASSERT_EQ(f.size(), 65543u);
    EXPECT_EQ(f.substr(0, 7), "WQK1212");
    for (int i : {0, 1, 255, 1000, 32767}) {
        EXPECT_EQ(uint8_t(f[7 + 2 * i]), (i * 7) % 256) << i;
        EXPECT_EQ(uint8_t(f[8 + 2 * i]), (i * 13 + 5) % 256) << i;
    }
    EXPECT_EQ(encoded(s, files::FftSignal).substr(0, 3), "FFT");
}

TEST(SignalWrite, BytesAreBufferValuesOverTenRoundedHalfToEven) {
    InstrumentState s;
    s.ChanABuffer[0] = 1275; // 127.5 -> 128
    s.ChanABuffer[1] = 1265; // 126.5 -> 126
    s.ChanABuffer[2] = 2554; // 255.4 -> 255
    s.ChanABuffer[3] = 4;    // .4 -> 0
    std::string f = encoded(s, files::WqkSignal);
    EXPECT_EQ(uint8_t(f[7]), 128);
    EXPECT_EQ(uint8_t(f[9]), 126);
    EXPECT_EQ(uint8_t(f[11]), 255);
    EXPECT_EQ(uint8_t(f[13]), 0);
}

TEST(SignalWrite, ValueThatDoesNotFitInAByteFailsTheSave) {
    InstrumentState s;
    std::string out = "untouched";
    s.ChanBBuffer[9] = 2555; // 255.5 rounds to 256
    EXPECT_FALSE(files::encodeSignal(s, files::WqkSignal, out));
    s.ChanBBuffer[9] = -6;
    EXPECT_FALSE(files::encodeSignal(s, files::WqkSignal, out));
    EXPECT_EQ(out, "untouched");
}

TEST(SignalHeader, RateFactorDigitWrittenAndReadWithoutZero) {
    EXPECT_EQ(files::rateFactorDigit(1.0f), '1');
    EXPECT_EQ(files::rateFactorDigit(1.5f), '2');
    EXPECT_EQ(files::rateFactorFromDigit('1'), 1.0f);
    EXPECT_EQ(files::rateFactorFromDigit('2'), 1.5f);
    for (char c : {'0', '3', '9', 'x', ' ', '\0'})
        EXPECT_EQ(files::rateFactorFromDigit(c), 1.0f);
}

TEST(SignalRoundTrip, ThirtyMegahertzUnitKeepsItsFactor) {
    InstrumentState s = patterned();
    s.RateFactor = 1.5f;
    s.DataRateA = 4;
    std::string f = encoded(s, files::WqkSignal);
    EXPECT_EQ(f[3], '2');
    InstrumentState t;
    files::SignalData d;
    ASSERT_EQ(files::decodeSignal(f, files::WqkSignal, d), Outcome::Loaded);
    files::applySignal(t, d);
    EXPECT_EQ(t.RateFactor, 1.5f);
    EXPECT_EQ(t.ChanABuffer, s.ChanABuffer);
    EXPECT_EQ(t.ChanBBuffer, s.ChanBBuffer);
    EXPECT_EQ(t.GenLast, 32767.0f);
    EXPECT_EQ(t.dataRateA(), 4);
    EXPECT_EQ(t.DataRateB, 4);
}

TEST(SignalRead, LengthLimits) {
    files::SignalData d;
    EXPECT_EQ(files::decodeSignal(filebytes::signal("WQK", "1300", 1023), files::WqkSignal, d),
              Outcome::Invalid); // 2053 bytes
    ASSERT_EQ(files::decodeSignal(filebytes::signal("WQK", "1300", 1024), files::WqkSignal, d),
              Outcome::Loaded); // 2055 bytes
    EXPECT_EQ(d.a.size(), 1024u);
    // Longer than a full file: only 32768 pairs count.
    std::string longer = filebytes::signal("WQK", "1300", 32768) + std::string(5000, '\x7f');
    ASSERT_EQ(files::decodeSignal(longer, files::WqkSignal, d), Outcome::Loaded);
    EXPECT_EQ(d.a.size(), 32768u);
    EXPECT_EQ(d.b[32767], filebytes::b(32767));
}

TEST(SignalRead, IncompleteLastPairIsLeftOutNotHalfLoaded) {
    // 2054 bytes announce 1024 pairs but hold 1023 and a lone byte.
    std::string f = filebytes::signal("WQK", "1300", 1023) + "\x11";
    files::SignalData d;
    ASSERT_EQ(files::decodeSignal(f, files::WqkSignal, d), Outcome::Loaded);
    EXPECT_EQ(d.a.size(), 1023u);
    EXPECT_EQ(d.b.size(), 1023u);
    EXPECT_EQ(d.a[1022], filebytes::a(1022));
}

TEST(SignalRead, HeaderChecks) {
    files::SignalData d;
    const auto check = [&](const std::string& magic, const std::string& digits) {
        return files::decodeSignal(filebytes::signal(magic, digits, 1024), files::WqkSignal, d);
    };
    EXPECT_EQ(check("WQK", "1400"), Outcome::Loaded);
    EXPECT_EQ(check("WQK", "1500"), Outcome::Invalid); // rate digit 5
    EXPECT_EQ(check("WQK", "1230"), Outcome::Invalid); // range A 3
    EXPECT_EQ(check("WQK", "1203"), Outcome::Invalid); // range B 3
    EXPECT_EQ(check("wqk", "1300"), Outcome::Invalid); // exact magic
    EXPECT_EQ(check("FFT", "1300"), Outcome::Invalid);
    EXPECT_EQ(check("WQK", "x:/ "), Outcome::Loaded); // non-digits count as 0
    EXPECT_EQ(d.rate, 0);
    EXPECT_EQ(d.rangeA, 0);
    EXPECT_EQ(d.rangeB, 0);
    EXPECT_EQ(d.rateFactor, 1.0f);
}

TEST(FftRead, OwnMagicAndShorterMinimum) {
    files::SignalData d;
    EXPECT_EQ(files::decodeSignal(filebytes::signal("FFT", "1300", 511), files::FftSignal, d),
              Outcome::Invalid); // 1029 bytes
    ASSERT_EQ(files::decodeSignal(filebytes::signal("FFT", "1300", 512), files::FftSignal, d),
              Outcome::Loaded); // 1031 bytes
    EXPECT_EQ(d.a.size(), 512u);
    // 1030 bytes: long enough, but the last pair is incomplete and left out.
    ASSERT_EQ(files::decodeSignal(filebytes::signal("FFT", "1300", 511) + "q", files::FftSignal, d),
              Outcome::Loaded);
    EXPECT_EQ(d.a.size(), 511u);
    EXPECT_EQ(files::decodeSignal(filebytes::signal("WQK", "1300", 512), files::FftSignal, d),
              Outcome::Invalid);
}

TEST(SignalApply, ChannelsOnFilledAndZeroedToTheEnd) {
    InstrumentState s;
    files::SignalData d;
    ASSERT_EQ(files::decodeSignal(filebytes::signal("WQK", "1312", 1024), files::WqkSignal, d),
              Outcome::Loaded);
    files::applySignal(s, d);
    EXPECT_EQ(s.ChanABuffer[5], 50);
    EXPECT_EQ(s.ChanBBuffer[5], 2500);
    EXPECT_EQ(s.ChanABuffer[1023], filebytes::a(1023) * 10);
    for (int i : {1024, 20000, 32767}) {
        EXPECT_EQ(s.ChanABuffer[i], 0) << i;
        EXPECT_EQ(s.ChanBBuffer[i], 0) << i;
    }
    EXPECT_EQ(s.GenLast, 1024.0f);
    EXPECT_EQ(s.LoadDone.num(), 1);
    EXPECT_EQ(s.dataRateA(), 3);
    EXPECT_EQ(s.DataRateB, 3);
    EXPECT_EQ(s.dataRangeA(), 1);
    EXPECT_EQ(s.DataRangeB, 2);
}

TEST(SignalApply, ChannelOffKeepsItsSamplesButTakesTheHeader) {
    InstrumentState s;
    s.ChanBOn = 0;
    s.ChanBBuffer[3] = 777;
    s.ChanBBuffer[30000] = 555;
    files::SignalData d;
    ASSERT_EQ(files::decodeSignal(filebytes::signal("WQK", "1021", 1024), files::WqkSignal, d),
              Outcome::Loaded);
    files::applySignal(s, d);
    EXPECT_EQ(s.ChanBBuffer[3], 777);
    EXPECT_EQ(s.ChanBBuffer[30000], 555);
    EXPECT_EQ(s.ChanABuffer[3], 30);
    EXPECT_EQ(s.DataRangeB, 1);
    EXPECT_EQ(s.DataRateB, 0);
    EXPECT_EQ(s.dataRangeA(), 2);
}
