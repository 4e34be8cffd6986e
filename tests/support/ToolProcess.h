#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// `BINARY ARGS...` started with its standard output (and error, when given) on these descriptors.
pid_t SpawnTool(const std::string& binary, std::vector<std::string> args, int outFd,
                int errFd = -1);

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// `BINARY ARGS...` to its end, with what it printed; the output passes through files in `folder`.
ToolRun RunTool(const std::string& binary, const std::filesystem::path& folder,
                std::vector<std::string> args);

// `BINARY ARGS...` started in the background, so that several runs overlap; its output passes
// through files in `folder` named after `name`. Finish waits for its end.
class BackgroundTool {
public:
    BackgroundTool(const std::string& binary, const std::filesystem::path& folder,
                   const std::string& name, std::vector<std::string> args);
    ToolRun Finish();

private:
    std::filesystem::path outPath, errPath;
    pid_t pid = -1;
};

// `BINARY emulate ARGS...` in the background, its standard output read line by line.
class EmulatorProcess {
public:
    EmulatorProcess(const std::string& binary, std::vector<std::string> args);
    ~EmulatorProcess();
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // The next line it printed, waiting up to ten seconds for it.
    std::string Line();
    // Ends it with SIGTERM; its exit status, -1 when it did not exit.
    int Stop();
    // Waits for it to end by itself; its exit status, -1 when it did not exit.
    int Wait();

private:
    pid_t pid = -1;
    int output = -1;
};

}  // namespace testsupport
