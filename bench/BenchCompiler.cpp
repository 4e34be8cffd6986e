// Compile runs on the largest programs the editor can hold.
#include <benchmark/benchmark.h>

#include <string>

#include "compiler/CompileRun.h"

namespace {

constexpr int kLines = 2048;
constexpr std::size_t kMaxProgramBytes = 1'048'575;
// Jump targets are record numbers of at most 2000.
constexpr int kMaxJumpTarget = 2000;

std::string PlainProgram() {
    const char* const forms[] = {"MOV M%d,%d",   "ADD F%d,-%d",    "SETB I%d",
                                 "JGD %d,M3,%d", "FMOV F%d,%d.25", "CWAD 1,%d,2,3,%d"};
    std::string text;
    char line[64];
    for (int i = 1; i < kLines; ++i) {
        std::snprintf(line, sizeof line, forms[i % 6], i % 90 + 1, i);
        text += line;
        text += "\r\n";
    }
    return text + "END\r\n";
}

// Every line defines a label and jumps to another: each definition searches every line. The names
// have one width, so none is the start of another (a use must be the name's first occurrence).
std::string LabelProgram() {
    std::string text;
    char line[64];
    for (int i = 1; i <= kLines; ++i) {
        std::snprintf(line, sizeof line, "L%04d: JGD L%04d,M3,100\r\n", i,
                      (i * 7) % kMaxJumpTarget + 1);
        text += line;
    }
    return text;
}

// Mostly comments, with a code line now and then, filling the editor's limit exactly.
std::string CommentProgram() {
    std::string text;
    const std::string comment = "; move the table to the next station and wait for the sensor\r\n";
    const std::string code = "MOV M1,5 ' preset\r\n";
    for (int i = 0; text.size() + comment.size() <= kMaxProgramBytes; ++i) {
        text += i % 32 == 31 ? code : comment;
    }
    text.append(kMaxProgramBytes - text.size(), ' ');
    return text;
}

void RunTranslate(benchmark::State& state, const std::string& text,
                  compiler::CompileOutcome expected) {
    for (auto _ : state) {
        compiler::Translation t = compiler::Translate(text);
        benchmark::DoNotOptimize(t.objectBytes.data());
        if (t.result.outcome != expected) {
            state.SkipWithError("unexpected outcome");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_Translate2048LinesNoLabels(benchmark::State& state) {
    RunTranslate(state, PlainProgram(), compiler::CompileOutcome::Compiled);
}

void BM_Translate2048LabelledJumps(benchmark::State& state) {
    RunTranslate(state, LabelProgram(), compiler::CompileOutcome::MissingEnd);
}

void BM_TranslateOneMegabyteOfComments(benchmark::State& state) {
    RunTranslate(state, CommentProgram(), compiler::CompileOutcome::MissingEnd);
}

}  // namespace

BENCHMARK(BM_Translate2048LinesNoLabels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Translate2048LabelledJumps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TranslateOneMegabyteOfComments)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
