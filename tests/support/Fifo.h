#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orvell::test {

inline bool makeFifo(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }

// A reader that opens a named pipe waits for a writer for ever. After the
// patience runs out this opens the writing end of each pipe that someone is
// waiting on and closes it again, so the reader sees an empty file and the
// test fails instead of hanging. fired() tells whether that was needed.
class FifoWatchdog {
public:
    explicit FifoWatchdog(QStringList fifos, std::chrono::milliseconds patience = std::chrono::seconds(3))
        : fifos_(std::move(fifos)), thread_([this, patience] { watch(patience); })
    {
    }
    ~FifoWatchdog()
    {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    bool fired() const { return fired_; }

private:
    void watch(std::chrono::milliseconds patience)
    {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, patience, [this] { return stop_; }))
            return;
        do {
            for (const QString& fifo : fifos_) {
                // Without a reader waiting a non-blocking open fails at once.
                const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    fired_ = true;
                    ::close(fd);
                }
            }
        } while (!wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return stop_; }));
    }

    QStringList fifos_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::atomic<bool> fired_{false};
    std::thread thread_;
};

}  // namespace orvell::test
