#include "tests/support/ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

extern char** environ;

namespace testsupport {

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int ExitStatus(pid_t pid) {
    int status = -1;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

pid_t SpawnTool(const std::string& binary, std::vector<std::string> args, int outFd, int errFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    if (errFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    args.insert(args.begin(), binary);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

ToolRun RunTool(const std::string& binary, const std::filesystem::path& folder,
                std::vector<std::string> args) {
    const std::filesystem::path outPath = folder / "stdout";
    const std::filesystem::path errPath = folder / "stderr";
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t pid = SpawnTool(binary, std::move(args), out, err);
    close(out);
    close(err);
    ToolRun run;
    if (pid > 0)
        run.status = ExitStatus(pid);
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

BackgroundTool::BackgroundTool(const std::string& binary, const std::filesystem::path& folder,
                               const std::string& name, std::vector<std::string> args)
    : outPath(folder / (name + ".out")), errPath(folder / (name + ".err")) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    pid = SpawnTool(binary, std::move(args), out, err);
    close(out);
    close(err);
}

ToolRun BackgroundTool::Finish() {
    ToolRun run;
    if (pid > 0)
        run.status = ExitStatus(pid);
    pid = -1;
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

EmulatorProcess::EmulatorProcess(const std::string& binary, std::vector<std::string> args) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    args.insert(args.begin(), "emulate");
    pid = SpawnTool(binary, std::move(args), fds[1]);
    close(fds[1]);
    output = fds[0];
}

EmulatorProcess::~EmulatorProcess() {
    Stop();
    if (output >= 0)
        close(output);
}

std::string EmulatorProcess::Line() {
    std::string line;
    char c;
    pollfd pfd{output, POLLIN, 0};
    while (poll(&pfd, 1, 10000) > 0 && read(output, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

int EmulatorProcess::Stop() {
    if (pid <= 0)
        return -1;
    kill(pid, SIGTERM);
    return Wait();
}

int EmulatorProcess::Wait() {
    if (pid <= 0)
        return -1;
    const int status = ExitStatus(pid);
    pid = -1;
    return status;
}

}  // namespace testsupport
