#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "compiler/CompileRun.h"

namespace compiler {

// One label applied to one code line: when the first occurrence of `name` in `line` is a use of
// the label, every occurrence is replaced by `number`. Returns whether the line changed.
bool ApplyLabel(std::string& line, std::string_view name, std::string_view number);

// Splits "NAME: rest" into the label's name and the line's rest; false when the line has no colon.
// The name may be empty.
bool TakeDefinition(std::string& line, std::string& name);

}  // namespace compiler
