#pragma once
// What the tools draw over the signal display: a transparent widget on the display,
// shown only while one of its layers is on, so with every layer off the window looks
// and behaves exactly as without it. Each layer paints in the display's geometry and
// may take the mouse and the keys; the topmost layer that takes an event has it.
#include "analysis/cursors.h"

#include <QWidget>
#include <vector>

class WQK;

namespace host {

class OverlayLayer : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    // Whether the layer draws and takes input now.
    virtual bool active() const = 0;
    virtual void paint(QPainter& p, const analysis::DisplayMap& m) const = 0;
    // Mouse and keys over the display; true when the layer took them.
    virtual bool press(QPointF /*at*/, Qt::MouseButton, const analysis::DisplayMap&) {
        return false;
    }
    virtual void drag(QPointF /*at*/, const analysis::DisplayMap&) {}
    virtual void release() {}
    virtual bool key(int /*key*/, Qt::KeyboardModifiers, const analysis::DisplayMap&) {
        return false;
    }

  signals:
    // What it shows has changed: the overlay paints again, readouts follow.
    void changed();
};

class DisplayOverlay : public QWidget {
    Q_OBJECT
  public:
    explicit DisplayOverlay(const WQK& w);
    // Layers paint in the order added; the last added takes input first.
    void addLayer(OverlayLayer* layer);
    // The display's geometry as the last redraw left it.
    analysis::DisplayMap map() const;
    // Shown while a layer is on; painted again.
    void follow();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    // Tab goes to the layers, not to the next control.
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    const WQK& w_;
    std::vector<OverlayLayer*> layers_;
    OverlayLayer* dragging_ = nullptr;
};

} // namespace host
