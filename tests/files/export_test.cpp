// CSV export of signals and spectra.
#include "files/formats.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t p = 0;
    while (p < text.size()) {
        size_t e = text.find("\r\n", p);
        if (e == std::string::npos) {
            out.push_back(text.substr(p) + "<no CR LF>");
            break;
        }
        out.push_back(text.substr(p, e - p));
        p = e + 2;
    }
    return out;
}

} // namespace

TEST(ExportValues, VoltsFromBufferValues) {
    for (int r = 0; r <= 2; ++r)
        EXPECT_EQ(files::exportSignalValue(1280, r), 0);
    EXPECT_DOUBLE_EQ(files::exportSignalValue(0, 0), -1.2);
    EXPECT_DOUBLE_EQ(files::exportSignalValue(0, 1), -12);
    EXPECT_DOUBLE_EQ(files::exportSignalValue(0, 2), -120);
    EXPECT_DOUBLE_EQ(files::exportSignalValue(2550, 0), 1.191);
    EXPECT_EQ(files::exportSpectrumValue(1275), 50);
    EXPECT_EQ(files::exportSpectrumValue(2550), 100);
    EXPECT_DOUBLE_EQ(files::exportSpectrumValue(1), 0.03);
}

TEST(ExportSignal, HeaderLinesAndRowsInPrintForm) {
    InstrumentState s;
    s.SampleSizeIndex = 0;
    s.DataRateA = 1;
    s.DataRangeA = 0;
    s.DataRangeB = 1;
    s.ChanABuffer[0] = 2550;
    s.ChanBBuffer[0] = 0;
    s.ChanABuffer[1] = 1280;
    s.ChanBBuffer[1] = 1280;
    const std::string text = files::encodeExport(s, true);
    auto l = lines(text);
    ASSERT_EQ(l.size(), 3u + 2048u);
    EXPECT_EQ(l[0], "WQK sample data for Channels A & B");
    EXPECT_EQ(l[1], "Samples/Sec:, 20000 ");
    EXPECT_EQ(l[2], "Channel A, Channel B");
    EXPECT_EQ(l[3], " 1.191 ,-12 ");
    EXPECT_EQ(l[4], " 0 , 0 ");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(ExportSpectrum, HalfTheRowsAndPercentValues) {
    InstrumentState s;
    s.SampleSizeIndex = 0;
    s.RateFactor = 1.5f;
    s.DataRateA = 4;
    s.ChanABuffer[0] = 1275;
    s.ChanBBuffer[0] = 2550;
    s.ChanABuffer[1023] = 1;
    auto l = lines(files::encodeExport(s, false));
    ASSERT_EQ(l.size(), 3u + 1024u);
    EXPECT_EQ(l[0], "WQK FFT data for Channels A & B");
    EXPECT_EQ(l[1], "Samples/Sec:, 30000000 ");
    EXPECT_EQ(l[3], " 50 , 100 ");
    EXPECT_EQ(l[3 + 1023], " .03 , 50.19 "); // 1280 / .255 = 5019.6
}

TEST(ExportSignal, RowCountFollowsTheSelectedSize) {
    InstrumentState s;
    s.SampleSizeIndex = 4;
    EXPECT_EQ(lines(files::encodeExport(s, true)).size(), 3u + 32768u);
    EXPECT_EQ(lines(files::encodeExport(s, false)).size(), 3u + 16384u);
}
