#include "display/trace_render.h"

#include <limits>

namespace display {

PixelMap pixelMap(const plat::PictureBox& pb) {
    PixelMap m;
    m.width = std::max(1, pb.width());
    m.height = std::max(1, pb.height());
    m.sx = pb.ScaleWidth() != 0 ? pb.width() / pb.ScaleWidth() : 0;
    m.sy = pb.ScaleHeight() != 0 ? pb.height() / pb.ScaleHeight() : 0;
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
    for (int i = 1; i < n; ++i) {
        const double xa = xs[i - 1], xb = xs[i];
        // Most segments of a dense trace stay inside one column.
        if (pixelOf(xa) == pixelOf(xb)) {
            add(pixelOf(xa), ys[i - 1]);
            add(pixelOf(xb), ys[i]);
        } else {
            addSegment(xa, ys[i - 1], xb, ys[i]);
        }
    }
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
    // A vertical segment from row lo to row hi + 1 at the centre line of column c lights
    // rows lo .. hi of that column, whatever the small error of the scale mapping.
    scaled_.clear();
    const int w = std::min(spans.width(), map_.width);
    for (int c = 0; c < w; ++c) {
        if (spans.empty(c)) continue;
        const int lo = std::max(0, spans.lowRow(c));
        const int hi = std::min(map_.height - 1, spans.highRow(c));
        if (lo > hi) continue;
        const double x = map_.scaleX(c + 0.5);
        scaled_.emplace_back(x, map_.scaleY(lo));
        scaled_.emplace_back(x, map_.scaleY(hi + 1));
    }
    pb_.Lines(scaled_.data(), int(scaled_.size() / 2));
}

void TraceDrawer::drawDots() {
    const size_t n = xs_.size();
    snapped_.resize(n);
    for (size_t i = 0; i < n; ++i)
        snapped_[i] = QPoint(pixelOf(xs_[i]), pixelOf(ys_[i]));
    distinctPoints(snapped_.data(), int(n), map_.height, points_);
    scaled_.resize(points_.size());
    // Whole pixel coordinates land on their pixel whatever the small mapping error.
    for (size_t i = 0; i < points_.size(); ++i)
        scaled_[i] = QPointF(map_.scaleX(points_[i].x()), map_.scaleY(points_[i].y()));
    pb_.Points(scaled_.data(), int(scaled_.size()));
}

} // namespace display
