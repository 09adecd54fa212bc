#pragma once

#include <QString>

#include <sys/types.h>

#include <optional>
#include <string>

namespace orvell::test {

// A private jackd on the dummy driver for the life of the object. While it
// runs, JACK_DEFAULT_SERVER names it, so JACK clients created in this process
// (RtMidi included) connect to it and never to the user's server.
class JackServer {
public:
    explicit JackServer(int periodFrames = 64, int sampleRate = 48000);
    ~JackServer();

    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    // Whether the server answered in time.
    bool ok() const { return ok_; }
    // Why it did not, with the end of jackd's output.
    QString errorText() const { return error_; }
    QString name() const { return name_; }

    // As reported by the running server.
    int periodFrames() const { return periodFrames_; }
    int sampleRate() const { return sampleRate_; }
    double periodMicros() const;

private:
    bool waitUntilAnswering();
    QString logTail() const;
    void stop();

    QString name_;
    QString logPath_;
    QString error_;
    bool ok_ = false;
    pid_t pid_ = -1;
    int periodFrames_ = 0;
    int sampleRate_ = 0;
    bool environmentSet_ = false;
    std::optional<std::string> savedServer_;  // JACK_DEFAULT_SERVER before us
};

}  // namespace orvell::test
