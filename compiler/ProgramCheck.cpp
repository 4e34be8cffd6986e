#include "compiler/ProgramCheck.h"

#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "compiler/EncodeLine.h"

namespace compiler {

CheckReport CheckProgram(std::string_view programText, std::stop_token stop) {
    CheckReport report;
    std::vector<CodeLine> lines = CutIntoCodeLines(programText);
    ResolveLabels(lines, stop);

    InstructionRecord record{};
    for (std::size_t k = 0; k < lines.size() && !stop.stop_requested(); ++k) {
        const int codeLine = static_cast<int>(k + 1);
        if (k == kMaxCodeLines) {
            // The compile refuses the whole program here, before any line is encoded.
            CompileResult r{CompileOutcome::TooManyLines, 0, codeLine, lines[k].editorLine, 0};
            report.findings.push_back(
                {lines[k].editorLine, codeLine, kTooManyLinesCode, CompileMessage(r, {})});
        }
        const int code = EncodeLine(lines[k].text, record);
        if (code == result::kEnd) {
            report.endReached = true;
            break;
        }
        if (code == result::kEncoded)
            continue;
        CompileResult r{CompileOutcome::LineFault, code, codeLine, lines[k].editorLine, 0};
        report.findings.push_back({lines[k].editorLine, codeLine, code, CompileMessage(r, {})});
    }
    return report;
}

}  // namespace compiler
