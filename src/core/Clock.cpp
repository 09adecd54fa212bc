#include "core/Clock.h"

#include <QTimer>

namespace orvell {

SteadyClock::SteadyClock() : start_(std::chrono::steady_clock::now()) {}

std::int64_t SteadyClock::nowMicros() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_)
        .count();
}

void QtScheduler::runAfter(int milliseconds, std::function<void()> work)
{
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, this, std::move(work));
}

}  // namespace orvell
