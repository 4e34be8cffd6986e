#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

// A file of one record per line that only ever grows at its end (the download ledger): appended
// to by any number of programs at once, rolled over to numbered files when it gets long.
namespace fileio {

// Where a record file is rolled over: past this size the next record starts a new file.
inline constexpr std::size_t kRollOverBytes = std::size_t{32} << 20;

// Appends `line` (without its line feed) as one record. Appenders take turns, so records never
// interleave; a last line left without its end by a writer that was stopped is ended first, so
// every record stays a line of its own. A file over `rollOverAt` is first renamed to the next
// numbered name (NAME.1.EXT, NAME.2.EXT, ...). Anything other than a regular file at the path (a
// pipe, a device, a folder) is refused at once, without waiting for a reader.
std::error_code AppendRecord(const std::filesystem::path& path, std::string_view line,
                             std::size_t rollOverAt = kRollOverBytes);

// The files of a record file, oldest first: the numbered ones in order, then `path` itself;
// only those that exist.
std::vector<std::filesystem::path> RecordFiles(const std::filesystem::path& path);

}  // namespace fileio
