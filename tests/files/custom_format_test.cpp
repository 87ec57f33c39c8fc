// Custom waves: RAW and CSV reading, the 10-point minimum, and saving.
#include "files/formats.h"

#include <gtest/gtest.h>

namespace {

InstrumentState loaded(const files::CustomWaveData& d) {
    InstrumentState s;
    files::applyCustom(s, d);
    return s;
}

std::vector<int16_t> points(const std::string& csv) {
    return files::decodeCsv(csv).points;
}

} // namespace

TEST(RawLoad, EmptyFileGivesTenZeroPoints) {
    InstrumentState s = loaded(files::decodeRaw(""));
    EXPECT_EQ(s.GenLast, 9.0f);
    for (int i = 0; i < 32768; ++i)
        ASSERT_EQ(s.GenWave[i], 0) << i;
}

TEST(RawLoad, FiveBytesArePaddedToTen) {
    InstrumentState s = loaded(files::decodeRaw(std::string("\x00\x80\xff\x01\x02", 5)));
    EXPECT_EQ(s.GenLast, 9.0f);
    EXPECT_EQ(s.GenWave[1], 1280);
    EXPECT_EQ(s.GenWave[2], 2550);
    EXPECT_EQ(s.GenWave[4], 20);
    for (int i = 5; i < 10; ++i)
        EXPECT_EQ(s.GenWave[i], 0);
    std::string saved;
    ASSERT_TRUE(files::encodeCustom(s, saved));
    EXPECT_EQ(saved, std::string("\x00\x80\xff\x01\x02\0\0\0\0\0", 10));
}

TEST(RawLoad, OnlyTheFirst32768BytesCount) {
    std::string f(40000, '\x05');
    f[32767] = '\x09';
    InstrumentState s = loaded(files::decodeRaw(f));
    EXPECT_EQ(s.GenLast, 32767.0f);
    EXPECT_EQ(s.GenWave[32767], 90);
}

TEST(CustomFinish, SwitchesToTheCustomWave) {
    InstrumentState s;
    s.GenStyle = 2;
    s.GenDirty = 1;
    files::applyCustom(s, files::decodeRaw("abc"));
    EXPECT_EQ(s.LoadDone.num(), 1);
    EXPECT_EQ(s.genMode(), 2);
    EXPECT_EQ(s.SavedStyle.num(), 2);
    EXPECT_EQ(s.genStyle(), 4);
    EXPECT_EQ(s.GenDirty, 0);
}

TEST(CsvLoad, ValuesAreClampedAndRounded) {
    EXPECT_EQ(points("300,-4,12.34,abc,127.55,0.05"),
              (std::vector<int16_t>{2550, 0, 123, 0, 1276, 0})); // 1275.5 -> 1276, .5 -> 0
}

TEST(CsvLoad, TwentyValuesOnOneLine) {
    std::string line;
    for (int i = 1; i <= 20; ++i)
        line += std::to_string(i * 10) + (i < 20 ? "," : "\r\n");
    InstrumentState s;
    s.GenWave[25] = 999;
    files::applyCustom(s, files::decodeCsv(line));
    EXPECT_EQ(s.GenLast, 19.0f);
    EXPECT_EQ(s.GenWave[0], 100);
    EXPECT_EQ(s.GenWave[19], 2000);
    EXPECT_EQ(s.GenWave[20], 0);
    EXPECT_EQ(s.GenWave[25], 0);
}

TEST(CsvLoad, LineBreaksQuotesAndHeaderWords) {
    EXPECT_EQ(points("Wave\r\n1\r\n2\n3\r4"), (std::vector<int16_t>{0, 10, 20, 30, 40}));
    EXPECT_EQ(points("\"12\",\"a,b\", 7"), (std::vector<int16_t>{120, 0, 70}));
    EXPECT_EQ(points("1,,2"), (std::vector<int16_t>{10, 0, 20}));
    // An empty field before a line end and a blank line are worth 0; the end adds none.
    EXPECT_EQ(points("1,2,\r\n\r\n3\r\n \n4"), (std::vector<int16_t>{10, 20, 0, 0, 30, 0, 40}));
    EXPECT_EQ(points("1,2,"), (std::vector<int16_t>{10, 20}));
    EXPECT_EQ(points("1\r\n"), std::vector<int16_t>{10});
    EXPECT_EQ(points("  \r\n "), std::vector<int16_t>{0});
    EXPECT_EQ(points("\"unclosed"), std::vector<int16_t>{0});
}

TEST(CsvLoad, AtMost32768Points) {
    std::string many;
    for (int i = 0; i < 40000; ++i)
        many += "1\n";
    EXPECT_EQ(points(many).size(), 32768u);
}

TEST(CustomSave, RoundTripThroughRaw) {
    InstrumentState s;
    for (int i = 0; i < 1000; ++i)
        s.GenWave[i] = int16_t((i * 37) % 256 * 10);
    s.GenLast = 999;
    std::string f;
    ASSERT_TRUE(files::encodeCustom(s, f));
    ASSERT_EQ(f.size(), 1000u);
    InstrumentState t = loaded(files::decodeRaw(f));
    EXPECT_EQ(t.GenLast, 999.0f);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(t.GenWave[i], s.GenWave[i]) << i;
}

TEST(CustomSave, AmplifiedWaveOutsideTheDacRangeCannotBeSaved) {
    InstrumentState s;
    s.GenLast = 9;
    s.GenWave[3] = 3000;
    std::string f = "old";
    EXPECT_FALSE(files::encodeCustom(s, f));
    EXPECT_EQ(f, "old");
}
