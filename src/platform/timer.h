#pragma once
// A VB-style timer (Interval in ms, Enabled) that follows the clock in use.
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace plat {

class Timer : public QObject {
    Q_OBJECT
  public:
    explicit Timer(QObject* parent = nullptr);
    ~Timer() override;

    void setInterval(int ms);
    int interval() const { return interval_; }
    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }
    std::function<void()> onTimer;

    // Used by the clock.
    bool dueAt(int64_t nowNs) const;
    void fire();
    void clockChanged();

  private:
    void restart();
    QTimer qt_;
    int interval_ = 0;
    bool enabled_ = false;
    int64_t deadlineNs_ = 0;
};

} // namespace plat
