#pragma once
// Analysis > Frequency response: the sweep's settings, Start and Cancel, a progress bar
// with the time left, the Bode plot drawn live, and the CSV and picture exports.
#include "fra/sweep.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

class WQK;

namespace fra {

class BodePlot;

class FraDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FraDialog(WQK& w, QWidget* parent = nullptr);

    // The settings as the fields give them.
    Settings settings() const;
    // Runs a sweep with the fields' settings; returns when it has ended.
    void startSweep();
    // Writes the points as CSV, or the plot as a picture: SVG or PDF by the file name's
    // extension, else PNG; "" or the reason it failed.
    std::string exportCsv(const QString& path) const;
    std::string exportPicture(const QString& path) const;

    BodePlot* plot() const { return plot_; }
    Sweep& sweep() { return sweep_; }
    QString status() const;

  public slots:
    void reject() override;

  private:
    void measured(const Point& p, int done, int total, double secondsLeft);
    void setRunning(bool on);
    void chooseCsv();
    void choosePicture();

    Sweep sweep_;
    QDoubleSpinBox *from_, *to_;
    QComboBox *spacing_, *amplitude_, *reference_;
    QSpinBox* points_;
    QPushButton *start_, *cancel_, *csv_, *picture_;
    QProgressBar* progress_;
    QLabel* status_;
    BodePlot* plot_;
    bool closeWhenDone_ = false;
};

// Shows the dialog of `parent` (made the first time), raised and active.
FraDialog* showDialog(WQK& w, QWidget* parent);

} // namespace fra
