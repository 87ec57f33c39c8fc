#pragma once
// How the tools' layers draw a trace over the signal display: sample i at the display's
// x of sample i, its value through a straight line onto y, reduced to each pixel
// column's span (as the display draws its own traces), so a trace of 32K samples costs
// one line per column.
#include "analysis/cursors.h"
#include "analysis/math_trace.h"

#include <QColor>
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
void drawLines(QPainter& p, const std::vector<QLine>& lines, QColor colour);
// The trace's name at the left edge, at its zero.
void drawTag(QPainter& p, const analysis::DisplayMap& m, const QString& tag, YMap y, QColor colour);

} // namespace host
