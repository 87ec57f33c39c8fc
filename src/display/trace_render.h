#pragma once
// Fast drawing of a trace. A joined trace lights, in each pixel column, the rows from the
// lowest to the highest point the trace passes through within that column: where a
// column holds many samples that is the minimum and maximum of those samples and of the
// lines into and out of the column. The columns are written in one call as runs of
// whole pixels, so no painter's line rules come between the trace and its pixels. A
// trace of dots lights the distinct pixels of its samples.
#include "platform/picturebox.h"

#include <QPoint>
#include <algorithm>
#include <cmath>
#include <vector>

namespace display {

// The pixel mapping of a picture box's current user scale. Pixel centres lie on whole
// pixel coordinates; pixel column c covers c - 0.5 .. c + 0.5.
struct PixelMap {
    double sx = 1, ox = 0, sy = 1, oy = 0;
    int width = 1, height = 1;
    double scaleX(double px) const { return (px - ox) / sx; }
    double scaleY(double py) const { return (py - oy) / sy; }
};
PixelMap pixelMap(const plat::PictureBox& pb);

inline int pixelOf(double p) {
    return int(std::floor(p + 0.5));
}

// Row range of each pixel column crossed by a polyline in pixel coordinates.
class ColumnSpans {
  public:
    explicit ColumnSpans(int width = 1) { reset(width); }
    void reset(int width);
    // Adds the polyline through the points, x not decreasing.
    void addPolyline(const double* xs, const double* ys, int n);
    // Adds one segment, xa <= xb.
    void addSegment(double xa, double ya, double xb, double yb);
    bool empty(int c) const { return lo_[size_t(c)] > hi_[size_t(c)]; }
    // Whole rows, before clipping to the picture.
    int lowRow(int c) const { return pixelOf(lo_[size_t(c)]); }
    int highRow(int c) const { return pixelOf(hi_[size_t(c)]); }
    int width() const { return int(lo_.size()); }

  private:
    void add(int c, double y) {
        if (c < 0 || c >= int(lo_.size())) return;
        lo_[size_t(c)] = std::min(lo_[size_t(c)], y);
        hi_[size_t(c)] = std::max(hi_[size_t(c)], y);
    }
    std::vector<double> lo_, hi_;
};

// Marks `thickness` pixels wide and as high as the picture at the scale positions xs:
// the buffer bar, whose marks merge into one bar.
void drawMarks(plat::PictureBox& pb, const std::vector<double>& xs, int thickness);

// The distinct pixels of a point set ordered by column, without those above or below
// the picture (rows outside 0 .. height-1).
void distinctPoints(const QPoint* pts, int n, int height, std::vector<QPoint>& out);

class TraceDrawer {
  public:
    explicit TraceDrawer(plat::PictureBox& pb) : pb_(pb), map_(pixelMap(pb)) {}

    // Draws the points (x0 + i, yAt(i)) for i = 0 .. n-1, in scale units, in the
    // picture's ForeColor: joined, or as single points.
    template <class F> void draw(double x0, int n, bool join, F yAt) {
        if (n <= 0) return;
        xs_.resize(size_t(n));
        ys_.resize(size_t(n));
        // Points far outside the picture are pulled in; they stay off screen.
        const double lo = -4.0 * map_.height - 64, hi = 5.0 * map_.height + 64;
        for (int i = 0; i < n; ++i) {
            xs_[size_t(i)] = (x0 + i) * map_.sx + map_.ox;
            ys_[size_t(i)] = std::clamp(double(yAt(i)) * map_.sy + map_.oy, lo, hi);
        }
        if (join)
            drawJoined();
        else
            drawDots();
    }

    // Draws the columns of a span set.
    void drawSpans(const ColumnSpans& spans);
    // Draws the runs collected in colX_, colTop_, colBottom_.
    void drawRuns();

  private:
    void drawJoined();
    void drawDots();

    plat::PictureBox& pb_;
    PixelMap map_;
    std::vector<double> xs_, ys_;
    ColumnSpans spans_;
    std::vector<QPoint> snapped_, points_;
    std::vector<int> colX_, colTop_, colBottom_;
};

} // namespace display
