#include "compiler/CompileRun.h"

#include "common/FileIo.h"
#include "common/MbcsText.h"
#include "compiler/EncodeLine.h"

namespace compiler {
namespace {

// Comment markers in their order of precedence: apostrophe, semicolon, full-width semicolon, left
// and right single quotation marks (GBK).
constexpr std::string_view kCommentMarkers[] = {"'", ";", "\xA3\xBB", "\xA1\xAE", "\xA1\xAF"};

std::string_view RemoveComment(std::string_view line) {
    for (std::string_view marker : kCommentMarkers) {
        const std::size_t at = mbcs::Find(line, marker);
        if (at != std::string_view::npos)
            return line.substr(0, at);
    }
    return line;
}

bool IsSeparator(char c) {
    return c == ' ' || c == ',';
}

bool EndsWithName(std::string_view line, std::string_view name) {
    if (line.size() < name.size())
        return false;
    const std::size_t start = line.size() - name.size();
    return line.substr(start) == name && mbcs::IsBoundary(line, start);
}

// Whether the first occurrence of `name` at `p` is a use of the label.
bool IsUse(std::string_view line, std::string_view name, std::size_t p) {
    const std::size_t after = p + name.size();
    const bool separatorAfter = after < line.size() && IsSeparator(line[after]);
    if (p == 0)
        return line.size() == name.size() || separatorAfter;
    // A double-byte character before the occurrence is no separator, whatever its second byte.
    const bool separatorBefore =
        mbcs::PreviousCharStart(line, p) == p - 1 && IsSeparator(line[p - 1]);
    if (EndsWithName(line, name))
        return separatorBefore;
    return separatorBefore && separatorAfter;
}

// Replaces every occurrence left to right in one pass over the line.
void ReplaceAll(std::string& line, std::string_view name, std::string_view number) {
    std::string result;
    result.reserve(line.size());
    if (!mbcs::HasLeadBytes(line)) {
        std::size_t from = 0;
        for (std::size_t at = line.find(name); at != std::string::npos;
             at = line.find(name, from)) {
            result.append(line, from, at - from).append(number);
            from = at + name.size();
        }
        result.append(line, from, std::string::npos);
    } else {
        // Matches start on character boundaries only; a name is whole characters, so the text
        // after a match starts on one too.
        for (std::size_t i = 0; i < line.size();) {
            if (line.compare(i, name.size(), name) == 0) {
                result.append(number);
                i += name.size();
            } else {
                const std::size_t len = mbcs::CharLength(line, i);
                result.append(line, i, len);
                i += len;
            }
        }
    }
    line = std::move(result);
}

void AppendRecord(std::string& bytes, const InstructionRecord& record) {
    bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
}

}  // namespace

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
        const std::string_view code = mbcs::TrimRight(RemoveComment(mbcs::TrimLeft(line)));
        if (!code.empty())
            lines.push_back(CodeLine{std::string(code), editorLine});
    }
    return lines;
}

void ResolveLabels(std::vector<CodeLine>& lines) {
    // Resolution only ever removes text or puts digits in, so a line free of double-byte
    // characters stays free of them and can be searched byte by byte.
    std::vector<bool> doubleByte(lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k)
        doubleByte[k] = mbcs::HasLeadBytes(lines[k].text);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string& definition = lines[i].text;
        const std::size_t colon = mbcs::Find(definition, ':');
        if (colon == std::string::npos)
            continue;
        const std::string name(mbcs::TrimRight(std::string_view(definition).substr(0, colon)));
        definition = std::string(mbcs::TrimLeft(std::string_view(definition).substr(colon + 1)));
        // An empty name would match everywhere and replace nothing useful.
        if (name.empty())
            continue;

        const std::string number = std::to_string(i + 1);
        for (std::size_t j = 0; j < lines.size(); ++j) {
            std::string& text = lines[j].text;
            const std::size_t p = doubleByte[j] ? mbcs::Find(text, name) : text.find(name);
            if (p != std::string::npos && IsUse(text, name, p))
                ReplaceAll(text, name, number);
        }
    }
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
    if (fileio::WriteSafely(target, t.objectBytes)) {
        // A short object file could still pass the download's header check: leave none behind.
        if (!existed)
            std::filesystem::remove(target, ec);
        t.result = CompileResult{CompileOutcome::WriteFailed, 0, 0, 0, 0};
    }
    return t.result;
}

}  // namespace compiler
