#pragma once
// View > XY: B against A from the samples in the display window (Lissajous figures,
// curve tracing, phase at a glance), on equal volt scales with a grid in volts, as
// lines or dots, the last captures kept fading (its own persistence), and the phase of
// B against A beside it.
#include "analysis/xy.h"
#include "host/panel.h"

#include <deque>

class QComboBox;
class QLabel;
class QSpinBox;

namespace host {

// The plot: a square of 8 x 8 divisions of `perDiv` volts, 0 V in the middle.
class XyPlot : public QWidget {
    Q_OBJECT
  public:
    explicit XyPlot(QWidget* parent = nullptr);
    // The newest last.
    void setPoints(const std::deque<analysis::XyPoints>& sets, double perDiv, bool dots);
    QSize sizeHint() const override { return {280, 280}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const std::deque<analysis::XyPoints>* sets_ = nullptr;
    double perDiv_ = 1;
    bool dots_ = false;
};

class XyPanel : public Panel {
    Q_OBJECT
  public:
    explicit XyPanel(RecordWatch& record, QWidget* parent = nullptr);
    void refresh() override;
    void saveOptions(QSettings& q) const override;
    void restoreOptions(const QSettings& q) override;
    // The points on show, the newest last.
    const std::deque<analysis::XyPoints>& sets() const { return sets_; }
    double perDiv() const { return perDiv_; }

  protected:
    void follow(Change c) override;

  private:
    // The record's points, as a new capture or in place of the newest.
    void take(bool newCapture);
    void show();

    XyPlot* plot_;
    QComboBox* style_;
    QSpinBox* depth_;
    QLabel* scale_;
    QLabel* phase_;
    std::deque<analysis::XyPoints> sets_;
    double perDiv_ = 1;
};

} // namespace host
