#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace fileio {

// What one run of a command or one dialog's action reads and writes. Declared once, next to the
// command; the guard below is the only place that compares them.
struct FileRoles {
    std::vector<std::filesystem::path> inputs;
    std::vector<std::filesystem::path> outputs;

    FileRoles& In(std::filesystem::path path) {
        if (!path.empty())
            inputs.push_back(std::move(path));
        return *this;
    }
    FileRoles& Out(std::filesystem::path path) {
        if (!path.empty())
            outputs.push_back(std::move(path));
        return *this;
    }
};

// The first output that would change one of the inputs (the same file, through symbolic or hard
// links, or the same path spelt otherwise), as it was named; nothing when every output is safe.
std::optional<std::filesystem::path> OutputOverInput(const FileRoles& roles);

}  // namespace fileio
