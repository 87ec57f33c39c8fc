#pragma once
// The IEEE 488.2 status of the remote interface: the error queue that SYSTem:ERRor?
// reads, the standard event status register (*ESR?, *ESE) and the status byte (*STB?,
// *SRE). One per instrument, as an instrument has one front panel.
#include <deque>
#include <string>

namespace scpi {

class Status {
  public:
    // Errors beyond this many are lost; the last place says -350 Queue overflow.
    static constexpr size_t QueueSize = 16;
    enum Event : int {
        OperationComplete = 1,
        QueryError = 4,
        DeviceError = 8,
        ExecError = 16,
        CommandErr = 32,
        PowerOn = 128
    };

    Status() { esr_ = PowerOn; }
    // Queues an error and sets its class's event bit (-1xx command, -2xx execution,
    // -3xx device, -4xx query). `info` follows the standard text after a semicolon.
    void error(int code, const std::string& info = "");
    // The oldest error as SYSTem:ERRor? answers it (0,"No error" when none), taken off.
    std::string next();
    size_t count() const { return queue_.size(); }
    int lastCode() const { return queue_.empty() ? 0 : queue_.back().first; }

    void setEvent(int bits) { esr_ |= bits; }
    // *ESR?: the register, cleared by the reading.
    int takeEvents();
    int ese = 0, sre = 0;
    // *STB?: bit 2 errors queued, 4 a response waiting, 5 an enabled event, 6 the summary.
    int statusByte(bool messageAvailable) const;
    // *CLS: the queue and the event register emptied.
    void clear();

  private:
    std::deque<std::pair<int, std::string>> queue_;
    int esr_ = 0;
};

} // namespace scpi
