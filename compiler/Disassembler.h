#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace compiler {

struct Disassembly {
    bool ok = false;
    std::vector<std::string> lines;  // one source line per record
    std::string error;               // why the file cannot be written as source, when !ok
};

// Turns an object program back into program text whose compile gives the same bytes.
Disassembly Disassemble(std::string_view objectBytes);

}  // namespace compiler
