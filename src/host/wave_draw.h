#pragma once
// How the tools' layers draw a trace over the signal display: sample i at the display's
// x of sample i, its value through a straight line onto y, reduced to each pixel
// column's span (as the display draws its own traces), so a trace of 32K samples costs
// one line per column.
#include "analysis/cursors.h"
#include "analysis/math_trace.h"

#include <QColor>
#include <QImage>
#include <QLine>
#include <vector>

class QPainter;

namespace host {

// y = y0 + perUnit x value.
struct YMap {
    double y0 = 0, perUnit = 1;
};
YMap yMapOf(const analysis::TraceScale& s, double heightPx);
// A channel's volts as the display draws the channel.
YMap yMapOf(const analysis::DisplayMap& m, analysis::Channel c);

// One vertical line per pixel column the trace crosses; NaN values break the trace.
std::vector<QLine> waveLines(const analysis::DisplayMap& m, const double* values, size_t n, YMap y);
// The lines of the last call, made again only when the display's geometry, the mapping
// or the trace (invalidate()) has changed: a redraw of the same view costs no sample.
class LinesCache {
  public:
    const std::vector<QLine>& lines(const analysis::DisplayMap& m, const std::vector<double>& v,
                                    YMap y);
    void invalidate() { valid_ = false; }

  private:
    std::vector<QLine> lines_;
    double key_[6] = {};
    const double* data_ = nullptr;
    size_t size_ = 0;
    bool valid_ = false;
};

void drawLines(QPainter& p, const std::vector<QLine>& lines, QColor colour);
// The vertical lines straight into an ARGB32 premultiplied image, the colour's alpha
// blended over what is there, x scaled by sx and y by sy: a painter costs more per
// line than the pixels do, and persistence draws thousands of lines per capture.
void blendLines(QImage& image, const std::vector<QLine>& lines, QColor colour, double sx,
                double sy);
// The trace's name at the left edge, at its zero.
void drawTag(QPainter& p, const analysis::DisplayMap& m, const QString& tag, YMap y, QColor colour);

} // namespace host
