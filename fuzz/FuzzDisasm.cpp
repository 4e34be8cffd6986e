// Any bytes as an object file: when the disassembler accepts it, compiling its text must give
// the very same bytes back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compiler/CompileRun.h"
#include "compiler/Disassembler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const compiler::Disassembly d = compiler::Disassemble(bytes);
    if (!d.ok) {
        if (d.error.empty())
            std::abort();
        return 0;
    }
    std::string text;
    for (const std::string& line : d.lines)
        text += line + "\r\n";
    const compiler::Translation t = compiler::Translate(text);
    if (t.objectBytes != bytes) {
        std::fprintf(stderr, "round trip differs; program text:\n%s\n", text.c_str());
        std::abort();
    }
    return 0;
}
