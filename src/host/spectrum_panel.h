#pragma once
// Analysis > Spectrum: window function, scale and averaging of the spectra of the
// channels on show, their five highest peaks (frequency, level and amplitude) in a table
// and on the panel's own plot, and which channels clipped.
// It works in FFT mode on the samples the FFT display transforms; the display itself
// and its files stay as they are.
#include "analysis/spectrum_tools.h"
#include "host/panel.h"
#include "host/spectrum_plot.h"

class QComboBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace host {

class SpectrumPanel : public Panel {
    Q_OBJECT
  public:
    static constexpr int PeakCount = 5;
    SpectrumPanel(RecordWatch& record, QWidget* parent = nullptr);
    void refresh() override;
    // What the plot shows, per channel on show.
    const std::vector<SpectrumTrace>& traces() const { return traces_; }
    // Window, scale and average.
    void saveOptions(QSettings& q) const override;
    void restoreOptions(const QSettings& q) override;
    // Outside FFT mode the panel shows its status line only.
    bool collapsed() const { return collapsed_; }

  signals:
    void collapsedChanged(bool collapsed);

  protected:
    void follow(Change c) override;

  private:
    // Transforms the samples; `add` puts them into the running average, otherwise the
    // average starts again from them.
    void compute(bool add);
    void showPeaks();
    void setCollapsed(bool collapsed);

    QWidget* options_;
    bool collapsed_ = false;
    QComboBox* window_;
    QComboBox* scale_;
    QSpinBox* average_;
    QLabel* status_;
    QLabel* clipped_; // the channels whose samples left the range, in the average
    SpectrumPlot* plot_;
    QTableWidget* peaks_;
    analysis::PowerAverager averagers_[2];
    std::vector<SpectrumTrace> traces_;
};

} // namespace host
