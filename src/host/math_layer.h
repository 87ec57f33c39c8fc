#pragma once
// The math trace M over the signal display (off by default): A*B, A/B, -A, |A|, the
// integral or derivative of A or B, A+B or A-B of the record, in its own colour, scale
// and position, with its unit; measured in the Measurements panel as a column.
#include "analysis/math_trace.h"
#include "host/display_overlay.h"
#include "host/record_watch.h"
#include "host/wave_draw.h"

class QSettings;

namespace host {

class MathLayer : public OverlayLayer {
    Q_OBJECT
  public:
    static inline const QColor Colour{200, 0, 120};
    explicit MathLayer(RecordWatch& record, QObject* parent = nullptr);

    bool on() const { return on_; }
    void setOn(bool on);
    analysis::MathOp op() const { return op_; }
    void setOp(analysis::MathOp op);
    const analysis::TraceScale& scale() const { return scale_; }
    void setScale(const analysis::TraceScale& s);
    // "M (A*B)".
    std::string name() const;
    // M over the whole record, computed again when the record has changed.
    const analysis::Wave& wave() const;

    bool active() const override;
    void paint(QPainter& p, const analysis::DisplayMap& m) const override;

    void save(QSettings& q) const;
    void restore(const QSettings& q);

  private:
    RecordWatch& record_;
    bool on_ = false;
    analysis::MathOp op_ = analysis::MathOp::Product;
    analysis::TraceScale scale_;
    mutable analysis::Wave wave_;
    mutable bool stale_ = true;
    mutable LinesCache lines_;
};

// A channel of the record in volts, every sample the record holds.
analysis::Wave channelWave(const RecordWatch& r, analysis::Channel c);
// Whether the record holds samples to draw over the signal display.
bool holdsSamples(const RecordWatch& r);

} // namespace host
