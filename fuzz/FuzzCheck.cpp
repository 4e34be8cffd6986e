// Any bytes as a program for `tarvex check` and the editor's live check: checking must never
// crash and must agree with the compile: a program the compile takes whole has no findings, and
// one the check finds clean up to END compiles.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compiler/CompileRun.h"
#include "compiler/ProgramCheck.h"
#include "fuzz/Broken.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string program(reinterpret_cast<const char*>(data), size);
    const compiler::CheckReport report = compiler::CheckProgram(program);
    const compiler::Translation translation = compiler::Translate(program);
    const bool clean = report.findings.empty() && report.endReached;
    const auto outcome = translation.result.outcome;
    if (outcome == compiler::CompileOutcome::Compiled)
        Check(clean, "the compile takes a program the check finds fault with");
    if (clean)
        Check(outcome == compiler::CompileOutcome::Compiled ||
                  outcome == compiler::CompileOutcome::TooManyLines,
              "the check finds no fault in a program the compile refuses");
    if (outcome == compiler::CompileOutcome::LineFault) {
        Check(!report.findings.empty(), "no finding for the compile's fault");
        Check(report.findings.front().editorLine == translation.result.editorLine &&
                  report.findings.front().code == translation.result.resultCode,
              "the first finding is not the compile's fault");
    }
    return 0;
}
