// Any bytes as program text: the run ends with an outcome and a well-formed object image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "compiler/EncodeLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const compiler::Translation t = compiler::Translate(text);
    const compiler::CompileResult& r = t.result;

    if (t.objectBytes.size() != compiler::kObjectHeader.size() + compiler::kRecordSize * r.records)
        std::abort();
    if (!t.objectBytes.starts_with(compiler::kObjectHeader))
        std::abort();
    if (r.records > compiler::kMaxCodeLines)
        std::abort();
    const bool endsWithEnd = r.records > 0 &&
                             t.objectBytes[t.objectBytes.size() - compiler::kRecordSize] == 2 &&
                             t.objectBytes[t.objectBytes.size() - compiler::kRecordSize + 1] == 8;
    if ((r.outcome == compiler::CompileOutcome::Compiled) != endsWithEnd)
        std::abort();
    if (r.outcome == compiler::CompileOutcome::LineFault &&
        (r.codeLine != static_cast<int>(r.records) + 1 || r.editorLine < r.codeLine))
        std::abort();
    if (compiler::CompileMessage(r, "x.kxo").empty())
        std::abort();
    return 0;
}
