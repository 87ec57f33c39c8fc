// Trace drawing by pixel columns lights exactly the pixels the trace passes through.
#include "display/trace_render.h"

#include <QCoreApplication>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>

using display::ColumnSpans;
using display::TraceDrawer;
using plat::PictureBox;

namespace {

const QColor Back(224, 224, 224), Ink(0, 0, 128);

// A set of pixels, and what one set has that another lacks.
struct Pixels {
    int w, h;
    std::vector<char> on;
    Pixels(int w_, int h_) : w(w_), h(h_), on(size_t(w_) * size_t(h_), 0) {}
    void set(int x, int y) {
        if (x >= 0 && x < w && y >= 0 && y < h) on[size_t(y) * size_t(w) + size_t(x)] = 1;
    }
    bool has(int x, int y) const { return on[size_t(y) * size_t(w) + size_t(x)] != 0; }
    void clearColumn(int x) {
        for (int y = 0; y < h; ++y)
            on[size_t(y) * size_t(w) + size_t(x)] = 0;
    }
    // The set with every pixel's eight neighbours added.
    Pixels grown() const {
        Pixels g(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (has(x, y))
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            g.set(x + dx, y + dy);
        return g;
    }
    // "(x,y) ..." of the pixels in this set and not in the other, and their count.
    std::string minus(const Pixels& o) const {
        std::string s;
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (has(x, y) && !o.has(x, y) && ++n <= 8)
                    s += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
        return n ? std::to_string(n) + ": " + s : "";
    }
};

// A picture box of the given pixel size with the display's vertical scale.
struct Canvas {
    PictureBox pb{nullptr, 9520, 2780};
    Canvas(int w, int h, double scaleWidth) {
        pb.resize(w, h);
        pb.show(); // delivers the resize, which sizes the image
        QCoreApplication::processEvents();
        pb.setBackColor(plat::RGB(224, 224, 224));
        pb.setScale(0, 10, scaleWidth, 2560);
        pb.ForeColor = plat::RGB(0, 0, 128);
    }
    Pixels inked() {
        const QImage& img = pb.image();
        Pixels s(img.width(), img.height());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (QColor(img.pixel(x, y)) == Ink) s.set(x, y);
        return s;
    }
};

// Samples on rows k + 0.3 of a picture 128 pixels high (20 scale units a row), so that
// no point where a segment crosses a column edge lies on the middle between two rows
// when the samples sit on whole, half or eighth pixels across.
std::vector<double> signal(int kind, int n, std::mt19937& rng) {
    std::uniform_int_distribution<int> row(0, 127), wild(-400, 500);
    std::vector<double> ys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        int k;
        switch (kind) {
        case 0:
            k = row(rng);
            break;
        case 1:
            k = int(64 + 60 * std::sin(0.05 * i + 0.3));
            break;
        case 2:
            k = (i / 37) % 2 ? 20 : 110;
            break;
        default:
            k = wild(rng);
            break; // mostly off screen
        }
        ys[size_t(i)] = 20.0 * k + 16;
    }
    return ys;
}

// The pixels a drawing of every segment lights, found by walking each segment in steps
// far below a pixel: (column, row) of every point it passes through.
Pixels walked(const Canvas& c, const std::vector<double>& ys) {
    const display::PixelMap m = display::pixelMap(c.pb);
    Pixels s(m.width, m.height);
    auto mark = [&](double x, double y) { s.set(display::pixelOf(x), display::pixelOf(y)); };
    for (size_t i = 1; i < ys.size(); ++i) {
        const double xa = (i - 1) * m.sx + m.ox, xb = i * m.sx + m.ox;
        const double ya = ys[i - 1] * m.sy + m.oy, yb = ys[i] * m.sy + m.oy;
        const int steps = 50 * int(std::ceil(std::abs(xb - xa) + std::abs(yb - ya))) + 1;
        for (int k = 0; k <= steps; ++k) {
            const double t = double(k) / steps;
            mark(xa + t * (xb - xa), ya + t * (yb - ya));
        }
    }
    return s;
}

} // namespace

TEST(ColumnSpans, RowsOfAShallowLine) {
    ColumnSpans s(6);
    s.addSegment(0, 0, 4, 2); // half a row per column
    EXPECT_EQ(s.lowRow(0), 0);
    EXPECT_EQ(s.highRow(0), 0);
    EXPECT_EQ(s.lowRow(1), 0); // 0.25 .. 0.75
    EXPECT_EQ(s.highRow(1), 1);
    EXPECT_EQ(s.lowRow(2), 1); // 0.75 .. 1.25
    EXPECT_EQ(s.highRow(2), 1);
    EXPECT_EQ(s.lowRow(3), 1); // 1.25 .. 1.75
    EXPECT_EQ(s.highRow(3), 2);
    EXPECT_EQ(s.lowRow(4), 2);
    EXPECT_EQ(s.highRow(4), 2);
    EXPECT_TRUE(s.empty(5));
}

TEST(ColumnSpans, ManySamplesInOneColumnGiveTheirMinimumAndMaximum) {
    ColumnSpans s(3);
    const double xs[] = {0.6, 0.8, 1.0, 1.2, 1.4, 2.0}; // column 1 is 0.5 .. 1.5
    const double ys[] = {5, 9, 2, 7, 6, 8};
    s.addPolyline(xs, ys, 6);
    EXPECT_EQ(s.lowRow(1), 2);
    EXPECT_EQ(s.highRow(1), 9);
    // The line into column 2 enters it at row 6.33 and ends at row 8.
    EXPECT_EQ(s.lowRow(2), 6);
    EXPECT_EQ(s.highRow(2), 8);
    EXPECT_TRUE(s.empty(0));
}

TEST(ColumnSpans, ColumnsOutsideThePictureAreIgnored) {
    ColumnSpans s(4);
    s.addSegment(-100, 0, 100, 0);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(s.lowRow(c), 0);
    const double xs[] = {2.2}, ys[] = {3};
    ColumnSpans one(4);
    one.addPolyline(xs, ys, 1);
    EXPECT_EQ(one.lowRow(2), 3);
    EXPECT_TRUE(one.empty(1));
}

TEST(DistinctPoints, OnePointPerPixelInsideThePicture) {
    const std::vector<QPoint> in = {{0, 3},  {0, 3},  {0, 4},  {0, 3}, {1, 3},
                                    {1, -2}, {1, 50}, {2, 49}, {2, 0}};
    std::vector<QPoint> out;
    display::distinctPoints(in.data(), int(in.size()), 50, out);
    const std::vector<QPoint> expect = {{0, 3}, {0, 4}, {1, 3}, {2, 49}, {2, 0}};
    EXPECT_EQ(out, expect);
}

TEST(TraceDrawer, JoinedTraceLightsThePixelsOfEverySegment) {
    std::mt19937 rng(1234);
    struct Case {
        int width, samples;
    };
    // Two pixels per sample, one, and eight samples per pixel.
    const Case cases[] = {{300, 151}, {300, 301}, {200, 1601}};
    for (const Case& k : cases) {
        for (int kind = 0; kind < 4; ++kind) {
            const std::vector<double> ys = signal(kind, k.samples, rng);
            Canvas c(k.width, 128, k.samples - 1);
            TraceDrawer(c.pb).draw(0, k.samples, true, [&ys](int i) { return ys[size_t(i)]; });
            const Pixels drawn = c.inked(), expect = walked(c, ys);
            EXPECT_EQ(drawn.minus(expect), "") << k.width << " " << k.samples << " " << kind;
            EXPECT_EQ(expect.minus(drawn), "") << k.width << " " << k.samples << " " << kind;
        }
    }
}

TEST(TraceDrawer, SamePictureAsLineBySampleDrawingWithinAPixel) {
    // The painter rounds a line's pixels its own way; every pixel of a drawing with one
    // Line per sample has a pixel of the fast drawing beside it, and the other way round.
    std::mt19937 rng(77);
    for (int kind = 0; kind < 4; ++kind) {
        for (int n : {80, 2000, 12000}) {
            const std::vector<double> ys = signal(kind, n, rng);
            Canvas fast(240, 128, n - 1), slow(240, 128, n - 1);
            TraceDrawer(fast.pb).draw(0, n, true, [&ys](int i) { return ys[size_t(i)]; });
            for (int i = 1; i < n; ++i)
                slow.pb.Line(i - 1, ys[size_t(i - 1)], i, ys[size_t(i)]);
            // The last half pixel of the window falls in the last column by the painter's
            // rounding and just beyond it by ours: the last column is left out.
            const Pixels f = fast.inked(), s = slow.inked();
            Pixels fInside = f, sInside = s;
            fInside.clearColumn(239);
            sInside.clearColumn(239);
            EXPECT_EQ(sInside.minus(f.grown()), "") << kind << " " << n;
            EXPECT_EQ(fInside.minus(s.grown()), "") << kind << " " << n;
        }
    }
}

TEST(TraceDrawer, DotsMatchOnePointPerSample) {
    std::mt19937 rng(5);
    for (int n : {100, 5000}) {
        const std::vector<double> ys = signal(0, n, rng);
        Canvas fast(200, 100, n - 1), slow(200, 100, n - 1);
        TraceDrawer(fast.pb).draw(0, n, false, [&ys](int i) { return ys[size_t(i)]; });
        for (int i = 0; i < n; ++i)
            slow.pb.PSet(i, ys[size_t(i)]);
        const Pixels f = fast.inked(), s = slow.inked();
        EXPECT_EQ(f.minus(s), "") << n;
        EXPECT_EQ(s.minus(f), "") << n;
    }
}

TEST(TraceDrawer, PointLandsOnItsPixel) {
    Canvas c(200, 100, 99); // 100 samples on 200 pixels
    std::vector<double> ys(100, 1280);
    ys[50] = 650; // one sample well above the rest
    TraceDrawer(c.pb).draw(0, 100, false, [&ys](int i) { return ys[size_t(i)]; });
    const QImage img = c.pb.image();
    const int px = int(std::lround(50 * 200 / 99.0));
    const int py = int(std::lround((650 - 10) * 100 / 2560.0));
    EXPECT_EQ(QColor(img.pixel(px, py)), Ink);
    // Nothing drawn between the two levels with dots only.
    EXPECT_EQ(QColor(img.pixel(px, py + 10)), Back);
}

TEST(ColumnRuns, WritesWholePixelsAndNotXorTwiceRestores) {
    Canvas c(20, 10, 19);
    const int xs[] = {2, 5, 30, -1}, tops[] = {1, -5, 0, 0}, bottoms[] = {3, 2, 9, 9};
    c.pb.ColumnRuns(xs, tops, bottoms, 4);
    const QImage img = c.pb.image().copy();
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(QColor(img.pixel(2, y)), y >= 1 && y <= 3 ? Ink : Back) << y;
        EXPECT_EQ(QColor(img.pixel(5, y)), y <= 2 ? Ink : Back) << y; // clipped at the top
        EXPECT_EQ(QColor(img.pixel(3, y)), Back);
    }
    c.pb.DrawMode = plat::DrawNotXor;
    c.pb.ColumnRuns(xs, tops, bottoms, 4);
    EXPECT_NE(c.pb.image(), img);
    c.pb.ColumnRuns(xs, tops, bottoms, 4);
    EXPECT_EQ(c.pb.image(), img);
}
