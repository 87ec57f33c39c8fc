#pragma once
// A frequency response sweep on the instrument. With reference A the generator plays
// without end (a table of whole sine cycles, uploaded once for every decade it serves)
// while SCOPE captures of A and B are taken beside it, and a point is measured once the
// circuit has settled (continuous.h). With reference D each point is one combined
// generate-and-sample capture (GO in SCOPE+GEN, Single): only that run ties the samples
// to the DAC's own. Either way the run locks the controls a run locks, and every setting
// and buffer is put back afterwards (a snapshot taken before), also after a cancel or a
// failed capture.
#include "fra/continuous.h"
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
    // Seconds the last sweep (reference A) waited for the circuit to settle.
    double waitedS() const { return waitedS_; }
    // About how long a sweep with these settings takes on a real port, before it starts.
    double plannedS(const Settings& settings) const;

  signals:
    void started(int total);
    // A point was measured: `done` of `total`, about `secondsLeft` to go.
    void measured(const fra::Point& p, int done, int total, double secondsLeft);
    void finished();

  private:
    std::string setUp(const Settings& settings);
    std::string measureAt(long freqHz, const Settings& settings);
    void keep(const Point& p);
    // Reference A (sweep_beside.cpp).
    std::string setUpBeside();
    std::string runBeside(const std::vector<Step>& plan, const Settings& settings);
    std::string measureStep(const Step& st, Point& out);
    std::optional<Point> readPoint(const Step& st, std::string* why, Quality* q) const;
    bool waitUntil(int64_t tNs);

    Instrument& inst_;
    std::vector<Point> points_;
    int total_ = 0;
    bool running_ = false, cancelled_ = false;
    double waitedS_ = 0;
};

} // namespace fra
