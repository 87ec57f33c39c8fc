// The sampling panel: its boxes, its arrows and the copies the next capture uses.
#include "acquisition/acquisition.h"
#include "device/rig.h"

#include <gtest/gtest.h>

using rig::Rig;

// Rate index i and size index 4 - i on both models; the generator modes show the wave's
// point count in grey instead, and leave the copies for SCOPE and FFT.
TEST(SamplingPanel, BoxesAndCopies) {
    const struct {
        int model, mode, index;
        const char *rate, *size, *copies;
    } rows[] = {
        {20, 0, 0, "  2  KHz", "   32K ", "0 0 4 4"}, {20, 0, 4, " 20 MHz", "    2K ", "4 4 0 0"},
        {20, 1, 0, "", " 4097", "4 4 0 0"},           {20, 2, 1, "", " 4097", "4 4 0 0"},
        {20, 3, 1, " 20 KHz", "   16K ", "1 1 3 3"},  {30, 0, 2, " 300KHz", "    8K ", "2 2 2 2"}};
    std::map<int, std::unique_ptr<Rig>> rigs;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.model) + " MHz, mode " + std::to_string(row.mode) +
                     ", index " + std::to_string(row.index));
        auto& r = rigs[row.model];
        sim::Options o;
        o.model = row.model;
        if (!r) r = std::make_unique<Rig>(o);
        r->s.ScopeMode = row.mode;
        r->s.GenLast = 4096;
        r->s.SampleRateIndex = row.index;
        r->s.SampleSizeIndex = 4 - row.index;
        r->w.DSAMPLE();
        EXPECT_TRUE(drawn::shows(r->w.control<PictureBox>("SRATEDISP"), {row.rate}) &&
                    drawn::shows(r->w.control<PictureBox>("SSIZEDISP"), {row.size}));
        const long back = row.mode == 1 || row.mode == 2 ? 0xC0C0C0 : 0xC0FFFF;
        EXPECT_TRUE(r->w.control<PictureBox>("SRATEDISP")->BackColor() == back &&
                    r->w.control<PictureBox>("SSIZEDISP")->BackColor() == back);
        std::ostringstream copies;
        copies << r->s.rateA() << " " << r->s.RateB << " " << r->s.sizeA() << " " << r->s.SizeB;
        EXPECT_EQ(copies.str(), row.copies);
    }
    EXPECT_EQ(acq::rateText(5, 1) + acq::rateText(-1, 1) + acq::sizeText(5), "");
}

// The arrows stop at the ends of the tables; a size key (not the mouse) also sets the
// scroll range to the buffer: 2^size x 2048 (1024 in FFT) - 1, at most 32767.
TEST(SamplingPanel, ArrowsAndTheScrollRange) {
    using Handler = void (WQK::*)();
    const struct {
        const char* name;
        Handler press;
        int rate, size, bufBase;
        const char* after; // rate, size, scroll range (1234: untouched)
    } rows[] = {{"rate up stops at 4", &WQK::SRATEP_MouseDown, 4, 1, 2048, "4 1 1234"},
                {"rate down stops at 0", &WQK::SRATEN_MouseDown, 0, 1, 2048, "0 1 1234"},
                {"rate up key", &WQK::SRATEP_KeyPress, 0, 1, 2048, "1 1 1234"},
                {"a damaged rate index", &WQK::SRATEP_MouseDown, 9, 1, 2048, "4 1 1234"},
                {"size up stops at 4", &WQK::SSIZEP_MouseDown, 3, 4, 2048, "3 4 1234"},
                {"size down, mouse", &WQK::SSIZEN_MouseDown, 3, 1, 2048, "3 0 1234"},
                {"size up key", &WQK::SSIZEP_KeyPress, 3, 1, 2048, "3 2 8191"},
                {"size down key in FFT", &WQK::SSIZEN_KeyPress, 3, 2, 1024, "3 1 2047"},
                {"size down key stops at 0", &WQK::SSIZEN_KeyPress, 3, 0, 2048, "3 0 2047"},
                {"a damaged size index", &WQK::SSIZEN_KeyPress, 3, 40, 2048, "3 39 32767"}};
    Rig r;
    for (const auto& row : rows) {
        r.s.SampleRateIndex = row.rate;
        r.s.SampleSizeIndex = row.size;
        r.s.BufBase = row.bufBase;
        r.w.control<QScrollBar>("HScroll1")->setMaximum(1234);
        r.w.control<QScrollBar>("HScroll2")->setMaximum(1234);
        (r.w.*row.press)();
        std::ostringstream got;
        got << r.s.sampleRateIndex() << " " << r.s.SampleSizeIndex << " "
            << r.w.control<QScrollBar>("HScroll1")->maximum();
        got << " "
            << r.w.control<QScrollBar>("HScroll2")->maximum() -
                   r.w.control<QScrollBar>("HScroll1")->maximum();
        EXPECT_EQ(got.str(), row.after + std::string(" 0")) << row.name;
    }
}
