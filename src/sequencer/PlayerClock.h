#pragma once

#include "core/Clock.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>

namespace orvell {

// The monotonic clock the sequence player's thread sleeps on.
class PlayerClock : public Clock {
public:
    static constexpr std::int64_t Never = std::numeric_limits<std::int64_t>::max();

    // Blocks until nowMicros() reaches `deadline` or interrupt() is called.
    // An interrupt that comes while nobody waits ends the next wait at once,
    // so no wake-up is lost.
    virtual void waitUntil(std::int64_t deadline) = 0;
    virtual void interrupt() = 0;
};

// Sleeps on a condition variable until shortly before the deadline, then
// yields in a loop to it: a plain timed wait wakes up to a few hundred
// microseconds late.
class SteadyPlayerClock final : public PlayerClock {
public:
    std::int64_t nowMicros() const override { return clock_.nowMicros(); }
    void waitUntil(std::int64_t deadline) override;
    void interrupt() override;

private:
    SteadyClock clock_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> interrupted_{false};
};

}  // namespace orvell
