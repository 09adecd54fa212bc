#pragma once

#include "sequencer/PlayerClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

namespace orvell::test {

// A player clock that moves only when the test says so. Each step waits, on
// a condition variable, until the one thread sleeping on the clock has done
// everything due and sleeps again, so what it sent can be read right after.
class SteppedClock final : public PlayerClock {
public:
    std::int64_t nowMicros() const override { return now_.load(); }

    void waitUntil(std::int64_t deadline) override
    {
        std::unique_lock lock(mutex_);
        // Two players may sleep on one clock: each wakes for every interrupt
        // it has not seen, so one cannot take the other's.
        std::uint64_t& seen = seen_[std::this_thread::get_id()];
        waiting_ = true;
        deadline_ = deadline;
        changed_.notify_all();
        changed_.wait(lock, [&] { return seen != interrupts_ || now_.load() >= deadline; });
        seen = interrupts_;
        waiting_ = false;
        interrupted_ = false;
    }

    void interrupt() override
    {
        const std::lock_guard lock(mutex_);
        interrupted_ = true;
        ++interrupts_;
        changed_.notify_all();
    }

    // Waits until the sleeper has caught up with every command and the time.
    void settle()
    {
        std::unique_lock lock(mutex_);
        const bool settled = changed_.wait_for(lock, std::chrono::seconds(10), [&] {
            return waiting_ && !interrupted_ && deadline_ > now_.load();
        });
        ASSERT_TRUE(settled) << "the player did not go back to sleep";
    }

    // Moves time forward, stopping at every deadline on the way, so that
    // everything happens at exactly its time.
    void advanceMs(std::int64_t milliseconds) { advanceMicros(milliseconds * 1000); }
    void advanceMicros(std::int64_t micros)
    {
        const std::int64_t end = now_.load() + micros;
        for (;;) {
            settle();
            if (::testing::Test::HasFatalFailure())
                return;
            const std::lock_guard lock(mutex_);
            now_ = std::min(deadline_, end);
            changed_.notify_all();
            if (deadline_ > end)
                break;
        }
        settle();
    }

private:
    std::atomic<std::int64_t> now_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false;
    bool interrupted_ = false;
    std::uint64_t interrupts_ = 0;
    std::map<std::thread::id, std::uint64_t> seen_;  // the interrupts each sleeper has woken for
    std::int64_t deadline_ = 0;
};

}  // namespace orvell::test
