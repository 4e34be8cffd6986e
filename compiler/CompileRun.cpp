#include "compiler/CompileRun.h"

#include "common/FileIo.h"
#include "common/MbcsText.h"
#include "compiler/EncodeLine.h"
#include "compiler/LineSyntax.h"

namespace compiler {
namespace {

void AppendRecord(std::string& bytes, const InstructionRecord& record) {
    bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
}

}  // namespace

std::string_view RemoveComment(std::string_view line) {
    return line.substr(0, syntax::CommentStart(line));
}

std::vector<CodeLine> CutIntoCodeLines(std::string_view text) {
    std::vector<CodeLine> lines;
    std::size_t pos = 0;
    int editorLine = 0;
    std::string line;
    while (pos < text.size()) {
        ++editorLine;
        const std::size_t lf = text.find('\n', pos);
        std::size_t end = text.size();
        std::size_t next = text.size();
        if (lf != std::string_view::npos) {
            // The byte before the line feed is the CR of the pair; it goes unexamined.
            end = lf > pos ? lf - 1 : lf;
            next = lf + 1;
        }
        line.assign(text.substr(pos, end - pos));
        pos = next;

        mbcs::ToUpper(line);
        const syntax::Span code = syntax::CodeOf(line);
        if (!code.empty())
            lines.push_back(CodeLine{line.substr(code.start, code.size()), editorLine});
    }
    return lines;
}

Translation Translate(std::string_view programText) {
    Translation t;
    t.objectBytes.assign(kObjectHeader);
    std::vector<CodeLine> lines = CutIntoCodeLines(programText);
    if (lines.size() > kMaxCodeLines) {
        t.result.outcome = CompileOutcome::TooManyLines;
        t.result.codeLine = static_cast<int>(kMaxCodeLines + 1);
        t.result.editorLine = lines[kMaxCodeLines].editorLine;
        return t;
    }
    ResolveLabels(lines);

    t.objectBytes.reserve(kObjectHeader.size() + lines.size() * kRecordSize);
    InstructionRecord record{};
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int code = EncodeLine(lines[k].text, record);
        if (code == result::kEncoded || code == result::kEnd) {
            AppendRecord(t.objectBytes, record);
            ++t.result.records;
            if (code == result::kEnd) {
                t.result.outcome = CompileOutcome::Compiled;
                return t;
            }
            continue;
        }
        t.result.outcome = CompileOutcome::LineFault;
        t.result.resultCode = code;
        t.result.codeLine = static_cast<int>(k + 1);
        t.result.editorLine = lines[k].editorLine;
        return t;
    }
    t.result.outcome = CompileOutcome::MissingEnd;
    return t;
}

CompileResult CompileToFile(std::string_view programText, const std::filesystem::path& target) {
    std::error_code ec;
    const bool existed = std::filesystem::exists(target, ec);
    if (target.empty() || !fileio::CanWrite(target)) {
        return CompileResult{CompileOutcome::CannotCreate, 0, 0, 0, 0};
    }
    Translation t = Translate(programText);
    if (t.result.outcome != CompileOutcome::Compiled &&
        t.result.outcome != CompileOutcome::MissingEnd) {
        // A refused line leaves no half program that a download could take for a whole one.
        if (!existed)
            std::filesystem::remove(target, ec);
        return t.result;
    }
    if (fileio::WriteSafely(target, t.objectBytes)) {
        // A short object file could still pass the download's header check: leave none behind.
        if (!existed)
            std::filesystem::remove(target, ec);
        t.result = CompileResult{CompileOutcome::WriteFailed, 0, 0, 0, 0};
    }
    return t.result;
}

}  // namespace compiler
