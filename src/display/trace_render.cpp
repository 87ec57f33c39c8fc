#include "display/trace_render.h"

#include <limits>

namespace display {

PixelMap pixelMap(const plat::PictureBox& pb) {
    // The screen's pixels: twice the widget's under QT_SCALE_FACTOR=2.
    const QSize px = pb.pixelSize();
    PixelMap m;
    m.width = px.width();
    m.height = px.height();
    m.sx = pb.ScaleWidth() != 0 ? px.width() / pb.ScaleWidth() : 0;
    m.sy = pb.ScaleHeight() != 0 ? px.height() / pb.ScaleHeight() : 0;
    m.ox = -pb.ScaleLeft() * m.sx;
    m.oy = -pb.ScaleTop() * m.sy;
    return m;
}

void ColumnSpans::reset(int width) {
    const size_t w = size_t(std::max(1, width));
    lo_.assign(w, std::numeric_limits<double>::infinity());
    hi_.assign(w, -std::numeric_limits<double>::infinity());
}

void ColumnSpans::addSegment(double xa, double ya, double xb, double yb) {
    const int ca = pixelOf(xa), cb = pixelOf(xb);
    if (ca == cb || xb <= xa) {
        add(ca, ya);
        add(cb, yb);
        return;
    }
    // Only the columns inside the picture matter.
    const int first = std::max(ca, 0), last = std::min(cb, width() - 1);
    const double slope = (yb - ya) / (xb - xa);
    for (int c = first; c <= last; ++c) {
        const double xl = std::max(xa, c - 0.5), xr = std::min(xb, c + 0.5);
        add(c, ya + slope * (xl - xa));
        add(c, ya + slope * (xr - xa));
    }
}

void ColumnSpans::addPolyline(const double* xs, const double* ys, int n) {
    if (n == 1) addSegment(xs[0], ys[0], xs[0], ys[0]);
    int i = 0;
    while (i < n - 1) {
        // The samples of one column: their extremes; then the segment to the next column.
        const int c = pixelOf(xs[i]);
        const double edge = c + 0.5;
        double lo = ys[i], hi = ys[i];
        int j = i + 1;
        while (j < n && xs[j] < edge) {
            lo = std::min(lo, ys[j]);
            hi = std::max(hi, ys[j]);
            ++j;
        }
        add(c, lo);
        add(c, hi);
        if (j < n) addSegment(xs[j - 1], ys[j - 1], xs[j], ys[j]);
        i = j;
    }
}

void drawMarks(plat::PictureBox& pb, const std::vector<double>& xs, int thickness) {
    const PixelMap m = pixelMap(pb);
    std::vector<char> lit(size_t(m.width), 0);
    const int before = (thickness - 1) / 2, after = thickness - 1 - before;
    for (double x : xs) {
        const int c = pixelOf(x * m.sx + m.ox);
        for (int k = std::max(0, c - before); k <= std::min(m.width - 1, c + after); ++k)
            lit[size_t(k)] = 1;
    }
    std::vector<int> cols, tops, bottoms;
    for (int c = 0; c < m.width; ++c)
        if (lit[size_t(c)]) {
            cols.push_back(c);
            tops.push_back(0);
            bottoms.push_back(m.height - 1);
        }
    pb.ColumnRuns(cols.data(), tops.data(), bottoms.data(), int(cols.size()));
}

void distinctPoints(const QPoint* pts, int n, int height, std::vector<QPoint>& out) {
    out.clear();
    std::vector<int> lastRun(size_t(std::max(1, height)), -1);
    int run = -1, x = 0;
    for (int i = 0; i < n; ++i) {
        if (run < 0 || pts[i].x() != x) {
            ++run;
            x = pts[i].x();
        }
        const int y = pts[i].y();
        if (y < 0 || y >= height) continue;
        if (lastRun[size_t(y)] == run) continue;
        lastRun[size_t(y)] = run;
        out.push_back(pts[i]);
    }
}

void TraceDrawer::drawJoined() {
    spans_.reset(map_.width);
    spans_.addPolyline(xs_.data(), ys_.data(), int(xs_.size()));
    drawSpans(spans_);
}

void TraceDrawer::drawSpans(const ColumnSpans& spans) {
    colX_.clear();
    colTop_.clear();
    colBottom_.clear();
    const int w = std::min(spans.width(), map_.width);
    for (int c = 0; c < w; ++c) {
        if (spans.empty(c)) continue;
        const int lo = std::max(0, spans.lowRow(c));
        const int hi = std::min(map_.height - 1, spans.highRow(c));
        if (lo > hi) continue;
        colX_.push_back(c);
        colTop_.push_back(lo);
        colBottom_.push_back(hi);
    }
    drawRuns();
}

void TraceDrawer::drawDots() {
    const size_t n = xs_.size();
    snapped_.resize(n);
    for (size_t i = 0; i < n; ++i)
        snapped_[i] = QPoint(pixelOf(xs_[i]), pixelOf(ys_[i]));
    distinctPoints(snapped_.data(), int(n), map_.height, points_);
    colX_.clear();
    colTop_.clear();
    colBottom_.clear();
    for (const QPoint& p : points_) {
        colX_.push_back(p.x());
        colTop_.push_back(p.y());
        colBottom_.push_back(p.y());
    }
    drawRuns();
}

void TraceDrawer::drawRuns() {
    pb_.ColumnRuns(colX_.data(), colTop_.data(), colBottom_.data(), int(colX_.size()));
}

} // namespace display
