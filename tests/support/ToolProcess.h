#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/Portable.h"

namespace testsupport {

struct ToolRun {
    bool started = false;
    int status = -1;  // its exit code; -1 when it did not start or did not exit by itself
    std::string out;
    std::string err;
};

// `BINARY ARGS...` to its end, with what it printed; standard output passes through `outPath`
// (empty: a file in `folder`, read back; otherwise left there, and ToolRun::out stays empty),
// standard error through a file in `folder`.
ToolRun RunTool(const std::string& binary, const std::filesystem::path& folder,
                std::vector<std::string> args, const std::filesystem::path& outPath = {});

// `BINARY ARGS...` started in the background, so that several runs overlap; its output passes
// through files in `folder` named after `name`. Finish waits for its end.
class BackgroundTool {
public:
    BackgroundTool(const std::string& binary, const std::filesystem::path& folder,
                   const std::string& name, std::vector<std::string> args);
    ToolRun Finish();

private:
    std::filesystem::path outPath, errPath;
    portable::Process process;
};

// `BINARY emulate ARGS...` in the background, its standard output read line by line.
class EmulatorProcess {
public:
    EmulatorProcess(const std::string& binary, std::vector<std::string> args);
    ~EmulatorProcess();
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // The next line it printed, waiting up to ten seconds for it; empty when none came.
    std::string Line();
    // Ends it with SIGTERM; its exit status, -1 when it did not exit.
    int Stop();
    // Waits for it to end by itself; its exit status, -1 when it did not exit.
    int Wait();

private:
    portable::Process process;
};

}  // namespace testsupport
