#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/Portable.h"
#include "tests/support/ToolProcess.h"

using testsupport::ToolRun;

// Runs the built `tarvex` binary and collects what it printed; `stdoutPath`, when given, receives
// standard output instead (ToolRun::out stays empty).
ToolRun RunTool(const std::vector<std::string>& args, const char* stdoutPath = nullptr);

// A fresh folder under the system's temporary folder, removed when the object goes.
class TempDir {
public:
    std::filesystem::path Path(std::string_view name) const { return dir_ / name; }
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    portable::TempDir dir_{"tarvex-cli"};
};

std::string ReadBytes(const std::filesystem::path& path);
