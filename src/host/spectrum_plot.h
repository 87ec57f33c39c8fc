#pragma once
// The spectrum panel's own plot: each channel's spectrum on the chosen scale, its peaks
// marked and numbered as in the peak table.
#include "analysis/spectrum_tools.h"

#include <QWidget>
#include <vector>

namespace host {

struct SpectrumTrace {
    QString name; // "A", "B"
    QColor colour;
    double binHz = 0;
    std::vector<double> values; // bins 0..N/2-1 on the scale
    std::vector<analysis::Peak> peaks;
};

class SpectrumPlot : public QWidget {
    Q_OBJECT
  public:
    explicit SpectrumPlot(QWidget* parent = nullptr);
    void setTraces(const std::vector<SpectrumTrace>* traces, analysis::Scale scale);
    QSize sizeHint() const override { return {360, 200}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const std::vector<SpectrumTrace>* traces_ = nullptr;
    analysis::Scale scale_ = analysis::Scale::Normalised;
};

} // namespace host
