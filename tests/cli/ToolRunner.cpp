#include "ToolRunner.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/support/ToolProcess.h"

namespace fs = std::filesystem;

ToolRun RunTool(const std::vector<std::string>& args, const char* stdoutPath) {
    const portable::TempDir capture("tarvex-cli-run");
    const testsupport::ToolRun run = testsupport::RunTool(
        TARVEX_BIN, capture.path(), args, stdoutPath ? fs::path(stdoutPath) : fs::path());
    if (!run.started)
        throw std::runtime_error(std::string("cannot start ") + TARVEX_BIN);
    return run;
}

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
    const fs::path path = Path(name);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
