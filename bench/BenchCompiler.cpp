// Compile runs on the largest programs the editor can hold.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compiler/CompileRun.h"

namespace {

constexpr int kLines = 2048;
constexpr std::size_t kMaxProgramBytes = compiler::kProgramCapacity;
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

// The same jumps with Chinese (GBK) label names: every search meets lead bytes.
std::string ChineseLabelProgram() {
    std::string text;
    char line[64];
    for (int i = 1; i <= kLines; ++i) {
        std::snprintf(line, sizeof line,
                      "\xB1\xEA\xBA\xC5%04d: JGD \xB1\xEA\xBA\xC5%04d,M3,100\r\n", i,
                      (i * 7) % kMaxJumpTarget + 1);
        text += line;
    }
    return text;
}

// The editor's limit in 2048 labelled lines, each carrying GBK text after "//" (no comment
// marker, so the text stays on the code line the labels are searched in).
std::string LabelsWithGbkTails() {
    std::string text;
    const std::size_t perLine = kMaxProgramBytes / kLines;
    char line[64];
    for (int i = 1; i <= kLines; ++i) {
        std::snprintf(line, sizeof line, "L%04d: JGD L%04d,M3,100 //", i,
                      (i * 7) % kMaxJumpTarget + 1);
        std::string one = line;
        while (one.size() + 4 <= perLine)
            one += "\xD6\xD0\xCE\xC4";  // two Chinese characters
        one.resize(perLine - 2, ' ');
        text += one + "\r\n";
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

void BM_Translate2048ChineseLabels(benchmark::State& state) {
    RunTranslate(state, ChineseLabelProgram(), compiler::CompileOutcome::MissingEnd);
}

void BM_TranslateOneMegabyteOfLabelsWithGbkTails(benchmark::State& state) {
    RunTranslate(state, LabelsWithGbkTails(), compiler::CompileOutcome::MissingEnd);
}

void BM_TranslateOneMegabyteOfComments(benchmark::State& state) {
    RunTranslate(state, CommentProgram(), compiler::CompileOutcome::MissingEnd);
}

}  // namespace

// Five repetitions each: median and spread (lowest, highest) besides the mean.
void Repeated(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics(
            "min",
            [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) {
            return *std::max_element(v.begin(), v.end());
        });
}

BENCHMARK(BM_Translate2048LinesNoLabels)->Apply(Repeated);
BENCHMARK(BM_Translate2048LabelledJumps)->Apply(Repeated);
BENCHMARK(BM_Translate2048ChineseLabels)->Apply(Repeated);
BENCHMARK(BM_TranslateOneMegabyteOfLabelsWithGbkTails)->Apply(Repeated);
BENCHMARK(BM_TranslateOneMegabyteOfComments)->Apply(Repeated);

BENCHMARK_MAIN();
