#pragma once

#include "sequencer/PlayerClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

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
        if (pending_) {
            pending_ = false;
            return;
        }
        const std::uint64_t generation = generation_;
        ++sleepers_;
        deadline_ = deadline;
        changed_.notify_all();
        changed_.wait(lock, [&] { return generation_ != generation || now_.load() >= deadline; });
        --sleepers_;
    }

    // Several players may share this clock: an interrupt wakes every sleeper
    // and also ends the next wait at once, because the thread it was meant
    // for may not have gone to sleep yet. Extra wake-ups are harmless to a
    // player; a lost one would hang it.
    void interrupt() override
    {
        const std::lock_guard lock(mutex_);
        ++generation_;
        pending_ = true;
        changed_.notify_all();
    }

    // Waits until the sleeper has caught up with every command and the time.
    void settle()
    {
        std::unique_lock lock(mutex_);
        const bool settled = changed_.wait_for(lock, std::chrono::seconds(10), [&] {
            return sleepers_ > 0 && !pending_ && deadline_ > now_.load();
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
    int sleepers_ = 0;
    bool pending_ = false;
    std::uint64_t generation_ = 0;
    std::int64_t deadline_ = 0;
};

}  // namespace orvell::test
