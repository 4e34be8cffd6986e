#pragma once

#include <string>
#include <string_view>

#include "compiler/CompileRun.h"

namespace compiler {

// The message a user sees for the outcome of a run, in UTF-8; `targetPath` fills %s.
std::string CompileMessage(const CompileResult& result, std::string_view targetPath);

}  // namespace compiler
