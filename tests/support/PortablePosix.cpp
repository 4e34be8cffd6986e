#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <utility>

#include "tests/support/Portable.h"

extern char** environ;

namespace portable {

std::string_view Lacks(Feature) {
    return {};
}

int ProcessId() {
    return static_cast<int>(::getpid());
}

double ThreadCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

fs::path SelfPath() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec);
}

namespace {

Ending EndingOf(pid_t pid) {
    int status = 0;
    pid_t got;
    while ((got = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    Ending ending;
    if (got != pid)
        return ending;
    if (WIFEXITED(status))
        ending.code = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        ending.signal = WTERMSIG(status);
    return ending;
}

}  // namespace

bool Process::Spawn(const fs::path& program, const std::vector<std::string>& args,
                    const fs::path& out, const fs::path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int fds[2] = {-1, -1};
    if (out.empty()) {
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return false;
        }
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    if (!err.empty())
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (fds[1] >= 0)
        ::close(fds[1]);
    if (started != 0) {
        if (fds[0] >= 0)
            ::close(fds[0]);
        return false;
    }
    Started(pid, fds[0] >= 0 ? fds[0] : kNone);
    return true;
}

std::optional<std::string> Process::ReadLine(std::chrono::milliseconds patience) {
    if (pipe_ == kNone)
        return std::nullopt;
    const int fd = static_cast<int>(pipe_);
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (std::optional<std::string> line = TakeLine())
            return line;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        char buffer[256];
        const long n = Readable(fd, std::max(left, std::chrono::milliseconds(0)))
                           ? ::read(fd, buffer, sizeof buffer)
                           : -1;
        if (n == 0 && !pending_.empty())
            return std::exchange(pending_, {});  // the last line, without its end
        if (n <= 0)
            return std::nullopt;
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

void Process::Signal(int signal) {
    if (Running())
        ::kill(static_cast<pid_t>(child_), signal);
}

Ending Process::Wait() {
    if (!Running())
        return {};
    const Ending ending = EndingOf(static_cast<pid_t>(child_));
    child_ = kNone;
    return ending;
}

void Process::Release() {
    if (pipe_ != kNone)
        ::close(static_cast<int>(pipe_));
    pipe_ = kNone;
}

bool IsRoot() {
    return ::geteuid() == 0;
}

std::string GroupName() {
    const group* own = ::getgrgid(::getegid());
    return own ? own->gr_name : "";
}

SignalHandler SignalHandlerOf(int signal) {
    struct sigaction now {};
    ::sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

SignalHandler SetSignalHandler(int signal, SignalHandler handler) {
    struct sigaction wanted {};
    wanted.sa_handler = handler;
    sigemptyset(&wanted.sa_mask);
    struct sigaction before {};
    ::sigaction(signal, &wanted, &before);
    return before.sa_handler;
}

const int kSigHup = SIGHUP;
const int kSigXfsz = SIGXFSZ;

Ending InChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    if (child < 0)
        return {};
    return EndingOf(child);
}

bool DropRoot() {
    // 65534: nobody, on every system these tests run on.
    return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
}

bool LimitFileSize(std::uintmax_t bytes) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_cur > limit.rlim_max)
        limit.rlim_cur = limit.rlim_max;
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::FileSizeLimit(std::uintmax_t bytes) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    oldSoft_ = old.rlim_cur;
    oldHard_ = old.rlim_max;
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    set_ = LimitFileSize(bytes);
}

FileSizeLimit::~FileSizeLimit() {
    const rlimit old{static_cast<rlim_t>(oldSoft_), static_cast<rlim_t>(oldHard_)};
    if (set_)
        ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler_);
}

Fifo::Fifo(const fs::path& path) {
    if (::mkfifo(path.c_str(), 0600) == 0)
        fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
}

Fifo::~Fifo() {
    Close(fd_);
}

bool Fifo::Write(std::string_view bytes) {
    return WriteAll(fd_, bytes.data(), bytes.size());
}

FileLock::FileLock(const fs::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock() {
    Close(fd_);
}

bool OpenPty(int& master, int& slave, std::string& slavePath) {
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
        master = slave = -1;
        return false;
    }
    slavePath = name;
    return true;
}

int OpenTerminal(const std::string& path, bool raw, bool nonBlocking) {
    const int fd =
        ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0));
    if (fd >= 0 && raw) {
        termios tio{};
        ::tcgetattr(fd, &tio);
        cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

void Close(int fd) {
    if (fd >= 0)
        ::close(fd);
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    return fd >= 0 && ::write(fd, data, size) == static_cast<ssize_t>(size);
}

bool Readable(int fd, std::chrono::milliseconds patience) {
    pollfd wanted{fd, POLLIN, 0};
    return fd >= 0 && ::poll(&wanted, 1, static_cast<int>(patience.count())) > 0;
}

long ReadSome(int fd, void* data, std::size_t size) {
    return fd >= 0 ? static_cast<long>(::read(fd, data, size)) : -1;
}

}  // namespace portable
