#pragma once
// A frequency response sweep on the instrument: for each frequency the generator is set
// to a NORMAL sine and one combined generate-and-sample capture (GO in SCOPE+GEN,
// Single) is taken; gain and phase come from its read-out. The run locks the controls a
// run locks; every setting and buffer is put back afterwards (a snapshot taken before),
// also after a cancel or a failed capture.
#include "fra/response.h"

#include <QObject>
#include <memory>
#include <string>
#include <vector>

class Instrument;

namespace fra {

class Sweep : public QObject {
    Q_OBJECT
  public:
    explicit Sweep(Instrument& inst, QObject* parent = nullptr);
    ~Sweep() override;

    // Runs the sweep and returns when it has ended: "" when every point was measured or
    // the sweep was cancelled, else why it could not start or stopped early (the points
    // measured until then are kept).
    std::string run(const Settings& settings);
    // Ends the sweep after the point being measured, whose capture is stopped: the
    // points measured so far are kept. Safe to call from inside the run (a button).
    void cancel();

    bool running() const { return running_; }
    bool cancelled() const { return cancelled_; }
    const std::vector<Point>& points() const { return points_; }
    // The frequencies of the running or last sweep.
    int total() const { return total_; }

  signals:
    void started(int total);
    // A point was measured: `done` of `total`, about `secondsLeft` to go.
    void measured(const fra::Point& p, int done, int total, double secondsLeft);
    void finished();

  private:
    std::string setUp(const Settings& settings);
    std::string measureAt(long freqHz, const Settings& settings);

    Instrument& inst_;
    std::vector<Point> points_;
    int total_ = 0;
    bool running_ = false, cancelled_ = false;
};

} // namespace fra
