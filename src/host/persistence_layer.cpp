#include "host/persistence_layer.h"

#include "app/instrument_state.h"
#include "display/frame.h"
#include "display/scales.h"
#include "host/math_layer.h"
#include "host/wave_draw.h"

#include <QPainter>
#include <QSettings>

namespace host {

namespace {
// The top of the signal display's scale.
constexpr double Top = 10;
// The record's colours are &HBBGGRR.
QColor colourOf(long bgr) {
    return QColor(int(bgr & 255), int((bgr >> 8) & 255), int((bgr >> 16) & 255));
}
} // namespace

PersistenceLayer::PersistenceLayer(RecordWatch& record, QObject* parent)
    : OverlayLayer(parent), record_(record) {
    setObjectName("PersistenceLayer");
}

void PersistenceLayer::setOn(bool on) {
    if (!on) clear();
    on_ = on;
    emit changed();
}

void PersistenceLayer::setDepth(int n) {
    depth_ = std::clamp(n, MinDepth, MaxDepth);
    while (int(kept_.size()) > depth_)
        kept_.pop_front();
    faded_ = QImage();
    if (!infinite_) count_ = int(kept_.size());
    emit changed();
}

void PersistenceLayer::setInfinite(bool infinite) {
    infinite_ = infinite;
    clear();
}

void PersistenceLayer::clear() {
    kept_.clear();
    all_ = faded_ = QImage();
    count_ = 0;
    emit changed();
}

void PersistenceLayer::add(const analysis::DisplayMap& m) {
    if (!on_ || !holdsSamples(record_)) return;
    const InstrumentState& s = record_.state();
    Capture c{{}, m.widthPx, m.heightPx};
    // The traces of the display's own frame (B and A, or A+B or A-B in their place), at
    // the scale positions the redraw gives their samples: persistence keeps what was drawn.
    const display::Frame f = display::makeFrame(display::frameInputOf(s, s.scrollPos()));
    const double fs = s.FullScale;
    const YMap scale{-Top * m.heightPx / fs, m.heightPx / fs};
    std::vector<double> y;
    for (const display::TraceSpec& t : f.traces) {
        if (t.source == display::TraceSpec::Source::D) continue;
        const display::Combiner sum(t.sign, t.rangeA, t.rangeB);
        y.assign(size_t(f.first) + size_t(t.count), std::nan(""));
        for (int i = 0; i < t.count; ++i) {
            const size_t k = size_t(f.first) + size_t(i);
            const int a = s.ChanABuffer[k], b = s.ChanBBuffer[k];
            switch (t.source) {
            case display::TraceSpec::Source::Sum:
                y[k] = t.base + t.factor * sum(a, b);
                break;
            case display::TraceSpec::Source::A:
                y[k] = t.base + t.factor * (t.base - a);
                break;
            default:
                y[k] = t.base + t.factor * (t.base - b);
            }
        }
        c.traces.push_back({waveLines(m, y.data(), y.size(), scale), colourOf(t.colour)});
    }
    if (infinite_) {
        const QSize size(int(m.widthPx), int(m.heightPx));
        if (all_.size() != size) {
            all_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
            all_.fill(Qt::transparent);
        }
        for (const Drawn& d : c.traces)
            blendLines(all_, d.lines, d.colour, 1, 1);
        ++count_;
    } else {
        kept_.push_back(std::move(c));
        while (int(kept_.size()) > depth_)
            kept_.pop_front();
        count_ = int(kept_.size());
        faded_ = QImage();
    }
    emit changed();
}

bool PersistenceLayer::active() const {
    return on_ && analysis::showsSamples(record_.state());
}

void PersistenceLayer::paint(QPainter& p, const analysis::DisplayMap& m) const {
    if (infinite_) {
        if (!all_.isNull()) p.drawImage(QRectF(0, 0, m.widthPx, m.heightPx), all_);
        return;
    }
    const QSize size(int(m.widthPx), int(m.heightPx));
    if (faded_.size() != size) {
        // Older captures fainter, the newest (which the display draws too) strongest.
        faded_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        faded_.fill(Qt::transparent);
        const int n = int(kept_.size());
        for (int i = 0; i < n; ++i) {
            const Capture& c = kept_[size_t(i)];
            for (const Drawn& d : c.traces) {
                QColor faded = d.colour;
                faded.setAlpha(40 + 200 * (i + 1) / n);
                blendLines(faded_, d.lines, faded, m.widthPx / c.widthPx, m.heightPx / c.heightPx);
            }
        }
    }
    p.drawImage(0, 0, faded_);
}

void PersistenceLayer::save(QSettings& q) const {
    q.setValue("persistence/on", on_);
    q.setValue("persistence/depth", depth_);
    q.setValue("persistence/infinite", infinite_);
}

void PersistenceLayer::restore(const QSettings& q) {
    depth_ = std::clamp(q.value("persistence/depth", 8).toInt(), MinDepth, MaxDepth);
    infinite_ = q.value("persistence/infinite", false).toBool();
    on_ = q.value("persistence/on", false).toBool();
    clear();
}

} // namespace host
