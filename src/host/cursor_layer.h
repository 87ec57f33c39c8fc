#pragma once
// View > Two Cursors: two time cursors (vertical) and two level cursors (horizontal)
// over the signal display, off by default and apart from the window's own CURSOR. A
// click puts the nearer time cursor there (the right button: the nearer level cursor),
// a line can be dragged, and with the display focused the arrow keys move the chosen
// cursor of each pair (Shift: ten times as far), Tab chooses the other one.
#include "host/display_overlay.h"

struct InstrumentState;

namespace host {

class CursorLayer : public OverlayLayer {
    Q_OBJECT
  public:
    explicit CursorLayer(const InstrumentState& s, QObject* parent = nullptr);

    bool on() const { return on_; }
    // On: the cursors at a quarter and three quarters of the display window.
    void setOn(bool on, const analysis::DisplayMap& m);
    const analysis::Cursors& cursors() const { return c_; }
    void setCursors(const analysis::Cursors& c);
    // Which of each pair the keys move: 0 or 1.
    int chosen() const { return chosen_; }

    bool active() const override;
    void paint(QPainter& p, const analysis::DisplayMap& m) const override;
    bool press(QPointF at, Qt::MouseButton button, const analysis::DisplayMap& m) override;
    void drag(QPointF at, const analysis::DisplayMap& m) override;
    void release() override { grabbed_ = -1; }
    bool key(int key, Qt::KeyboardModifiers mods, const analysis::DisplayMap& m) override;

  private:
    // Lines 0, 1: the times; 2, 3: the levels.
    void moveTo(int line, QPointF at, const analysis::DisplayMap& m);

    const InstrumentState& s_;
    analysis::Cursors c_;
    bool on_ = false;
    int chosen_ = 0;
    int grabbed_ = -1;
};

} // namespace host
