// Trace drawing by pixel columns, and the display frame (window, grid, traces, bar).
#include "display/frame.h"
#include "display/trace_render.h"

#include <QCoreApplication>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <set>

using display::TraceDrawer;
using Pixels = std::set<std::pair<int, int>>;

namespace {

const QColor Ink(0, 0, 128);

// A picture box of the given pixel size with the display's vertical scale.
struct Canvas {
    plat::PictureBox pb{nullptr, 9520, 2780};
    Canvas(int w, int h, double scaleWidth) {
        pb.resize(w, h);
        pb.show(); // delivers the resize, which sizes the image
        QCoreApplication::processEvents();
        pb.setBackColor(plat::RGB(224, 224, 224));
        pb.setScale(0, 10, scaleWidth, 2560);
        pb.ForeColor = plat::RGB(0, 0, 128);
    }
    Pixels inked() {
        Pixels s;
        const QImage& img = pb.image();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (QColor(img.pixel(x, y)) == Ink) s.insert({x, y});
        return s;
    }
};

// Samples on rows k + 0.3 of a picture 128 pixels high (20 units a row), so that no
// segment crosses a column edge midway between two rows: random, sine, square, and
// mostly off screen.
std::vector<double> signal(int kind, int n, std::mt19937& rng) {
    std::uniform_int_distribution<int> row(0, 127), wild(-400, 500);
    std::vector<double> ys;
    for (int i = 0; i < n; ++i) {
        const int k = kind == 0   ? row(rng)
                      : kind == 1 ? int(64 + 60 * std::sin(0.05 * i + 0.3))
                      : kind == 2 ? ((i / 37) % 2 ? 20 : 110)
                                  : wild(rng);
        ys.push_back(20.0 * k + 16);
    }
    return ys;
}

// The pixels a segment-by-segment drawing lights, found by walking each segment in
// steps far below a pixel.
Pixels walked(const Canvas& c, const std::vector<double>& ys) {
    const display::PixelMap m = display::pixelMap(c.pb);
    std::vector<char> on(size_t(m.width * m.height));
    for (size_t i = 1; i < ys.size(); ++i) {
        const double xa = (i - 1) * m.sx + m.ox, xb = i * m.sx + m.ox;
        const double ya = ys[i - 1] * m.sy + m.oy, yb = ys[i] * m.sy + m.oy;
        const int steps = 50 * int(std::ceil(std::abs(xb - xa) + std::abs(yb - ya))) + 1;
        for (int k = 0; k <= steps; ++k) {
            const int x = display::pixelOf(xa + (xb - xa) * k / steps);
            const int y = display::pixelOf(ya + (yb - ya) * k / steps);
            if (x >= 0 && x < m.width && y >= 0 && y < m.height)
                on[size_t(y) * size_t(m.width) + size_t(x)] = 1;
        }
    }
    Pixels s;
    for (int p = 0; p < m.width * m.height; ++p)
        if (on[size_t(p)]) s.insert({p % m.width, p / m.width});
    return s;
}

int count(const display::Frame& f, display::GridOp::Kind k) {
    return int(std::count_if(f.grid.begin(), f.grid.end(), [k](auto& op) { return op.kind == k; }));
}

} // namespace

TEST(TraceDrawer, LightsExactlyThePixelsOfEverySegmentOrSample) {
    std::mt19937 rng(1234);
    // Two pixels per sample, one, and eight samples per pixel; joined and as dots.
    for (auto [width, n] : {std::pair{300, 151}, {300, 301}, {200, 1601}})
        for (int kind = 0; kind < 4; ++kind) {
            const std::vector<double> ys = signal(kind, n, rng);
            const auto y = [&ys](int i) { return ys[size_t(i)]; };
            Canvas joined(width, 128, n - 1), dots(width, 128, n - 1), psets(width, 128, n - 1);
            TraceDrawer(joined.pb).draw(0, n, true, y);
            TraceDrawer(dots.pb).draw(0, n, false, y);
            for (int i = 0; i < n; ++i)
                psets.pb.PSet(i, ys[size_t(i)]);
            EXPECT_EQ(joined.inked(), walked(joined, ys)) << width << " " << n << " " << kind;
            EXPECT_EQ(dots.inked(), psets.inked()) << width << " " << n << " " << kind;
        }
}

// Each pixel once per column, the same row again in the next column, none off the picture.
TEST(TraceDrawer, DistinctPointsPerColumn) {
    const QPoint in[] = {{0, 5}, {0, 5}, {0, 7}, {0, 5}, {1, 5}, {1, -1}, {1, 9}, {2, 7}};
    std::vector<QPoint> out;
    display::distinctPoints(in, 8, 9, out);
    EXPECT_EQ(out, (std::vector<QPoint>{{0, 5}, {0, 7}, {1, 5}, {2, 7}}));
}

TEST(Frame, TracesInDrawingOrderWithTheirBaseAndFactor) {
    using Src = display::TraceSpec::Source;
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
        display::FrameInput in;
        in.lmax = 2047, in.mode = r.mode, in.showB = r.b, in.showD = r.d, in.plus = r.plus;
        in.shiftA = in.shiftSum = 212, in.factorA = in.factorSum = 2, in.sumYMag = in.yMagA = 1;
        in.shiftB = -159;
        const display::Frame f = display::makeFrame(in);
        std::vector<Src> order;
        for (const auto& t : f.traces)
            order.push_back(t.source);
        EXPECT_EQ(order, r.order);
        EXPECT_TRUE(f.traces.back().base == r.base && f.traces.back().factor == r.factor);
        EXPECT_TRUE(f.baseA == 1280 + 3 * 212 && f.baseB == 1280 - 2 * 159); // the level line's
    }
}

TEST(Frame, GridWindowCursorAndBufferBar) {
    using Kind = display::GridOp::Kind;
    display::FrameInput g;
    g.grid = false, g.units = true;
    EXPECT_TRUE(display::makeFrame(g).grid.empty() && !display::makeFrame(g).unitsButton);
    g.grid = true, g.units = false; // lines every W/16.384 and FS/8, no numbers
    EXPECT_TRUE(count(display::makeFrame(g), Kind::Line) == 16 + 8 &&
                count(display::makeFrame(g), Kind::Label) == 0);
    g.units = true;
    const display::Frame f = display::makeFrame(g);
    // 15 time numbers, each after its line, 7 volt numbers of A and the unit.
    EXPECT_TRUE(count(f, Kind::Label) == 15 + 7 + 1 && f.grid.back().text == "uS");
    EXPECT_TRUE(f.grid[1].kind == Kind::Label && f.grid[1].y1 == 0.92 * 2560);

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
        display::FrameInput in;
        in.lmax = 2047, in.xMagnify = r.xMagnify, in.scroll = r.scroll;
        const display::Frame w = display::makeFrame(in);
        EXPECT_TRUE(w.window.xMagnify == r.W && w.window.scrollPos == r.sp &&
                    w.window.widened == r.widened && w.pageStep == r.pageStep)
            << r.xMagnify;
        EXPECT_EQ(w.cursorX, r.W / 16); // an unset cursor starts a sixteenth in
        EXPECT_TRUE(w.barMarks.front() == r.sp && w.barMarks.back() <= r.sp + r.W) << r.xMagnify;
    }
    display::FrameInput in;
    in.cursorSet = true, in.cursorX = 900, in.barPixels = 1000, in.barScaleWidth = 32767;
    const display::Frame c = display::makeFrame(in);
    EXPECT_TRUE(c.cursorX == 512 && c.barThickness == 3); // the cursor kept inside the window
}
