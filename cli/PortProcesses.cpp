#include <algorithm>
#include <cerrno>
#include <ostream>
#include <string>
#include <vector>

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <streambuf>
#endif

#include "cli/DownloadSteps.h"
#include "cli/ExitCodes.h"
#include "common/Messages.h"

namespace cli {

ParsedArgs ForOnePort(const ParsedArgs& args, std::size_t index) {
    ParsedArgs one = args;
    one.repeated.clear();
    one.values["--port"] = args.repeated.at("--port")[index];
    if (const auto trace = args.Value("--trace"))
        one.values["--trace"] = *trace + "." + std::to_string(index + 1);
    return one;
}

namespace {

// What the summary says of a port: the outcome its exit status stands for, else the first line
// of what it reported.
std::string OutcomeText(int status, const std::string& firstMessage) {
    switch (status) {
        case exitcode::kOk:
            return msg::Text(msg::Id::LogOutcomeFinished);
        case exitcode::kSuspectData:
            return msg::Text(msg::Id::LogOutcomeSuspect);
        case exitcode::kNoAnswer:
            return msg::Text(msg::Id::LogOutcomeAbandoned);
        default:
            break;
    }
    return status > exitcode::kSignalled ? msg::Text(msg::Id::LogOutcomeStopped) : firstMessage;
}

#ifdef Q_OS_UNIX
// A stream buffer writing straight to a descriptor, for a port's own process.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd(fd) {}

protected:
    int_type overflow(int_type c) override {
        if (c == traits_type::eof())
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::streamsize done = 0;
        while (done < n) {
            const ssize_t w = ::write(fd, s + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                break;
            done += w;
        }
        return done;
    }

private:
    int fd;
};

// One port's download, run in a process of its own so that every port has its own session,
// port and event loop, and a signal stops each of them cleanly. Its output comes back through
// two pipes, and each line is passed on with the port's name in front.
struct PortProcess {
    std::string port;
    pid_t pid = -1;
    int fds[2] = {-1, -1};     // its standard output and error, read here
    std::string partial[2];    // what came after the last newline
    std::string firstMessage;  // its first line on standard output
    int status = exitcode::kNoController;
};

std::atomic<pid_t> portPids[64];
std::atomic<int> portCount{0};

void PassOnSignal(int number) {
    const int saved = errno;
    for (int i = 0; i < portCount.load(); ++i) {
        if (const pid_t pid = portPids[i].load(); pid > 0)
            ::kill(pid, number);
    }
    errno = saved;
}

bool StartPortProcess(const ParsedArgs& args, PortProcess& run) {
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return false;
    }
    run.pid = ::fork();
    if (run.pid == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        DescriptorBuffer outBuffer(STDOUT_FILENO);
        DescriptorBuffer errBuffer(STDERR_FILENO);
        std::ostream out(&outBuffer);
        std::ostream err(&errBuffer);
        ::_exit(SendFile(args, out, err));
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    run.fds[0] = outPipe[0];
    run.fds[1] = errPipe[0];
    if (run.pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        run.fds[0] = run.fds[1] = -1;
        return false;
    }
    return true;
}

// Passes on every whole line that came from a port's process; at its end, the rest as well.
void PassOnLines(PortProcess& run, int which, std::ostream& to, bool ended) {
    std::string& text = run.partial[which];
    std::size_t from = 0;
    for (std::size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1) {
        const std::string line = text.substr(from, nl - from);
        to << run.port << ": " << line << "\n";
        if (which == 0 && run.firstMessage.empty())
            run.firstMessage = line;
    }
    text.erase(0, from);
    if (ended && !text.empty()) {
        to << run.port << ": " << text << "\n";
        text.clear();
    }
    to.flush();
}

void CollectOutput(std::vector<PortProcess>& runs, std::ostream& out, std::ostream& err) {
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<std::pair<PortProcess*, int>> owners;
        for (PortProcess& run : runs) {
            for (int which = 0; which < 2; ++which) {
                if (run.fds[which] >= 0) {
                    fds.push_back({run.fds[which], POLLIN, 0});
                    owners.emplace_back(&run, which);
                }
            }
        }
        if (fds.empty())
            return;
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].revents == 0)
                continue;
            auto [run, which] = owners[i];
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n > 0)
                run->partial[which].append(buffer, static_cast<std::size_t>(n));
            PassOnLines(*run, which, which == 0 ? out : err, n <= 0);
            if (n <= 0) {
                ::close(run->fds[which]);
                run->fds[which] = -1;
            }
        }
    }
}

#endif

}  // namespace

#ifdef Q_OS_UNIX
int SendToEachPort(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& ports = args.repeated.at("--port");
    std::vector<PortProcess> runs(ports.size());
    out.flush();
    err.flush();
    for (std::size_t i = 0; i < ports.size(); ++i) {
        runs[i].port = ports[i];
        if (!StartPortProcess(ForOnePort(args, i), runs[i]))
            runs[i].firstMessage = msg::Text(msg::Id::PortOpenFailed, {ports[i]});
    }
    // A signal meant for the command reaches every port's process, which stops its transfer.
    portCount = 0;
    for (const PortProcess& run : runs) {
        if (run.pid > 0 && portCount.load() < static_cast<int>(std::size(portPids)))
            portPids[portCount++].store(run.pid);
    }
    struct sigaction action {};
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    action.sa_handler = PassOnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previousInt);
    ::sigaction(SIGTERM, &action, &previousTerm);
    CollectOutput(runs, out, err);
    for (PortProcess& run : runs) {
        int status = 0;
        while (run.pid > 0 && ::waitpid(run.pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (run.pid > 0)
            run.status =
                WIFEXITED(status) ? WEXITSTATUS(status) : exitcode::kSignalled + WTERMSIG(status);
    }
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    portCount = 0;
    int worst = exitcode::kOk;
    for (const PortProcess& run : runs) {
        out << msg::Text(msg::Id::CliDownloadPortSummary,
                         {run.port, OutcomeText(run.status, run.firstMessage),
                          std::to_string(run.status)})
            << "\n";
        worst = std::max(worst, run.status);
    }
    return worst;
}
#else
// Without fork the ports take turns.
int SendToEachPort(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& ports = args.repeated.at("--port");
    std::vector<int> statuses;
    for (std::size_t i = 0; i < ports.size(); ++i)
        statuses.push_back(SendFile(ForOnePort(args, i), out, err));
    int worst = exitcode::kOk;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        out << msg::Text(msg::Id::CliDownloadPortSummary,
                         {ports[i], OutcomeText(statuses[i], {}), std::to_string(statuses[i])})
            << "\n";
        worst = std::max(worst, statuses[i]);
    }
    return worst;
}
#endif

}  // namespace cli
