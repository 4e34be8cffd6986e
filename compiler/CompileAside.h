#pragma once

#include <filesystem>

#include <QByteArray>

#include "compiler/CompileRun.h"

namespace compiler {

// Programs at least this long compile on a worker thread.
inline constexpr qsizetype kCompileAsideBytes = 64 * 1024;

// CompileToFile, run on a worker thread for a long program while this thread keeps painting and
// handling timers; user input waits until the run is over, so nothing can start a second one.
CompileResult CompileAside(const QByteArray& programText, const std::filesystem::path& target);

}  // namespace compiler
