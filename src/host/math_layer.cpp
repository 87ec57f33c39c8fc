#include "host/math_layer.h"

#include "analysis/si_format.h"
#include "host/wave_draw.h"

#include <QPainter>
#include <QSettings>

namespace host {

using analysis::Channel;
using analysis::Origin;

analysis::Wave channelWave(const RecordWatch& r, Channel c) {
    const size_t n = analysis::recordCount(r.state(), r.origin());
    return analysis::voltsOf(analysis::traceOf(r.state(), c, 0, n));
}

bool holdsSamples(const RecordWatch& r) {
    const Origin o = r.origin();
    return analysis::showsSamples(r.state()) && (o == Origin::Capture || o == Origin::SignalFile);
}

MathLayer::MathLayer(RecordWatch& record, QObject* parent) : OverlayLayer(parent), record_(record) {
    setObjectName("MathLayer");
    connect(&record, &RecordWatch::changed, this, [this](Change c) {
        if (c == Change::Capture || c == Change::Load || c == Change::Mode) stale_ = true;
    });
}

void MathLayer::setOn(bool on) {
    on_ = on;
    emit changed();
}

void MathLayer::setOp(analysis::MathOp op) {
    op_ = op;
    stale_ = true;
    emit changed();
}

void MathLayer::setScale(const analysis::TraceScale& s) {
    scale_ = s;
    emit changed();
}

std::string MathLayer::name() const {
    return std::string("M (") + analysis::mathOpInfo(op_).name + ")";
}

const analysis::Wave& MathLayer::wave() const {
    if (stale_) {
        const InstrumentState& s = record_.state();
        const size_t n = analysis::recordCount(s, record_.origin());
        wave_ = analysis::mathTrace(op_, analysis::traceOf(s, Channel::A, 0, n),
                                    analysis::traceOf(s, Channel::B, 0, n));
        stale_ = false;
        lines_.invalidate();
    }
    return wave_;
}

bool MathLayer::active() const {
    return on_ && holdsSamples(record_);
}

void MathLayer::paint(QPainter& p, const analysis::DisplayMap& m) const {
    const analysis::Wave& w = wave();
    const YMap y = yMapOf(scale_, m.heightPx);
    drawLines(p, lines_.lines(m, w.values, y), Colour);
    drawTag(p, m,
            "M " + QString::fromStdString(analysis::formatSI(scale_.perDiv, w.unit + "/div", 3)), y,
            Colour);
}

void MathLayer::save(QSettings& q) const {
    q.setValue("math/on", on_);
    q.setValue("math/op", analysis::mathOpInfo(op_).name);
    q.setValue("math/perDiv", scale_.perDiv);
    q.setValue("math/position", scale_.position);
}

void MathLayer::restore(const QSettings& q) {
    on_ = q.value("math/on", false).toBool();
    const QString op = q.value("math/op").toString();
    for (const analysis::MathOpInfo& i : analysis::mathOps())
        if (op == i.name) op_ = i.op;
    const double perDiv = q.value("math/perDiv", 0.5).toDouble();
    scale_.perDiv = perDiv > 0 ? perDiv : 0.5;
    scale_.position = std::clamp(q.value("math/position", 0.0).toDouble(), -4.0, 4.0);
    stale_ = true;
    emit changed();
}

} // namespace host
