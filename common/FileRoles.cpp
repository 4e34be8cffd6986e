#include "common/FileRoles.h"

#include "common/FileIo.h"

namespace fileio {

std::optional<std::filesystem::path> OutputOverInput(const FileRoles& roles) {
    for (const std::filesystem::path& output : roles.outputs) {
        for (const std::filesystem::path& input : roles.inputs) {
            if (SameFile(input, output))
                return output;
        }
    }
    return std::nullopt;
}

}  // namespace fileio
