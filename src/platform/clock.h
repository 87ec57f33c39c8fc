#pragma once
// The only two ways a loop of the program waits or yields: Pause(ms) and DoEvents().
// The program runs them on the wall clock; tests install a VirtualClock, on which a
// pause costs no real time, so the real wait loops run fast and deterministically.
#include <cstdint>
#include <functional>
#include <map>

namespace plat {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual void pause(int ms) = 0;
    virtual void doEvents() = 0;
    virtual int64_t nowNs() const = 0; // monotonic time since the clock started
    virtual bool isVirtual() const { return false; }
    // Holds the program until nowNs() reaches tNs without yielding, as a slow port
    // access holds the processor; nothing else runs meanwhile.
    virtual void busyUntil(int64_t tNs) = 0;
};

// Sleeps for real; the window keeps painting during a pause but handles no input
// (input is handled only where the program processes events).
class WallClock : public Clock {
  public:
    WallClock();
    void pause(int ms) override;
    void doEvents() override;
    int64_t nowNs() const override;
    void busyUntil(int64_t tNs) override;

  private:
    int64_t start_;
};

// Simulated time. Actions can be scheduled at a virtual time or at the n-th DoEvents;
// they run inside pause() / doEvents() exactly as a user's click would.
class VirtualClock : public Clock {
  public:
    void pause(int ms) override;
    void doEvents() override;
    int64_t nowNs() const override { return now_; }
    bool isVirtual() const override { return true; }
    // Time moves on; what is scheduled meanwhile runs at the next pause or DoEvents.
    void busyUntil(int64_t tNs) override;

    int64_t nowMs() const { return now_ / 1000000; }
    void advanceNs(int64_t ns);
    // Run `action` once virtual time reaches `ms` (absolute, since the clock started).
    void at(int64_t ms, std::function<void()> action);
    // Run `action` during the n-th DoEvents from now (1 = the next one).
    void atDoEvents(int n, std::function<void()> action);
    int doEventsCount() const { return doEventsCount_; }
    int64_t pausedMs() const { return pausedNs_ / 1000000; }
    // Guard against a loop that never ends: past this virtual time every pause throws.
    void setLimitMs(int64_t ms) { limitNs_ = ms * 1000000; }

  private:
    void runDue();
    int64_t now_ = 0;
    int64_t pausedNs_ = 0;
    int64_t limitNs_ = 0;
    int doEventsCount_ = 0;
    std::multimap<int64_t, std::function<void()>> timed_;
    std::multimap<int, std::function<void()>> counted_;
};

struct ClockLimitExceeded {};

// Lets the window paint and timers run, but handles no input; the next processing of
// events with input (DoEvents) delivers the input that came meanwhile.
void processEventsExceptInput();

Clock& clock();
void setClock(Clock* c); // nullptr restores the wall clock

// Timers follow the clock in use: Qt timers on the wall clock, virtual deadlines checked
// at every pause and DoEvents on the virtual clock.
class Timer;
void registerTimer(Timer* t);
void unregisterTimer(Timer* t);
void fireDueTimers();

} // namespace plat

void Pause(int ms);
void DoEvents();
