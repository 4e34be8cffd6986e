// The downloads as the dialogs run them, against the virtual controller answering at once over a
// pty with the real 10 ms timer: a complete register file (1024 packets) and an object program of
// 2048 records (3072 packets). The floor is n + 2 ticks; "ratio" is wall time over that floor.
// And the screen conversion alone, and with its scratch file written.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "downloads/ParameterSource.h"
#include "downloads/ProgramSource.h"
#include "registers/RegisterFile.h"
#include "screen/ScreenImage.h"
#include "tests/support/EmulatedLine.h"
#include "tests/support/Samples.h"

namespace {

namespace fs = std::filesystem;

fs::path TempFile(const std::string& name, const std::string& bytes) {
    const fs::path p = fs::temp_directory_path() / (std::to_string(getpid()) + "-" + name);
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
}

// Opens `source` afresh each iteration and runs it to the end over the pty.
template <typename Source>
void RunDownload(benchmark::State& state, const ctrl::TransferProfile& profile,
                 const fs::path& file, int packets) {
    testsupport::EmulatedLine line;
    if (!line.OpenInSession()) {
        state.SkipWithError(line.Error().empty() ? "the port did not open" : line.Error().c_str());
        return;
    }
    double ratio = 0;
    for (auto _ : state) {
        Source source;
        if (source.Open(file) != ctrl::SourceOpen::Opened) {
            state.SkipWithError("file refused");
            break;
        }
        const testsupport::EmulatedLine::Run run =
            line.Transfer(profile, source, packets, nullptr, 600000);
        state.SetIterationTime(run.wallSeconds);
        ratio = run.wallSeconds / ((packets + 2) * profile.periodMs / 1000.0);
        if (run.outcome != ctrl::TransferOutcome::Finished)
            state.SkipWithError("the transfer did not finish");
    }
    state.counters["packets"] = packets;
    state.counters["ratio"] = ratio;
    fs::remove(file);
}

void BM_ParameterDownloadOfACompleteFile(benchmark::State& state) {
    std::string text = std::string(registers::kIdentification) + "\r\n";
    for (int k = 0; k < registers::kRegisterCount; ++k)
        text += registers::RegisterLine(k, std::to_string(k * 7 - 9999)) + "\r\n";
    RunDownload<ctrl::ParameterSource>(state, ctrl::kParameterProfile, TempFile("bench.dat", text),
                                       ctrl::ParameterSource::kPacketCount);
}

void BM_ProgramDownloadOf2048Records(benchmark::State& state) {
    constexpr int kRecords = 2048;
    std::string object(ctrl::kObjectHeader);
    for (int i = 0; i < kRecords * 24; ++i)
        object += static_cast<char>(i * 13);
    RunDownload<ctrl::ProgramSource>(state, ctrl::kProgramProfile, TempFile("bench.kxo", object),
                                     kRecords * 24 / 16);
}

void BM_ScreenCheckAndConversionInMemory(benchmark::State& state) {
    const std::string bitmap = testsupport::ScreenBitmap();
    for (auto _ : state) {
        benchmark::DoNotOptimize(screen::CheckScreenBitmap(bitmap));
        benchmark::DoNotOptimize(screen::ScreenDataFromBitmap(bitmap));
    }
}

void BM_ScreenConversionWithScratchFile(benchmark::State& state) {
    const std::string bitmap = testsupport::ScreenBitmap();
    const fs::path scratch = fs::temp_directory_path() / (std::to_string(getpid()) + "-dat01.dat");
    const fs::path input = TempFile("bench.bmp", bitmap);
    for (auto _ : state) {
        std::string head;
        screen::ReadBitmapHead(input, head);
        if (screen::CheckScreenBitmap(head) != screen::kBitmapOk ||
            screen::ConvertScreenBitmap(head, scratch))
            state.SkipWithError("conversion failed");
    }
    fs::remove(scratch);
    fs::remove(input);
}

BENCHMARK(BM_ParameterDownloadOfACompleteFile)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramDownloadOf2048Records)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenCheckAndConversionInMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScreenConversionWithScratchFile)->Unit(benchmark::kMicrosecond);

}  // namespace
