#pragma once

#include "core/Clock.h"

#include <cstdint>
#include <functional>
#include <map>

namespace orvell::test {

// A clock and scheduler that move only when told to.
class FakeClock final : public Clock, public Scheduler {
public:
    std::int64_t nowMicros() const override { return now_; }

    void runAfter(int milliseconds, std::function<void()> work) override
    {
        queue_.emplace(now_ + std::int64_t{milliseconds} * 1000, std::move(work));
    }

    // Moves time forward, running each piece of work at its due time.
    void advanceMs(std::int64_t milliseconds) { advanceMicros(milliseconds * 1000); }
    void advanceMicros(std::int64_t micros)
    {
        const std::int64_t end = now_ + micros;
        while (!queue_.empty() && queue_.begin()->first <= end) {
            auto node = queue_.extract(queue_.begin());
            now_ = node.key();
            node.mapped()();
        }
        now_ = end;
    }

    bool idle() const { return queue_.empty(); }

private:
    std::int64_t now_ = 0;
    std::multimap<std::int64_t, std::function<void()>> queue_;
};

}  // namespace orvell::test
