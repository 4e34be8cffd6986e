#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace fileio {

// Replaces `target` with `bytes` so that a failure leaves the old file complete: the bytes go to a
// temporary file beside the target, which is then renamed over it. When no temporary file can be
// created there (a folder the user may write files in but not create them), the target is
// rewritten in place instead. Returns an empty error code on success.
std::error_code WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// The file a write to `path` must change: the one a symbolic link points to, else `path` itself.
// Renaming a new file over the link would replace the link and leave its file as it was.
std::filesystem::path WriteTarget(const std::filesystem::path& path);

// Whether `target` can be opened for writing (created when missing), without changing its content.
bool CanWrite(const std::filesystem::path& target);

// Reads a whole file; returns false when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

}  // namespace fileio
