#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/FileIo.h"
#include "tests/support/QuickGiveUp.h"
#include "tests/support/QuickTicks.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ToolProcess.h"

namespace {

namespace fs = std::filesystem;
using testsupport::EmulatorProcess;
using testsupport::ToolRun;

// A trace without its times: what went over the line, in order, and what it meant.
std::string Wire(const fs::path& trace) {
    std::string text;
    EXPECT_TRUE(fileio::ReadWholeFile(trace, text)) << trace;
    std::string bytes;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = text.find('\n', from);
        bytes += text.substr(from + 10, end - from - 10) + "\n";  // after "+SSSS.mmm "
        from = end + 1;
    }
    return bytes;
}

// `tarvex download` against `tarvex emulate`, traced, then against the replay of that trace.
class TraceReplayTest : public testsupport::TempFolder {
protected:
    TraceReplayTest() : TempFolder("tarvex-trace") {
        std::string records;
        for (int i = 0; i < 72; ++i)
            records += static_cast<char>(i * 3);
        object = Write("This is RVL412E.kxo!" + records, "p.kxo").string();
    }
    ToolRun Download(std::vector<std::string> ports, const fs::path& trace) const {
        std::vector<std::string> args{"download", "program", object, "--force"};
        for (const std::string& port : ports)
            args.insert(args.end(), {"--port", port});
        args.insert(args.end(), {"--trace", trace.string()});
        return testsupport::RunTool(TARVEX_BIN, folder, std::move(args));
    }
    std::string object;
    const testsupport::QuickTicks ticks;
};

TEST_F(TraceReplayTest, TheReplayAnswersAsTheTracedControllerDid) {
    const testsupport::QuickGiveUp quick;  // the silent end, traced and replayed
    const struct {
        const char* name;
        std::vector<std::string> faults;
        int status;
    } rows[] = {
        {"clean", {}, 0},
        {"resend storm", {"--resend-every", "1", "--noise", "7"}, 0},
        {"silent end", {"--stop-after", "3"}, 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const fs::path recorded = folder / (std::string(row.name) + ".txt");
        const fs::path replayed = folder / (std::string(row.name) + "-again.txt");
        ToolRun first;
        {
            EmulatorProcess emulator(TARVEX_BIN, row.faults);
            first = Download({emulator.Line()}, recorded);
        }
        EXPECT_EQ(first.status, row.status) << first.out << first.err;
        EmulatorProcess replay(TARVEX_BIN, {"--replay", recorded.string()});
        const ToolRun second = Download({replay.Line()}, replayed);
        EXPECT_EQ(second.status, first.status) << second.out << second.err;
        EXPECT_EQ(second.out, first.out);
        EXPECT_EQ(Wire(replayed), Wire(recorded));
    }
    // The storm's trace shows what the controller did.
    const std::string storm = Wire(folder / "resend storm.txt");
    EXPECT_NE(storm.find("RX 5A  resend request\n"), std::string::npos) << storm;
    EXPECT_NE(storm.find("RX 07  unexpected\n"), std::string::npos) << storm;
    EXPECT_EQ(Wire(folder / "silent end.txt").rfind("TX 88  farewell"), std::string::npos);
}

TEST_F(TraceReplayTest, OneFileGoesToEveryPortAtOnce) {
    std::vector<fs::path> stores;
    std::vector<std::unique_ptr<EmulatorProcess>> emulators;
    std::vector<std::string> ports;
    for (int i = 0; i < 3; ++i) {
        stores.push_back(folder / ("store" + std::to_string(i)));
        fs::create_directories(stores.back());
        emulators.push_back(std::make_unique<EmulatorProcess>(
            TARVEX_BIN, std::vector<std::string>{"--store", stores.back().string()}));
        ports.push_back(emulators.back()->Line());
    }
    const ToolRun run = Download(ports, folder / "many.txt");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_NE(run.out.find(ports[i] + ": 完成 (exit status 0)\n"), std::string::npos)
            << run.out;
        EXPECT_NE(run.err.find(ports[i] + ": [###"), std::string::npos) << run.err;
        const fs::path trace = folder / ("many.txt." + std::to_string(i + 1));
        EXPECT_NE(Wire(trace).find("TX 04  end\n"), std::string::npos);
        // The emulator files the transfer a moment after the end byte.
        for (int wait = 0; wait < 100 && !fs::exists(stores[i] / "program-001.kxo"); ++wait)
            ::usleep(50'000);
        EXPECT_TRUE(fs::exists(stores[i] / "program-001.kxo")) << ports[i];
    }

    // The exit status is the highest of the ports'; a port that does not open says so at once.
    const ToolRun mixed = Download({ports[0], "/dev/tarvex-none"}, folder / "mixed.txt");
    EXPECT_EQ(mixed.status, 5) << mixed.out << mixed.err;
    EXPECT_NE(mixed.out.find(ports[0] + ": 完成 (exit status 0)\n"), std::string::npos)
        << mixed.out;
    EXPECT_NE(mixed.out.find("/dev/tarvex-none: 串口 /dev/tarvex-none 打开失败 (exit status 5)\n"),
              std::string::npos)
        << mixed.out;
}

}  // namespace
