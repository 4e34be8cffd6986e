// A program download of n data packets against the virtual controller answering at once over a
// pty, paced by the real 10 ms timer. It needs at least n + 2 ticks (start and header answers,
// then one per packet); the ratio of wall time to that floor shows what the line and the engine
// add. CPU time is the GUI thread's, the controller's thread counted apart.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "tests/support/EmulatedLine.h"

namespace {

class CountingSource : public ctrl::DownloadSource {
public:
    explicit CountingSource(int packets) : left(packets) {}
    void BuildHeaderPacket(ctrl::Packet& packet) override { packet.fill(0); }
    bool NextDataPacket(ctrl::Packet& packet) override {
        if (left == 0)
            return false;
        packet.fill(static_cast<std::uint8_t>(--left));
        return true;
    }
    void CloseSource() override {}
    int left;
};

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_ProgramTransferOverPty(benchmark::State& state) {
    const int packets = static_cast<int>(state.range(0));
    const ctrl::TransferProfile& profile = ctrl::kProgramProfile;

    testsupport::EmulatedLine line;
    if (!line.OpenInSession()) {
        state.SkipWithError(line.Error().empty() ? "the port did not open" : line.Error().c_str());
        return;
    }
    double ratio = 0;
    double hostCpu = 0;
    double wall = 0;
    for (auto _ : state) {
        CountingSource source(packets);
        const double cpuBefore = CpuSeconds(RUSAGE_THREAD);
        const testsupport::EmulatedLine::Run run =
            line.Transfer(profile, source, packets, nullptr, 600000);
        hostCpu = CpuSeconds(RUSAGE_THREAD) - cpuBefore;
        wall = run.wallSeconds;
        state.SetIterationTime(wall);
        ratio = wall / ((packets + 2) * profile.periodMs / 1000.0);
        if (run.outcome != ctrl::TransferOutcome::Finished)
            state.SkipWithError("the transfer did not finish");
    }
    state.counters["ratio"] = ratio;
    state.counters["host_cpu_s"] = hostCpu;
    state.counters["host_cpu_share"] = hostCpu / wall;
}

BENCHMARK(BM_ProgramTransferOverPty)
    ->Arg(64)
    ->Arg(1024)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
