#include "host/reference_layer.h"

#include "analysis/reference.h"
#include "host/wave_draw.h"

#include <QPainter>
#include <QSettings>
#include <cmath>

namespace host {

QColor ReferenceLayer::colour(int k) {
    static const QColor colours[Count] = {
        {230, 120, 0}, {0, 150, 170}, {120, 80, 0}, {120, 120, 255}};
    return colours[k];
}

ReferenceLayer::ReferenceLayer(QObject* parent) : OverlayLayer(parent) {
    setObjectName("ReferenceLayer");
}

void ReferenceLayer::store(int k, analysis::Wave w, const std::string& source) {
    Reference& r = refs_[size_t(k)];
    double peak = 0;
    for (double v : w.values)
        if (std::isfinite(v)) peak = std::max(peak, std::abs(v));
    r.scale = {analysis::scaleFor(peak, 3), 0};
    r.wave = std::move(w);
    lines_[size_t(k)].invalidate();
    r.source = source;
    r.stored = r.shown = true;
    emit changed();
}

void ReferenceLayer::clear(int k) {
    refs_[size_t(k)] = Reference();
    lines_[size_t(k)].invalidate();
    emit changed();
}

void ReferenceLayer::setShown(int k, bool shown) {
    refs_[size_t(k)].shown = shown;
    emit changed();
}

void ReferenceLayer::setScale(int k, const analysis::TraceScale& s) {
    refs_[size_t(k)].scale = s;
    emit changed();
}

bool ReferenceLayer::active() const {
    for (const Reference& r : refs_)
        if (r.stored && r.shown) return true;
    return false;
}

void ReferenceLayer::paint(QPainter& p, const analysis::DisplayMap& m) const {
    for (int k = 0; k < Count; ++k) {
        const Reference& r = refs_[size_t(k)];
        if (!r.stored || !r.shown) continue;
        const YMap y = yMapOf(r.scale, m.heightPx);
        drawLines(p, lines_[size_t(k)].lines(m, r.wave.values, y), colour(k));
        drawTag(p, m, QString("R%1").arg(k + 1), y, colour(k));
    }
}

void ReferenceLayer::save(QSettings& q) const {
    for (int k = 0; k < Count; ++k) {
        const Reference& r = refs_[size_t(k)];
        const QString g = QString("reference%1/").arg(k + 1);
        q.setValue(g + "stored", r.stored);
        if (!r.stored) {
            q.remove(g + "wave");
            continue;
        }
        q.setValue(g + "shown", r.shown);
        q.setValue(g + "source", QString::fromStdString(r.source));
        q.setValue(g + "perDiv", r.scale.perDiv);
        q.setValue(g + "position", r.scale.position);
        q.setValue(g + "wave", QByteArray::fromStdString(analysis::encodeWave(r.wave)).toBase64());
    }
}

bool ReferenceLayer::restore(const QSettings& q) {
    bool whole = true;
    for (int k = 0; k < Count; ++k) {
        const QString g = QString("reference%1/").arg(k + 1);
        Reference r;
        if (q.value(g + "stored", false).toBool()) {
            const QByteArray text = QByteArray::fromBase64(q.value(g + "wave").toByteArray());
            const double perDiv = q.value(g + "perDiv", 0.5).toDouble();
            if (!analysis::decodeWave(text.toStdString(), r.wave) || !(perDiv > 0)) {
                whole = false;
                r = Reference();
            } else {
                r.stored = true;
                r.shown = q.value(g + "shown", true).toBool();
                r.source = q.value(g + "source").toString().toStdString();
                r.scale = {perDiv, std::clamp(q.value(g + "position", 0.0).toDouble(), -4.0, 4.0)};
            }
        }
        refs_[size_t(k)] = r;
        lines_[size_t(k)].invalidate();
    }
    emit changed();
    return whole;
}

} // namespace host
