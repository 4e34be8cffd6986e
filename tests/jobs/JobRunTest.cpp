#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "common/FileIo.h"
#include "tests/support/Portable.h"
#include "tests/support/QuickGiveUp.h"
#include "tests/support/QuickTicks.h"
#include "tests/support/Samples.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ToolProcess.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ToolRun;

constexpr const char* kProgram =
    "        MOV M1,0\r\nLOOP1:  INC M1\r\n        JLD LOOP1,M1,100\r\n        END\r\n";

// A job of a program, a register file with S0100 stamped from 1000, and a screen, run with
// `tarvex job run --loop` against `tarvex emulate --units 3`, each a process of its own.
class JobRunTest : public testsupport::TempFolder {
protected:
    JobRunTest() : TempFolder("tarvex-job-run") {
        fs::create_directories(folder / "store");
        // The traces of failed units go to the data folder, here the test's own.
        ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
        Write(kProgram, "demo.kxc");
        Write(testsupport::ScreenBitmap(), "logo.bmp");
        EXPECT_EQ(Tarvex({"registers", "new", Path("regs.dat")}).status, 0);
        const ToolRun made =
            Tarvex({"job", "new", Path("line.tvjob"), "--program", Path("demo.kxc"), "--params",
                    Path("regs.dat"), "--page", "1", "--screen", Path("logo.bmp"), "--kind",
                    "startup", "--stamp", "S0100:1000:1:4"});
        EXPECT_EQ(made.status, 0) << made.out << made.err;
    }
    std::string Path(const char* name) const { return (folder / name).string(); }
    ToolRun Tarvex(std::vector<std::string> args) const {
        return testsupport::RunTool(TARVEX_BIN, folder, std::move(args));
    }
    ToolRun RunLine(std::vector<std::string> faults) {
        faults.insert(faults.begin(), {"--units", "3", "--swap", "200", "--store", Path("store")});
        testsupport::EmulatorProcess emulator(TARVEX_BIN, faults);
        const std::string device = emulator.Line();
        return Tarvex({"job", "run", Path("line.tvjob"), "--port", device, "--loop", "--units", "3",
                       "--fast", "--ledger", Path("units.jsonl"), "--operator", "ann"});
    }
    std::vector<QJsonObject> Records() const {
        std::string text;
        fileio::ReadWholeFile(folder / "units.jsonl", text);
        std::vector<QJsonObject> records;
        for (std::size_t from = 0, nl; (nl = text.find('\n', from)) != std::string::npos;
             from = nl + 1)
            records.push_back(
                QJsonDocument::fromJson(QByteArray::fromStdString(text.substr(from, nl - from)))
                    .object());
        return records;
    }
    std::string StoredRegisters(const char* unit) const {
        std::string bytes;
        fileio::ReadWholeFile(folder / "store" / unit / "parameters-page-001.dat", bytes);
        return bytes;
    }
};

TEST_F(JobRunTest, ThreeUnitsInALoopEachGetTheirOwnNumberAndRecord) {
    const testsupport::QuickTicks ticks;
    if (const auto lacks = portable::Lacks(portable::Feature::Pty); !lacks.empty())
        GTEST_SKIP() << lacks;
    EXPECT_EQ(Tarvex({"job", "run", Path("line.tvjob"), "--port", "/dev/null"}).status, 1)
        << "an unapproved job is refused";
    ASSERT_EQ(Tarvex({"job", "approve", Path("line.tvjob")}).status, 0);
    const ToolRun run = RunLine({});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    const char* units[] = {"unit-001", "unit-002", "unit-003"};
    const char* values[] = {"[S0100] = 1000\r\n", "[S0100] = 1001\r\n", "[S0100] = 1002\r\n"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(StoredRegisters(units[i]).find(values[i]), std::string::npos) << units[i];
        EXPECT_TRUE(fs::exists(folder / "store" / units[i] / "program-001.kxo")) << units[i];
    }
    const auto records = Records();
    ASSERT_EQ(records.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i]["unit"].toString(), QString::number(1000 + i));
        EXPECT_EQ(records[i]["outcome"].toString(), "passed");
        EXPECT_EQ(records[i]["operator"].toString(), "ann");
        EXPECT_EQ(records[i]["stamp"].toObject()["S0100"].toString(), QString::number(1000 + i));
        EXPECT_EQ(records[i]["steps"].toArray().size(), 3);
    }
    std::string regs;
    fileio::ReadWholeFile(folder / "regs.dat", regs);
    EXPECT_EQ(regs.find("1000"), std::string::npos) << "the register file on disk never changes";
    const ToolRun ledger = Tarvex({"ledger", "--ledger", Path("units.jsonl"), "--unit", "1001"});
    EXPECT_EQ(ledger.status, 0);
    EXPECT_NE(ledger.out.find("1001"), std::string::npos) << ledger.out;
    EXPECT_EQ(ledger.out.find("1002"), std::string::npos) << ledger.out;
    // A changed input refuses the next run before anything is sent.
    Write(kProgram + std::string("; later\r\n"), "demo.kxc");
    const ToolRun changed = Tarvex({"job", "run", Path("line.tvjob"), "--port", "/dev/null"});
    EXPECT_EQ(changed.status, 1);
    EXPECT_NE(changed.out.find("在批准后已改动，请重新批准。"), std::string::npos) << changed.out;
}

TEST_F(JobRunTest, FaultyUnitIsRecordedFailedWithItsTraceAndTheLineGoesOn) {
    const testsupport::QuickTicks ticks;
    if (const auto lacks = portable::Lacks(portable::Feature::Pty); !lacks.empty())
        GTEST_SKIP() << lacks;
    ASSERT_EQ(Tarvex({"job", "approve", Path("line.tvjob")}).status, 0);
    const testsupport::QuickGiveUp quick;
    const ToolRun run = RunLine({"--faulty-unit", "2", "--stop-after", "3"});
    EXPECT_EQ(run.status, 6) << run.out << run.err;
    const auto records = Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1]["outcome"].toString(), "failed");
    EXPECT_EQ(records[1]["failedStep"].toInt(), 1);
    const std::string trace = records[1]["trace"].toString().toStdString();
    std::string traced;
    EXPECT_TRUE(fileio::ReadWholeFile(trace, traced)) << trace;
    EXPECT_NE(traced.find("handshake"), std::string::npos);
    EXPECT_FALSE(records[0].contains("trace"));
    EXPECT_EQ(records[2]["outcome"].toString(), "passed");
    EXPECT_EQ(records[2]["unit"].toString(), "1002") << "a failed unit keeps its number";
    const ToolRun failed =
        Tarvex({"ledger", "--ledger", Path("units.jsonl"), "--failed", "--json"});
    EXPECT_EQ(std::count(failed.out.begin(), failed.out.end(), '\n'), 1) << failed.out;
}

// A golden run on one unit, then a line of three of which the second is asked for resends: the
// others match the golden run although their stamped values differ. On the product's ticks: a
// handshake answered after a quick tick is asked again, and the second answer differs from the
// golden run.
TEST_F(JobRunTest, EachUnitIsComparedWithTheGoldenRun) {
    if (const auto lacks = portable::Lacks(portable::Feature::Pty); !lacks.empty())
        GTEST_SKIP() << lacks;
    ASSERT_EQ(Tarvex({"job", "approve", Path("line.tvjob")}).status, 0);
    {
        testsupport::EmulatorProcess emulator(TARVEX_BIN, {"--units", "1"});
        const std::string device = emulator.Line();
        const ToolRun golden = Tarvex({"job", "run", Path("line.tvjob"), "--port", device, "--fast",
                                       "--golden", "--ledger", Path("units.jsonl")});
        ASSERT_EQ(golden.status, 0) << golden.out << golden.err;
        EXPECT_NE(golden.out.find("基准记录已写入"), std::string::npos) << golden.out;
    }
    EXPECT_TRUE(fs::exists(folder / "line.tvjob.golden"));
    const ToolRun run = RunLine({"--faulty-unit", "2", "--resend-every", "40"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    const auto records = Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_FALSE(records[0].contains("golden")) << "the golden run is not compared with itself";
    EXPECT_EQ(records[1]["golden"].toString(), "与基准一致");
    EXPECT_TRUE(records[2]["golden"].toString().contains("次重发"))
        << records[2]["golden"].toString().toStdString();
    EXPECT_EQ(records[3]["golden"].toString(), "与基准一致");
    const ToolRun ledger = Tarvex({"ledger", "--ledger", Path("units.jsonl"), "--unit", "1001"});
    EXPECT_NE(ledger.out.find("基准：与基准一致"), std::string::npos) << ledger.out;
}

// Three ports in one run: each its own line of two units, every output line whole and named by
// its port, no number twice. Then a stop signal in the middle of a second, endless run ends
// every port's loop with its totals, and no unit stays open.
TEST_F(JobRunTest, SeveralPortsRunTheirLoopsSideBySideAndAllStopOnASignal) {
    const testsupport::QuickTicks ticks;
    if (const auto lacks = portable::Lacks(portable::Feature::Pty); !lacks.empty())
        GTEST_SKIP() << lacks;
    if (const auto lacks = portable::Lacks(portable::Feature::Signals); !lacks.empty())
        GTEST_SKIP() << lacks;
    ASSERT_EQ(Tarvex({"job", "approve", Path("line.tvjob")}).status, 0);
    std::vector<std::unique_ptr<testsupport::EmulatorProcess>> lines;
    std::vector<std::string> args{"job",    "run",      Path("line.tvjob"), "--fast",
                                  "--loop", "--ledger", Path("units.jsonl")};
    std::vector<std::string> ports;
    for (int i = 0; i < 3; ++i) {
        lines.push_back(std::make_unique<testsupport::EmulatorProcess>(
            TARVEX_BIN, std::vector<std::string>{"--units", "8", "--swap", "200"}));
        ports.push_back(lines.back()->Line());
        args.insert(args.end(), {"--port", ports.back()});
    }
    std::vector<std::string> bounded = args;
    bounded.insert(bounded.end(), {"--units", "2"});
    const ToolRun run = Tarvex(bounded);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::map<std::string, int> passed, totals;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        const std::size_t colon = line.find(": ");
        ASSERT_NE(colon, std::string::npos) << line;
        const std::string port = line.substr(0, colon);
        ASSERT_NE(std::find(ports.begin(), ports.end(), port), ports.end()) << line;
        passed[port] += line.find("：通过（") != std::string::npos;
        totals[port] += line.find("合计：通过 2，失败 0，停止 0") != std::string::npos;
    }
    for (const std::string& port : ports) {
        EXPECT_EQ(passed[port], 2) << port << "\n" << run.out;
        EXPECT_EQ(totals[port], 1) << port << "\n" << run.out;
    }
    std::set<QString> units;
    for (const QJsonObject& record : Records())
        units.insert(record["unit"].toString());
    EXPECT_EQ(units, (std::set<QString>{"1000", "1001", "1002", "1003", "1004", "1005"}));

    portable::Process endless;
    ASSERT_TRUE(endless.Start(TARVEX_BIN, args));
    // Stopped once a unit of this run has passed, with the other ports anywhere in theirs.
    for (std::optional<std::string> line; (line = endless.ReadLine(std::chrono::seconds(60)));) {
        if (line->find("：通过（") != std::string::npos)
            break;
    }
    endless.Signal(SIGTERM);
    std::string rest;
    for (std::optional<std::string> line; (line = endless.ReadLine(std::chrono::seconds(60)));)
        rest += *line + "\n";
    EXPECT_EQ(endless.Wait().code, 128 + SIGTERM) << rest;
    for (const std::string& port : ports)
        EXPECT_NE(rest.find(port + ": 合计："), std::string::npos) << port << "\n" << rest;
    std::string state;
    ASSERT_TRUE(fileio::ReadWholeFile(folder / "line.tvjob.state", state));
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(state)).object();
    EXPECT_TRUE(o["open"].toArray().isEmpty()) << state;
    EXPECT_EQ(static_cast<int>(Records().size()), o["next"].toInt() - 1000)
        << "every number taken has its record";
}

TEST_F(JobRunTest, UnwritableLedgerRefusesTheRunAndTornLinesAreSkipped) {
    ASSERT_EQ(Tarvex({"job", "approve", Path("line.tvjob")}).status, 0);
    const ToolRun run = Tarvex({"job", "run", Path("line.tvjob"), "--port", "/dev/null", "--ledger",
                                Path("demo.kxc/units.jsonl")});
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("无法写入"), std::string::npos) << run.out;
    Write(
        "{\"unit\":\"7\",\"job\":\"line\",\"outcome\":\"passed\",\"steps\":[]}\nnot json\n"
        "{\"unit\":\"8\",\"job\":\"line\",\"outcome\":\"failed\",\"steps\":[]}\n{\"unit\":\"9\","
        "\"jo",
        "torn.jsonl");
    const ToolRun ledger = Tarvex({"ledger", "--ledger", Path("torn.jsonl"), "--csv"});
    EXPECT_EQ(ledger.status, 0);
    EXPECT_NE(ledger.err.find("第 2 行"), std::string::npos) << ledger.err;
    EXPECT_NE(ledger.err.find("第 4 行"), std::string::npos) << ledger.err;
    EXPECT_EQ(std::count(ledger.out.begin(), ledger.out.end(), '\n'), 3) << ledger.out;
}

}  // namespace
