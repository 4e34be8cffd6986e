#include "tests/support/ToolProcess.h"

#include <csignal>
#include <fstream>
#include <iterator>

namespace testsupport {

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Status(const portable::Ending& ending) {
    return ending.signal == 0 ? ending.code : -1;
}

}  // namespace

ToolRun RunTool(const std::string& binary, const std::filesystem::path& folder,
                std::vector<std::string> args, const std::filesystem::path& outPath) {
    const std::filesystem::path out = outPath.empty() ? folder / "stdout" : outPath;
    const std::filesystem::path err = folder / "stderr";
    portable::Process process;
    ToolRun run;
    run.started = process.Start(binary, args, out, err);
    if (run.started)
        run.status = Status(process.Wait());
    if (outPath.empty())
        run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

BackgroundTool::BackgroundTool(const std::string& binary, const std::filesystem::path& folder,
                               const std::string& name, std::vector<std::string> args)
    : outPath(folder / (name + ".out")), errPath(folder / (name + ".err")) {
    process.Start(binary, args, outPath, errPath);
}

ToolRun BackgroundTool::Finish() {
    ToolRun run;
    run.status = Status(process.Wait());
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

EmulatorProcess::EmulatorProcess(const std::string& binary, std::vector<std::string> args) {
    args.insert(args.begin(), "emulate");
    process.Start(binary, args);
}

EmulatorProcess::~EmulatorProcess() {
    Stop();
}

std::string EmulatorProcess::Line() {
    return process.ReadLine(std::chrono::seconds(10)).value_or("");
}

int EmulatorProcess::Stop() {
    if (!process.Running())
        return -1;
    process.Signal(SIGTERM);
    return Wait();
}

int EmulatorProcess::Wait() {
    return process.Running() ? Status(process.Wait()) : -1;
}

}  // namespace testsupport
