#include "platform/clock.h"

#include "platform/timer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <vector>

namespace plat {

namespace {
int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
WallClock& wall() {
    static WallClock w;
    return w;
}
Clock* current = nullptr;
std::vector<Timer*>& timers() {
    static std::vector<Timer*> t;
    return t;
}
} // namespace

WallClock::WallClock() : start_(steadyNs()) {}

void WallClock::pause(int ms) {
    if (ms <= 0) return;
    const int64_t end = steadyNs() + int64_t(ms) * 1000000;
    // Keep painting while waiting, but let no input handler run inside a pause.
    while (true) {
        int64_t left = end - steadyNs();
        if (left <= 0) break;
        processEventsExceptInput();
        QThread::usleep(static_cast<unsigned long>(std::min<int64_t>(left / 1000, 5000)));
    }
}

void WallClock::doEvents() {
    if (!QCoreApplication::instance()) return;
    auto* d = QAbstractEventDispatcher::instance();
    bool handled = d ? d->processEvents(QEventLoop::AllEvents) : false;
    QCoreApplication::sendPostedEvents();
    // Loops that only wait for a click call this back to back; when nothing was
    // pending, give the processor away for a moment instead of spinning.
    if (!handled) QThread::usleep(200);
}

void processEventsExceptInput() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // Qt's glib dispatcher reads window-system events only when it has been woken, and
    // input read just now was set aside without a new wake-up: wake it, so the next
    // processing with input (DoEvents, the main loop, a message box) delivers it.
    if (auto* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

int64_t WallClock::nowNs() const {
    return steadyNs() - start_;
}

void WallClock::busyUntil(int64_t tNs) {
    // A microsecond is far below what a sleep can give: spin.
    while (nowNs() < tNs) {
    }
}

void VirtualClock::busyUntil(int64_t tNs) {
    if (tNs <= now_) return;
    now_ = tNs;
    if (limitNs_ > 0 && now_ > limitNs_) throw ClockLimitExceeded{};
}

void VirtualClock::advanceNs(int64_t ns) {
    now_ += ns;
    if (limitNs_ > 0 && now_ > limitNs_) throw ClockLimitExceeded{};
    runDue();
}

void VirtualClock::pause(int ms) {
    if (ms <= 0) return;
    pausedNs_ += int64_t(ms) * 1000000;
    advanceNs(int64_t(ms) * 1000000);
}

void VirtualClock::doEvents() {
    ++doEventsCount_;
    while (true) {
        auto it = counted_.find(doEventsCount_);
        if (it == counted_.end()) break;
        auto action = std::move(it->second);
        counted_.erase(it);
        action();
    }
    // Widget tests want Qt to deliver its pending events here as a user's click would.
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    runDue();
}

void VirtualClock::at(int64_t ms, std::function<void()> action) {
    timed_.emplace(ms * 1000000, std::move(action));
}

void VirtualClock::atDoEvents(int n, std::function<void()> action) {
    counted_.emplace(doEventsCount_ + n, std::move(action));
}

void VirtualClock::runDue() {
    while (!timed_.empty() && timed_.begin()->first <= now_) {
        auto action = std::move(timed_.begin()->second);
        timed_.erase(timed_.begin());
        action();
    }
    fireDueTimers();
}

Clock& clock() {
    return current ? *current : wall();
}

void setClock(Clock* c) {
    current = c;
    for (Timer* t : timers())
        t->clockChanged();
}

void registerTimer(Timer* t) {
    timers().push_back(t);
}
void unregisterTimer(Timer* t) {
    auto& v = timers();
    v.erase(std::remove(v.begin(), v.end(), t), v.end());
}

void fireDueTimers() {
    if (!clock().isVirtual()) return;
    // Copy: a timer handler may start or stop timers.
    std::vector<Timer*> due;
    for (Timer* t : timers())
        if (t->dueAt(clock().nowNs())) due.push_back(t);
    for (Timer* t : due)
        t->fire();
}

} // namespace plat

void Pause(int ms) {
    plat::clock().pause(ms);
}
void DoEvents() {
    plat::clock().doEvents();
}
