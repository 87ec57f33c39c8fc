// The signal display in the started program: redraw, channel windows, display panel,
// scroll bars and cursor, on the simulated instrument and the virtual clock.
#include "display/trace_render.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

const QColor BlueA(0, 0, 128), GreenB(0, 128, 0), PurpleSum(192, 0, 192);
const QColor Background(224, 224, 224), GridGrey(128, 128, 128), Pink(255, 128, 128),
    LightGreen(192, 255, 192);

// A started program with its window shown, so every picture has its pixel size.
struct Display {
    testing_support::Harness h;
    WQK& w;
    InstrumentState& s;
    Display() : w(h.window()), s(w.state()) {
        w.show();
        QCoreApplication::processEvents();
        w.HScroll1_Change();
    }
    QPoint px(double x, double y) const {
        return {display::pixelOf(w.control<PictureBox>("Picture1")->toPxX(x)),
                display::pixelOf(w.control<PictureBox>("Picture1")->toPxY(y))};
    }
    QColor at(double x, double y) const {
        return w.control<PictureBox>("Picture1")->pixel(px(x, y).x(), px(x, y).y());
    }
    QImage image() const { return w.control<PictureBox>("Picture1")->image().copy(); }
    // Pixels of the colour in one pixel row, or in the whole picture when row < 0.
    static int count(PictureBox* p, const QColor& c, int row = -1) {
        const QImage& img = p->image();
        int n = 0;
        for (int y = row < 0 ? 0 : row; y < (row < 0 ? img.height() : row + 1); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += QColor(img.pixel(x, y)) == c;
        return n;
    }
    int inRow(double y, const QColor& c) const {
        return count(w.control<PictureBox>("Picture1"), c, px(0, y).y());
    }
    void fill(std::vector<int16_t>& b, int v) { std::fill(b.begin(), b.end(), int16_t(v)); }
};

QColor corner(PictureBox* p) {
    return p->pixel(p->width() - 2, p->height() - 2);
}

} // namespace

TEST(Redraw, TracesAtTheirComputedRowsAndScrolled) {
    Display d;
    ASSERT_GT(d.w.control<PictureBox>("Picture1")->width(),
              600); // more pixels than the 512 samples shown
    for (int i = 0; i < 32768; ++i)
        d.s.ChanABuffer[size_t(i)] = int16_t(300 + (i * 37) % 1900);
    d.w.HScroll1_Change();
    for (int i = 0; i < 512; i += 7) // A at factor 1, no shift: y = 2560 - v
        EXPECT_EQ(d.at(i, 2560 - d.s.ChanABuffer[size_t(i)]), BlueA) << i;
    d.w.control<QScrollBar>("HScroll1")
        ->setValue(1000); // set by another panel: redraws from sample 1000
    EXPECT_DOUBLE_EQ(d.s.scrollPos(), 1000);
    EXPECT_EQ(d.at(10, 2560 - d.s.ChanABuffer[1010]), BlueA);
}

TEST(Redraw, GridLinesAndNumbersOnlyWithTheGrid) {
    Display d;
    d.fill(d.s.ChanABuffer, 1280);
    d.w.Command16_Click(); // UNITS on
    const int width = d.w.control<PictureBox>("Picture1")->image().width();
    // A horizontal grid line, dotted, runs across the picture; between lines only the
    // vertical lines cross a row.
    EXPECT_GT(d.inRow(2560.0 * 3 / 8, GridGrey), width / 4);
    EXPECT_LT(d.inRow(2560.0 * 5 / 16, GridGrey), width / 16);
    const auto others = [&d] { // the numbers and unit: besides background, grid and trace
        const QImage& img = d.w.control<PictureBox>("Picture1")->image();
        return img.width() * img.height() -
               d.count(d.w.control<PictureBox>("Picture1"), Background) -
               d.count(d.w.control<PictureBox>("Picture1"), GridGrey) -
               d.count(d.w.control<PictureBox>("Picture1"), BlueA);
    };
    EXPECT_GT(others(), 0);
    d.w.Command13_Click(); // GRID off
    EXPECT_EQ(others() + d.count(d.w.control<PictureBox>("Picture1"), GridGrey), 0);
}

TEST(Redraw, CombinedTraceInTheLargerRangeAndItsMagnification) {
    Display d;
    d.s.DataRangeA = 1; // 12 V
    d.s.DataRangeB = 0; // 1.2 V
    d.fill(d.s.ChanABuffer, 1280);
    d.fill(d.s.ChanBBuffer, 1780);
    d.w.Command20_Click();                  // A+B
    EXPECT_GT(d.inRow(1230, PurpleSum), 0); // B's 500 units count as 50
    EXPECT_FALSE(
        d.w.control<PictureBox>("Scrollup")->isVisibleTo(&d.w)); // arrows only when magnified
    EXPECT_FALSE(
        d.w.control<PictureBox>("scrollupA")->isVisibleTo(&d.w)); // no per-channel boxes meanwhile
    EXPECT_TRUE(d.w.control<VbButton>("Command12")->isEnabled() &&
                !d.w.control<VbButton>("TriglevelBUTTON")->isEnabled());
    d.w.Command12_Click();
    EXPECT_EQ(d.s.SumYMagFactor, 2);
    EXPECT_TRUE(d.w.control<PictureBox>("Scrollup")->isVisibleTo(&d.w) &&
                d.w.control<PictureBox>("scrolldown")->isVisibleTo(&d.w));
    d.w.scrolldown_Click();
    d.w.scrolldown_Click();
    EXPECT_TRUE(d.s.ShiftSum == 212 && d.s.voltOffsetSum() == 0.3);
    d.w.Command12_Click();
    EXPECT_TRUE(d.s.SumYMagFactor == 5 && d.s.TracePosSum == 2); // kept while magnified
    for (int i = 0; i < 40; ++i)
        d.w.scrolldown_Click();
    EXPECT_EQ(d.s.TracePosSum, 32);
    d.w.Command12_Click(); // back to x 1: position reset
    EXPECT_TRUE(d.s.SumYMagFactor == 1 && d.s.TracePosSum == 0 && d.s.ShiftSum == 0 &&
                d.s.voltOffsetSum() == 0);
    // A-B switches A+B off; the second click brings the channel boxes back.
    d.w.Command21_Click();
    EXPECT_TRUE(d.s.ShowAminusB == 1 && d.s.ShowAplusB.num() == -1);
    EXPECT_TRUE(d.w.control<VbButton>("Command21")->fontBold() &&
                !d.w.control<VbButton>("Command20")->fontBold());
    d.w.Command21_Click();
    EXPECT_TRUE(d.w.control<PictureBox>("scrollupA")->isVisibleTo(&d.w));
    EXPECT_FALSE(d.w.control<VbButton>("Command12")->isEnabled() ||
                 !d.w.control<VbButton>("TriglevelBUTTON")->isEnabled());
}

TEST(Redraw, FftSpectraAtFactorOneKeepTheFactorsInForce) {
    Display d;
    d.w.Command20_Click();
    d.w.Command12_Click(); // the combined trace at x 2
    d.w.Command20_Click();
    d.s.ScopeMode = 3;
    d.s.BufBase = 1024;
    d.s.SampleSizeIndex = 0;
    d.s.YMagA = 2;
    d.s.TracePosA = 4;
    d.fill(d.s.ChanABuffer, 1380);
    d.s.FFTDoneA = d.s.FFTDoneB = 1; // the buffers already hold spectra
    d.w.HScroll1_Change();
    EXPECT_TRUE(d.s.FFTNumSamples == 2048 &&
                d.w.control<QScrollBar>("HScroll2")->maximum() == 1023);
    EXPECT_TRUE(d.s.yMagFactorA() == 5 && d.s.SavedFactorA.num() == 5);
    EXPECT_EQ(d.s.savedSumFactor(), d.s.SumYMagFactor);
    d.w.control<QScrollBar>("HScroll2")
        ->setValue(
            d.w.control<QScrollBar>("HScroll2")->maximum()); // X Magnify at its end: all of it
    EXPECT_DOUBLE_EQ(d.s.xMagnify(), 1023);
    for (int mode : {1, 3}) { // no Y Mag in GENERATOR and FFT
        d.s.ScopeMode = mode;
        d.w.Command12_Click();
        d.w.YMagAbutton_Click();
        EXPECT_TRUE(d.s.sumYMag() == 1 && d.s.yMagA() == 2) << mode;
    }
}

TEST(Channels, RangeProbeCouplingAndTheirTexts) {
    Display d;
    d.s.TrigMode = 1;
    d.s.TrigLevel = 1120;
    d.h.messages().shown.clear();
    const struct {
        const char* name;
        void (WQK::*click)();
        double rangeA, rangeB, level;
        size_t warnings;
    } rows[] = {{"start: 12 V", nullptr, 1, 1, 1.5, 0},
                {"A to 1.2 V", &WQK::Command3_Click, 0, 1, 0.15, 0},
                {"A x10 on 1.2 V: 12 V", &WQK::Command4_Click, 1, 1, 1.5, 1},
                {"A x1 again: no warning", &WQK::Command4_Click, 0, 1, 0.15, 1},
                {"A back to 12 V", &WQK::Command3_Click, 1, 1, 1.5, 1},
                {"A x10 on 12 V: 120 V", &WQK::Command4_Click, 2, 1, 15, 2},
                {"B to 1.2 V", &WQK::Command6_Click, 2, 0, 15, 2},
                {"B x10", &WQK::Command5_Click, 2, 1, 15, 3}};
    for (const auto& r : rows) {
        if (r.click) (d.w.*r.click)();
        d.w.trcursdraw();
        EXPECT_TRUE(d.s.rangeA() == r.rangeA && d.s.RangeB == r.rangeB) << r.name;
        EXPECT_DOUBLE_EQ(d.s.levelVolts(), r.level) << r.name;
        ASSERT_EQ(d.h.messages().shown.size(), r.warnings) << r.name;
    }
    EXPECT_EQ(d.w.control<VbButton>("Command2")->caption(), "AC");
    d.w.Command2_Click();
    EXPECT_TRUE(d.s.CouplingA.num() == 1 && d.w.control<VbButton>("Command2")->caption() == "DC");
    d.w.Command7_Click();
    EXPECT_EQ(d.w.control<VbButton>("Command7")->caption(), "DC");
}

TEST(Channels, SamplingOnOffRedrawsItsWindowAndGroup) {
    Display d;
    const struct {
        PictureBox* box;
        VbButton *button, *range;
        void (WQK::*click)();
        QColor ink;
    } rows[] = {{d.w.control<PictureBox>("Picture3"), d.w.control<VbButton>("SCHAbutton"),
                 d.w.control<VbButton>("Command3"), &WQK::SCHAbutton_Click, BlueA},
                {d.w.control<PictureBox>("Picture4"), d.w.control<VbButton>("SCHBbutton"),
                 d.w.control<VbButton>("Command6"), &WQK::SCHBbutton_Click, GreenB}};
    for (const auto& r : rows) {
        EXPECT_EQ(corner(r.box), QColor(128, 128, 128)); // ON after start-up
        for (bool off : {true, false}) {
            (d.w.*r.click)();
            EXPECT_EQ(corner(r.box), off ? QColor(64, 64, 64) : QColor(128, 128, 128));
            EXPECT_EQ(r.button->caption(), off ? "ON" : "OFF"); // what the next click does
            EXPECT_EQ(r.range->isEnabled(), !off);              // the channel's group follows
            EXPECT_GT(d.count(r.box, r.ink), 20); // "CH A" / "CH B" in the channel's colour
        }
    }
    EXPECT_TRUE(d.s.chanAOn() && d.s.chanBOn());
}

TEST(Channels, PositionArrowsStopAtTheLimitOfEachMagnification) {
    Display d;
    for (int i = 0; i < 5; ++i)
        d.w.scrollupA_Click();
    EXPECT_TRUE(d.s.tracePosA() == -3 && d.s.ShiftA == -477 &&
                corner(d.w.control<PictureBox>("scrollupA")) == Pink);
    d.s.YMagA = d.s.YMagB = 2;
    for (int i = 0; i < 20; ++i)
        d.w.scrolldownA_Click(), d.w.scrolldownB_Click();
    EXPECT_TRUE(d.s.tracePosA() == 16 && d.s.TracePosB == 16 && d.s.ShiftA == 848 &&
                d.s.ShiftB == 848 && corner(d.w.control<PictureBox>("scrollupA")) == LightGreen &&
                corner(d.w.control<PictureBox>("scrolldownA")) == Pink);
    EXPECT_NEAR(d.s.voltOffsetA(), 0.96, 1e-9);
    // From x5 back to x1 (two clicks past x5) the position is clamped to 3 steps.
    d.w.YMagAbutton_Click();
    EXPECT_EQ(corner(d.w.control<PictureBox>("YMagAbutton")), LightGreen);
    d.w.YMagBbutton_Click();
    EXPECT_TRUE(d.s.tracePosA() == 3 && d.s.TracePosB == 3);
    EXPECT_EQ(d.s.BaseA, 1280 + 2 * 477); // three divisions below, less 2 units a step
    d.w.YMagAbutton_Click();
    EXPECT_EQ(corner(d.w.control<PictureBox>("YMagAbutton")), Pink);
    EXPECT_DOUBLE_EQ(d.s.yMagFactorA(), 2);
}

TEST(Panel, TogglesNegateTheirFieldAndShowItInBold) {
    Display d;
    const struct {
        VbButton* button;
        void (WQK::*click)();
        vb::Variant* field;
    } rows[] = {{d.w.control<VbButton>("Command13"), &WQK::Command13_Click, &d.s.GridOn},
                {d.w.control<VbButton>("Command15"), &WQK::Command15_Click, &d.s.JoinOn},
                {d.w.control<VbButton>("Command17"), &WQK::Command17_Click, &d.s.ShowA},
                {d.w.control<VbButton>("Command18"), &WQK::Command18_Click, &d.s.ShowB},
                {d.w.control<VbButton>("Command19"), &WQK::Command19_Click, &d.s.ShowD}};
    for (const auto& r : rows) {
        const std::string name = r.button->objectName().toStdString();
        const double before = r.field->num();
        EXPECT_EQ(r.button->fontBold(), before == 1) << name;
        (d.w.*r.click)();
        // Whole numbers, as profiles store them.
        EXPECT_TRUE(r.field->num() == -before && r.field->kind() == vb::Variant::Kind::Whole &&
                    r.button->fontBold() == (before != 1))
            << name;
    }
    d.w.DelayWin_Click();
    EXPECT_TRUE(d.s.DelayMode == 1 && corner(d.w.control<PictureBox>("DelayWin")) == Pink);
    d.w.DelayWin_Click();
    EXPECT_TRUE(d.s.DelayMode == 0 && corner(d.w.control<PictureBox>("DelayWin")) == LightGreen);
}

TEST(ScrollBars, StartRedrawAndTheXMagnifyBar) {
    Display d;
    // The redraw sets the bars without change events.
    d.s.SampleSizeIndex = 0;
    d.w.control<QScrollBar>("HScroll1")->setValue(1800); // beyond the window's room at 2K
    int events = 0;
    QObject::connect(d.w.control<QScrollBar>("HScroll1"), &QScrollBar::valueChanged,
                     [&events] { ++events; });
    QObject::connect(d.w.control<QScrollBar>("HScroll2"), &QScrollBar::valueChanged,
                     [&events] { ++events; });
    d.w.HScroll1_Change();
    EXPECT_EQ(events, 0);
    EXPECT_EQ(d.w.control<QScrollBar>("HScroll1")->value(), 2047 - 512);
    // Data shorter than the bar's minimum, then long data again: the window follows the
    // bar's value where the new range moved it.
    d.s.ScopeMode = 2;
    d.s.GenLast = 99;
    d.w.HScroll2_Change();
    EXPECT_TRUE(d.w.control<QScrollBar>("HScroll2")->maximum() == 99 && d.s.xMagnify() == 99 &&
                d.s.scrollPos() == 0);
    d.s.GenLast = 8000;
    d.w.HScroll2_Change();
    EXPECT_TRUE(d.w.control<QScrollBar>("HScroll2")->minimum() == 256 && d.s.xMagnify() == 256);
    // A click on the display, or on A, B or D, takes the bar's width.
    for (auto click : {&WQK::Picture1_Click, &WQK::Command17_Click}) {
        d.s.XMagnify = 700; // e.g. from a profile
        (d.w.*click)();
        EXPECT_DOUBLE_EQ(d.s.xMagnify(), 256);
    }
}

TEST(Cursor, LineIsDrawnAndErasedByNotXor) {
    Display d;
    d.fill(d.s.ChanABuffer, 1500);
    d.w.HScroll1_Change();
    const QImage before = d.image();
    d.s.CursorMode = 1;
    d.s.CursorX = 100;
    d.w.SDISPLAY();
    d.w.cursdraw();
    const QImage at100 = d.image();
    EXPECT_NE(d.at(100, 500), Background);
    d.s.CursorX = 300;
    d.w.cursdraw();
    EXPECT_TRUE(d.at(100, 500) == Background && d.at(300, 500) != Background); // old one gone
    d.s.CursorX = 100;
    d.w.cursdraw();
    EXPECT_EQ(d.image(), at100);
    d.s.CursorMode = 0;
    d.w.cursdraw();
    EXPECT_TRUE(d.image() == before && d.s.CursorDrawn.num() == 0);
}
