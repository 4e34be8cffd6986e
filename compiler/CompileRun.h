#pragma once

#include <cstddef>
#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace compiler {

inline constexpr std::string_view kObjectHeader = "This is RVL412E.kxo!";
constexpr std::size_t kMaxCodeLines = 2048;
// The most program text the editor holds; a longer text could never have been written there.
inline constexpr std::size_t kProgramCapacity = 1'048'575;

struct CodeLine {
    std::string text;
    int editorLine = 0;  // 1-based line of the program text it came from
};

enum class CompileOutcome {
    CannotCreate,  // the target file could not be opened for writing; nothing written
    Compiled,      // END reached
    MissingEnd,    // code lines ran out without END
    LineFault,     // a code line gave a fault code (see resultCode)
    TooManyLines,  // more code lines than an object program may hold
    WriteFailed,   // the target file could not be written completely
};

struct CompileResult {
    CompileOutcome outcome = CompileOutcome::MissingEnd;
    int resultCode = 0;  // EncodeLine's code for LineFault
    int codeLine = 0;    // 1-based code line number of the fault
    int editorLine = 0;  // 1-based program text line of that code line
    std::size_t records = 0;
};

// The part of a line before its comment (the line itself when it has none).
std::string_view RemoveComment(std::string_view line);

// Steps of the compile run, exposed for the tests and the command-line tool.
std::vector<CodeLine> CutIntoCodeLines(std::string_view programText);
// A stop request leaves the labels not yet taken unapplied.
void ResolveLabels(std::vector<CodeLine>& lines, std::stop_token stop = {});

struct Translation {
    CompileResult result;
    std::string objectBytes;  // exactly what the run leaves in the target file
};

// The whole run without touching the disk: header, then one record per code line until END, the
// first fault or the last line.
Translation Translate(std::string_view programText);

// The run against a target file: checks the target can be written (CannotCreate otherwise, the
// old file untouched), then replaces it with the translation when the run reached END or ran out
// of lines; after a refused line the target is left as it was (or absent, as it was).
CompileResult CompileToFile(std::string_view programText, const std::filesystem::path& target);

}  // namespace compiler
