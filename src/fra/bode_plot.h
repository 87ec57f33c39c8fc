#pragma once
// The Bode diagram: gain (dB, top) and phase (degrees, bottom) against log frequency,
// drawn as the points arrive, with a cursor on the nearest point (mouse, or the arrow
// keys) and the -3 dB corner marked once the gain has crossed it.
#include "fra/response.h"

#include <QWidget>
#include <vector>

namespace fra {

class BodePlot : public QWidget {
    Q_OBJECT
  public:
    explicit BodePlot(QWidget* parent = nullptr);

    // The frequency axis runs over whole decades around from..to.
    void start(double fromHz, double toHz);
    void addPoint(const Point& p);
    const std::vector<Point>& points() const { return points_; }

    // The point under the cursor (-1: none) and its readout.
    int cursor() const { return cursor_; }
    void setCursor(int index);
    QString readout() const;
    // The -3 dB corner as the plot marks it, or "" before the gain has crossed it.
    QString cornerText() const;

    // The diagram drawn at any size, for the picture export: on an image, or on any
    // painter (SVG, PDF), white background included.
    QImage render(QSize size) const;
    void draw(QPainter& p, QSize size) const;
    QSize sizeHint() const override { return {640, 480}; }

  signals:
    void cursorMoved(int index);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    int nearest(double x) const;

    std::vector<Point> points_;
    double loDecade_ = 2, hiDecade_ = 5; // log10 of the axis ends
    int cursor_ = -1;
};

// Engineering text of a frequency: "1.58 kHz", "100 Hz".
QString frequencyText(double hz);

} // namespace fra
