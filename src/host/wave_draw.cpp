#include "host/wave_draw.h"

#include "display/trace_render.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace host {

YMap yMapOf(const analysis::TraceScale& s, double heightPx) {
    return {s.yOf(0, heightPx), s.yOf(1, heightPx) - s.yOf(0, heightPx)};
}

YMap yMapOf(const analysis::DisplayMap& m, analysis::Channel c) {
    return {m.yOf(c, 0), m.yOf(c, 1) - m.yOf(c, 0)};
}

std::vector<QLine> waveLines(const analysis::DisplayMap& m, const double* values, size_t n,
                             YMap y) {
    const int width = int(m.widthPx);
    display::ColumnSpans spans(width);
    const long first = std::max(0L, long(std::floor(m.first)));
    const long last = std::min(long(n) - 1, long(std::ceil(m.first + m.window)));
    std::vector<double> xs, ys;
    const auto flush = [&] {
        if (!xs.empty()) spans.addPolyline(xs.data(), ys.data(), int(xs.size()));
        xs.clear(), ys.clear();
    };
    for (long i = first; i <= last; ++i) {
        const double v = values[size_t(i)];
        if (!std::isfinite(v)) {
            flush();
            continue;
        }
        xs.push_back(m.xOf(double(i)));
        ys.push_back(std::clamp(y.y0 + y.perUnit * v, -1e6, 1e6));
    }
    flush();
    std::vector<QLine> lines;
    lines.reserve(size_t(width));
    for (int c = 0; c < width; ++c)
        if (!spans.empty(c)) lines.emplace_back(c, spans.lowRow(c), c, spans.highRow(c));
    return lines;
}

const std::vector<QLine>& LinesCache::lines(const analysis::DisplayMap& m,
                                            const std::vector<double>& v, YMap y) {
    const double key[6] = {m.widthPx, m.heightPx, m.window, m.first, y.y0, y.perUnit};
    if (!valid_ || !std::equal(key, key + 6, key_) || data_ != v.data() || size_ != v.size()) {
        lines_ = waveLines(m, v.data(), v.size(), y);
        std::copy(key, key + 6, key_);
        data_ = v.data(), size_ = v.size();
        valid_ = true;
    }
    return lines_;
}

void drawLines(QPainter& p, const std::vector<QLine>& lines, QColor colour) {
    QPen pen(colour, 1, Qt::SolidLine, Qt::SquareCap);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.drawLines(lines.data(), int(lines.size()));
}

void blendLines(QImage& image, const std::vector<QLine>& lines, QColor colour, double sx,
                double sy) {
    const QRgb src = qPremultiply(colour.rgba());
    const uint inverse = 255 - uint(qAlpha(src));
    const int w = image.width(), h = image.height();
    const auto over = [&](QRgb d) {
        // src over d, each premultiplied channel rounded
        const auto ch = [&](int shift) {
            const uint s = (src >> shift) & 255, v = (d >> shift) & 255;
            return std::min(255u, s + (v * inverse + 127) / 255) << shift;
        };
        return QRgb(ch(24) | ch(16) | ch(8) | ch(0));
    };
    for (const QLine& l : lines) {
        const int x = int(std::lround(l.x1() * sx));
        if (x < 0 || x >= w) continue;
        const int top = std::max(0, int(std::lround(std::min(l.y1(), l.y2()) * sy)));
        const int bottom = std::min(h - 1, int(std::lround(std::max(l.y1(), l.y2()) * sy)));
        for (int y = top; y <= bottom; ++y) {
            QRgb* px = reinterpret_cast<QRgb*>(image.scanLine(y)) + x;
            *px = over(*px);
        }
    }
}

void drawTag(QPainter& p, const analysis::DisplayMap& m, const QString& tag, YMap y,
             QColor colour) {
    QFont f = p.font();
    f.setPixelSize(std::max(9, int(m.heightPx / 24)));
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    const double at = std::clamp(y.y0, double(f.pixelSize()), m.heightPx - 2);
    p.drawText(QPointF(2, at - 2), tag);
}

} // namespace host
