#pragma once
// Persistence on the signal display (off by default): the traces of the last N captures
// (N 2..64) as they were drawn, older ones fainter, or every capture since Clear
// (infinite). Each capture is kept as the pixel columns it lit, so a redraw costs one
// line per column and capture whatever the capture's size.
#include "host/display_overlay.h"
#include "host/record_watch.h"

#include <QImage>
#include <QLine>
#include <deque>

class QSettings;

namespace host {

class PersistenceLayer : public OverlayLayer {
    Q_OBJECT
  public:
    static constexpr int MinDepth = 2, MaxDepth = 64;
    explicit PersistenceLayer(RecordWatch& record, QObject* parent = nullptr);

    bool on() const { return on_; }
    void setOn(bool on);
    int depth() const { return depth_; }
    void setDepth(int n); // kept within 2..64
    bool infinite() const { return infinite_; }
    void setInfinite(bool infinite);
    // The captures held: at most depth(), or every one since Clear when infinite.
    int count() const { return count_; }
    void clear();
    // The traces on show now, as the display drew them (a capture calls it).
    void add(const analysis::DisplayMap& m);

    bool active() const override;
    void paint(QPainter& p, const analysis::DisplayMap& m) const override;

    void save(QSettings& q) const;
    void restore(const QSettings& q);

  private:
    struct Drawn {
        std::vector<QLine> lines;
        QColor colour;
    };
    struct Capture {
        std::vector<Drawn> traces;
        double widthPx, heightPx; // of the display it was drawn on
    };
    RecordWatch& record_;
    bool on_ = false, infinite_ = false;
    int depth_ = 8;
    int count_ = 0;
    std::deque<Capture> kept_;
    QImage all_;           // infinite: every capture drawn into it
    mutable QImage faded_; // the kept captures as last painted, until one comes or goes
};

} // namespace host
