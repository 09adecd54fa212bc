#include "support/JackServer.h"

#include <QDir>
#include <QFile>

#include <jack/jack.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvell::test {

namespace {

using namespace std::chrono_literals;

constexpr auto startTimeout = 10s;
constexpr auto stopTimeout = 5s;
constexpr auto pollInterval = 20ms;

void quietJack(const char*) {}

std::string findOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

QString uniqueName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("orvell-test-%1-%2").arg(::getpid()).arg(counter.fetch_add(1));
}

// libjack prints several lines for every refused connection while we poll.
class QuietJack {
public:
    QuietJack() : error_(jack_error_callback), info_(jack_info_callback)
    {
        jack_set_error_function(&quietJack);
        jack_set_info_function(&quietJack);
    }
    ~QuietJack()
    {
        jack_set_error_function(error_);
        jack_set_info_function(info_);
    }
    QuietJack(const QuietJack&) = delete;
    QuietJack& operator=(const QuietJack&) = delete;

private:
    void (*error_)(const char*);
    void (*info_)(const char*);
};

}  // namespace

JackServer::JackServer(int periodFrames, int sampleRate)
    : name_(uniqueName()), logPath_(QDir::temp().filePath(name_ + QStringLiteral(".log")))
{
    const std::string jackd = findOnPath("jackd");
    if (jackd.empty()) {
        error_ = QStringLiteral("jackd is not installed (not found on PATH)");
        return;
    }

    // Everything the child needs is prepared before fork: after it, only
    // async-signal-safe calls.
    const std::string name = name_.toStdString();
    const std::string log = logPath_.toStdString();
    const std::string period = std::to_string(periodFrames);
    const std::string rate = std::to_string(sampleRate);
    std::vector<std::string> args = {jackd, "-n", name, "-r", "-d", "dummy", "-r", rate, "-p", period};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // No D-Bus device reservation: there is no audio device to reserve.
    std::vector<std::string> env = {"JACK_NO_AUDIO_RESERVATION=1"};
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "JACK_NO_AUDIO_RESERVATION=", 26) != 0)
            env.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    // The child reports a failed exec through this pipe; a successful exec
    // closes it empty.
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) {
        error_ = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    const pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid < 0) {
        error_ = QStringLiteral("fork: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(status[0]);
        ::close(status[1]);
        return;
    }
    if (pid == 0) {
        // A crashed test must not leave servers behind; SIGTERM lets jackd
        // remove its shared memory.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in >= 0)
            ::dup2(in, STDIN_FILENO);
        if (out >= 0) {
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
        }
        ::execve(argv[0], argv.data(), envp.data());
        const int err = errno;
        [[maybe_unused]] const ssize_t n = ::write(status[1], &err, sizeof err);
        ::_exit(127);
    }
    pid_ = pid;
    ::close(status[1]);
    int execError = 0;
    ssize_t n;
    do {
        n = ::read(status[0], &execError, sizeof execError);
    } while (n < 0 && errno == EINTR);
    ::close(status[0]);
    if (n > 0) {
        error_ = QStringLiteral("Cannot run %1: %2")
                     .arg(QString::fromStdString(jackd), QString::fromLocal8Bit(std::strerror(execError)));
        stop();
        return;
    }

    if (!waitUntilAnswering()) {
        stop();
        return;
    }

    if (const char* previous = std::getenv("JACK_DEFAULT_SERVER"))
        savedServer_ = previous;
    ::setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    environmentSet_ = true;
    ok_ = true;
}

JackServer::~JackServer()
{
    if (environmentSet_) {
        if (savedServer_)
            ::setenv("JACK_DEFAULT_SERVER", savedServer_->c_str(), 1);
        else
            ::unsetenv("JACK_DEFAULT_SERVER");
    }
    stop();
    QFile::remove(logPath_);
}

double JackServer::periodMicros() const
{
    return sampleRate_ > 0 ? 1e6 * periodFrames_ / sampleRate_ : 0.0;
}

bool JackServer::waitUntilAnswering()
{
    const std::string name = name_.toStdString();
    const auto deadline = std::chrono::steady_clock::now() + startTimeout;
    QuietJack quiet;
    for (;;) {
        int exitStatus = 0;
        if (::waitpid(pid_, &exitStatus, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = QStringLiteral("jackd exited (status %1): %2").arg(exitStatus).arg(logTail());
            return false;
        }
        jack_status_t status{};
        const auto options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
        if (jack_client_t* client = jack_client_open("orvell-test-probe", options, &status, name.c_str())) {
            periodFrames_ = static_cast<int>(jack_get_buffer_size(client));
            sampleRate_ = static_cast<int>(jack_get_sample_rate(client));
            jack_client_close(client);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error_ = QStringLiteral("jackd did not answer within %1 s: %2")
                         .arg(std::chrono::duration_cast<std::chrono::seconds>(startTimeout).count())
                         .arg(logTail());
            return false;
        }
        std::this_thread::sleep_for(pollInterval);
    }
}

QString JackServer::logTail() const
{
    QFile file(logPath_);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(no output)");
    const QByteArray all = file.readAll();
    return QString::fromLocal8Bit(all.right(1000)).trimmed();
}

void JackServer::stop()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + stopTimeout;
    for (;;) {
        const pid_t reaped = ::waitpid(pid_, nullptr, WNOHANG);
        if (reaped != 0 && !(reaped < 0 && errno == EINTR))
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    pid_ = -1;
}

}  // namespace orvell::test
