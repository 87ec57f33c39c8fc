#include "platform/timer.h"

#include "platform/clock.h"

namespace plat {

Timer::Timer(QObject* parent) : QObject(parent) {
    registerTimer(this);
    connect(&qt_, &QTimer::timeout, this, [this] { fire(); });
}

Timer::~Timer() {
    unregisterTimer(this);
}

void Timer::setInterval(int ms) {
    interval_ = ms;
    restart();
}

void Timer::setEnabled(bool on) {
    enabled_ = on;
    restart();
}

void Timer::restart() {
    qt_.stop();
    if (!enabled_ || interval_ <= 0) return;
    if (clock().isVirtual()) {
        deadlineNs_ = clock().nowNs() + int64_t(interval_) * 1000000;
    } else {
        qt_.start(interval_);
    }
}

bool Timer::dueAt(int64_t nowNs) const {
    return enabled_ && interval_ > 0 && !qt_.isActive() && nowNs >= deadlineNs_;
}

void Timer::fire() {
    if (!enabled_) return;
    // A VB timer keeps firing every interval until disabled.
    if (clock().isVirtual()) deadlineNs_ = clock().nowNs() + int64_t(interval_) * 1000000;
    if (onTimer) onTimer();
}

void Timer::clockChanged() {
    restart();
}

} // namespace plat
