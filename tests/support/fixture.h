#pragma once
// A complete program for tests: the main window on the simulated instrument, the
// virtual clock, recorded message boxes and a temporary current directory.
#include "app/wqk.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "sim/wqk01.h"

#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// Records every message box and answers from a queue (OK when the queue is empty).
struct MessageLog {
    std::vector<plat::Message> shown;
    std::deque<plat::Answer> answers;
    void install();
    static void uninstall();
};

// Root reads and writes any file: while one lives, this thread works without that
// override, so a file without permissions is unreadable as it is for a user.
class NoDacOverride {
  public:
    NoDacOverride();
    ~NoDacOverride();

  private:
    uint32_t saved_[2][3] = {};
};

class Harness {
  public:
    explicit Harness(sim::Options o = {}, bool writeConfig = true, int configLpt = 1);
    ~Harness();

    // Creates the window (Form_Load) and, unless told otherwise, runs the start-up.
    WQK& window(bool activate = true);
    InstrumentState& s() { return window(false).state(); }
    sim::Wqk01& sim() { return *sim_; }
    plat::VirtualClock& clock() { return clock_; }
    MessageLog& messages() { return messages_; }
    std::string dir() const { return dir_.path().toStdString(); }
    std::string readFile(const std::string& name) const;
    void writeFile(const std::string& name, const std::string& bytes) const;

  private:
    QTemporaryDir dir_;
    QString oldDir_;
    QByteArray oldConfig_;
    bool hadConfig_ = false;
    plat::VirtualClock clock_;
    std::unique_ptr<sim::Wqk01> sim_;
    MessageLog messages_;
    std::unique_ptr<WQK> w_;
    bool activated_ = false;
};

} // namespace testing_support
