#include "host/spectrum_plot.h"

#include "analysis/si_format.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace host {

namespace {

// The vertical range: 0..100 on the normalised scale; on the dB scales 120 dB below
// the highest value, rounded up to 10 dB.
std::pair<double, double> yRange(const std::vector<SpectrumTrace>& ts, analysis::Scale scale) {
    if (scale == analysis::Scale::Normalised) return {0, 100};
    double top = analysis::MinDb;
    for (const SpectrumTrace& t : ts)
        for (size_t k = 1; k < t.values.size(); ++k)
            top = std::max(top, t.values[k]);
    top = std::ceil(top / 10) * 10;
    return {top - 120, top};
}

} // namespace

SpectrumPlot::SpectrumPlot(QWidget* parent) : QWidget(parent) {
    setObjectName("spectrumPlot");
    setMinimumSize(200, 120);
}

void SpectrumPlot::setTraces(const std::vector<SpectrumTrace>* traces, analysis::Scale scale) {
    traces_ = traces;
    scale_ = scale;
    update();
}

void SpectrumPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(250, 250, 245));
    const QRectF area = QRectF(rect()).adjusted(6, 14, -6, -16);
    p.setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
    for (int i = 0; i <= 4; ++i) {
        const double y = area.top() + area.height() * i / 4;
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    if (!traces_ || traces_->empty() || traces_->front().values.size() < 2) return;
    const std::pair<double, double> range = yRange(*traces_, scale_);
    const double lo = range.first, hi = range.second;
    const size_t bins = traces_->front().values.size();
    const auto xAt = [&](double bin) { return area.left() + area.width() * bin / double(bins); };
    const auto yAt = [&](double v) {
        return area.bottom() - area.height() * (std::clamp(v, lo, hi) - lo) / (hi - lo);
    };
    p.setRenderHint(QPainter::Antialiasing);
    for (const SpectrumTrace& t : *traces_) {
        // One point per pixel column: its highest bin, so no line is lost.
        QPainterPath path;
        const int columns = std::max(1, int(area.width()));
        for (int c = 0; c < columns; ++c) {
            const size_t k0 = size_t(double(c) * double(bins) / columns);
            const size_t k1 = std::max(k0 + 1, size_t(double(c + 1) * double(bins) / columns));
            double v = t.values[k0];
            for (size_t k = k0; k < std::min(k1, bins); ++k)
                v = std::max(v, t.values[k]);
            const QPointF pt(area.left() + c, yAt(v));
            c == 0 ? path.moveTo(pt) : path.lineTo(pt);
        }
        p.setPen(QPen(t.colour, 1));
        p.drawPath(path);
        p.setBrush(t.colour);
        for (size_t i = 0; i < t.peaks.size(); ++i) {
            const analysis::Peak& pk = t.peaks[i];
            const QPointF at(xAt(pk.bin + 0.5), yAt(pk.level) - 3);
            p.drawPolygon(QPolygonF({at, at + QPointF(-4, -7), at + QPointF(4, -7)}));
            p.drawText(at + QPointF(5, -4), t.name + QString::number(i + 1));
        }
        p.setBrush(Qt::NoBrush);
    }
    p.setPen(Qt::black);
    const QString unit = scale_ == analysis::Scale::Normalised ? ""
                         : scale_ == analysis::Scale::Dbfs     ? " dBFS"
                                                               : " dBV";
    p.drawText(QPointF(area.left(), area.top() - 2), QString::number(hi) + unit);
    p.drawText(QPointF(area.left(), rect().bottom() - 2), QString::number(lo) + unit);
    const double fmax = double(bins) * traces_->front().binHz;
    const QString right = QString::fromStdString(analysis::formatSI(fmax, "Hz", 3));
    p.drawText(QRectF(area.left(), area.bottom() + 1, area.width(), 15), Qt::AlignRight, right);
}

} // namespace host
