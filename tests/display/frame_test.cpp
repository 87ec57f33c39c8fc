// The display frame without widgets: the window, the grid and its numbers, the traces
// with their baselines, and the buffer bar.
#include "display/frame.h"

#include <gtest/gtest.h>

using display::FrameInput;
using Kind = display::GridOp::Kind;
using Src = display::TraceSpec::Source;

namespace {
// The start-up settings: A alone, a 2K buffer and a window of 512 samples.
display::Frame frame(modes::Mode mode, bool showB, bool showD, bool plus) {
    FrameInput in;
    in.lmax = 2047, in.mode = mode, in.showB = showB, in.showD = showD, in.plus = plus;
    in.shiftA = in.shiftSum = 212, in.factorA = in.factorSum = 2, in.sumYMag = in.yMagA = 1;
    in.shiftB = -159;
    return display::makeFrame(in);
}
int count(const display::Frame& f, Kind k) {
    return int(std::count_if(f.grid.begin(), f.grid.end(), [k](auto& op) { return op.kind == k; }));
}
} // namespace

TEST(Frame, TracesInDrawingOrderWithTheirBaseAndFactor) {
    const struct {
        modes::Mode mode;
        bool b, d, plus;
        std::vector<Src> order;
        double base, factor; // of the last trace
    } rows[] = {{modes::Scope, false, false, false, {Src::A}, 1280 + 212, 2},
                {modes::Scope, true, true, false, {Src::D, Src::B, Src::A}, 1280 + 212, 2},
                {modes::FFT, false, false, false, {Src::A}, 1280, 1}, // no shift, factor 1
                {modes::ScopeGen, true, false, true, {Src::Sum}, 1280 + 3 * 212, 2},
                {modes::Generator, false, true, false, {Src::D}, 2560, 1}};
    for (const auto& r : rows) {
        const display::Frame f = frame(r.mode, r.b, r.d, r.plus);
        std::vector<Src> order;
        for (const auto& t : f.traces)
            order.push_back(t.source);
        EXPECT_EQ(order, r.order);
        EXPECT_TRUE(f.traces.back().base == r.base && f.traces.back().factor == r.factor);
        // The level line's baselines: the zero line with the magnification.
        EXPECT_EQ(f.baseA, 1280 + 3 * 212);
        EXPECT_EQ(f.baseB, 1280 - 2 * 159);
    }
}

TEST(Frame, GridLinesAndNumbers) {
    FrameInput in;
    in.grid = false, in.units = true;
    EXPECT_TRUE(display::makeFrame(in).grid.empty() && !display::makeFrame(in).unitsButton);
    in.grid = true, in.units = false;
    EXPECT_EQ(count(display::makeFrame(in), Kind::Line), 16 + 8); // every W/16.384, FS/8
    EXPECT_EQ(count(display::makeFrame(in), Kind::Label), 0);
    in.units = true;
    const display::Frame f = display::makeFrame(in);
    // 15 time numbers, each after its line, 7 volt numbers of A and the unit.
    EXPECT_EQ(count(f, Kind::Label), 15 + 7 + 1);
    EXPECT_TRUE(f.grid[1].kind == Kind::Label && f.grid[1].y1 == 0.92 * 2560);
    EXPECT_EQ(f.grid.back().text, "uS");
}

TEST(Frame, WindowCursorAndBufferBar) {
    const struct {
        double xMagnify;
        int scroll;
        double W, sp;
        bool widened;
        int pageStep;
    } rows[] = {{512, 0, 512, 0, false, 128},
                {512, 20000, 512, 1535, false, 128}, // a shrunk buffer moves the window back
                {32768, 0, 2047, 0, true, 512}};     // wider than the data: all of it
    for (const auto& r : rows) {
        FrameInput in;
        in.lmax = 2047, in.xMagnify = r.xMagnify, in.scroll = r.scroll;
        const display::Frame f = display::makeFrame(in);
        EXPECT_TRUE(f.window.xMagnify == r.W && f.window.scrollPos == r.sp);
        EXPECT_EQ(f.window.widened, r.widened);
        EXPECT_EQ(f.pageStep, r.pageStep);
        EXPECT_EQ(f.cursorX, r.W / 16); // an unset cursor starts a sixteenth in
        EXPECT_EQ(f.barMarks.front(), r.sp);
        EXPECT_LE(f.barMarks.back(), r.sp + r.W);
    }
    FrameInput in;
    in.cursorSet = true, in.cursorX = 900, in.barPixels = 1000, in.barScaleWidth = 32767;
    const display::Frame f = display::makeFrame(in);
    EXPECT_EQ(f.cursorX, 512); // kept inside the window
    EXPECT_EQ(f.barThickness, 3);
}
