#include "sequencer/PlayerClock.h"

#include <chrono>
#include <thread>

namespace orvell {

namespace {
constexpr std::int64_t SpinMicros = 500;
}

void SteadyPlayerClock::waitUntil(std::int64_t deadline)
{
    {
        std::unique_lock lock(mutex_);
        const auto woken = [this] { return interrupted_.load(); };
        if (deadline == Never) {
            wake_.wait(lock, woken);
        } else {
            const std::int64_t sleep = deadline - SpinMicros - nowMicros();
            if (sleep > 0)
                wake_.wait_for(lock, std::chrono::microseconds(sleep), woken);
        }
    }
    while (!interrupted_.load() && nowMicros() < deadline)
        std::this_thread::yield();
    interrupted_ = false;
}

void SteadyPlayerClock::interrupt()
{
    {
        const std::lock_guard lock(mutex_);
        interrupted_ = true;
    }
    wake_.notify_all();
}

}  // namespace orvell
