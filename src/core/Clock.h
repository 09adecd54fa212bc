#pragma once

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>

namespace orvell {

// Monotonic time in microseconds since an arbitrary start.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMicros() const = 0;
};

class SteadyClock final : public Clock {
public:
    SteadyClock();
    std::int64_t nowMicros() const override;

private:
    std::chrono::steady_clock::time_point start_;
};

// Runs a function later on the user-interface thread. Timed work in the engine
// goes through this so that tests can drive it on a fake clock.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual void runAfter(int milliseconds, std::function<void()> work) = 0;
};

// Precise single-shot Qt timers; pending work dies with the scheduler.
class QtScheduler final : public QObject, public Scheduler {
public:
    void runAfter(int milliseconds, std::function<void()> work) override;
};

}  // namespace orvell
