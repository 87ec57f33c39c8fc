#pragma once
// The references R1-R4 over the signal display: each a trace kept from the record (A, B
// or M) or read from a signal file or CSV export, drawn in its own colour and scale,
// shown or hidden one by one, and kept between sessions with the other options.
#include "analysis/math_trace.h"
#include "host/display_overlay.h"
#include "host/wave_draw.h"

#include <array>

class QSettings;

namespace host {

struct Reference {
    bool stored = false, shown = true;
    std::string source; // "A", "M (A*B)", "capture.wqk B"
    analysis::Wave wave;
    analysis::TraceScale scale;
};

class ReferenceLayer : public OverlayLayer {
    Q_OBJECT
  public:
    static constexpr int Count = 4;
    static QColor colour(int k);
    explicit ReferenceLayer(QObject* parent = nullptr);

    const Reference& at(int k) const { return refs_[size_t(k)]; }
    // Kept, shown, on the scale that holds its peak in three divisions.
    void store(int k, analysis::Wave w, const std::string& source);
    void clear(int k);
    void setShown(int k, bool shown);
    void setScale(int k, const analysis::TraceScale& s);

    bool active() const override;
    void paint(QPainter& p, const analysis::DisplayMap& m) const override;

    void save(QSettings& q) const;
    // A reference whose stored text is damaged is left out; false then.
    bool restore(const QSettings& q);

  private:
    std::array<Reference, Count> refs_;
    mutable std::array<LinesCache, Count> lines_;
};

} // namespace host
