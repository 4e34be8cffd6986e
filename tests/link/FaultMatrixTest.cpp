#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <QStringList>

#include "common/FileIo.h"
#include "downloads/ParameterSource.h"
#include "downloads/ProgramSource.h"
#include "downloads/ScreenSource.h"
#include "emulator/TransferStore.h"
#include "link/ControllerSession.h"
#include "link/LinkMessages.h"
#include "link/TimedTransfer.h"
#include "registers/RegisterFile.h"
#include "screen/ScreenImage.h"
#include "tests/support/EmulatedLine.h"
#include "tests/support/Samples.h"
#include "tests/support/SimulatedLine.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ToolProcess.h"

namespace {

namespace fs = std::filesystem;
using ctrl::DownloadKind;

// How a download ends as the user sees it, and what the controller then holds.
enum class End { Finished, Warned, GaveUp, NoHandshake };
enum class Held { Source, OtherBytes, Nothing };

struct Expect {
    End end;
    Held held;
    // What `tarvex download` gives for that end; run through the tools for the rows that end
    // quickly, since the tool's own timer cannot be sped up.
    int exitStatus;
};
constexpr Expect kOk{End::Finished, Held::Source, 0};
constexpr Expect kWarned{End::Warned, Held::OtherBytes, 8};
// The screen's requested resend carries the late trailer, so the controller replaces its copy
// and holds the right data: the warning is cautious there.
constexpr Expect kWarnedIntact{End::Warned, Held::Source, 8};
constexpr Expect kGaveUp{End::GaveUp, Held::Nothing, 6};
constexpr Expect kNoHandshake{End::NoHandshake, Held::Nothing, 5};

// One way the controller misbehaves, and how each download kind (program, parameter page,
// screen) comes out of it.
struct Row {
    const char* name;
    emu::Faults faults;
    int hangUpAfter = -1;
    int pauseAfterMs = -1;  // counted from the start of the transfer
    int pauseForMs = 0;
    std::array<Expect, 3> expect;
};

// The virtual controller's fault options, as `tarvex emulate` takes them.
struct Fault {
    Fault& Silent() {
        f.neverAnswer = true;
        return *this;
    }
    Fault& HandshakeFirst(std::vector<std::uint8_t> bytes) {
        f.handshakePrefix = std::move(bytes);
        return *this;
    }
    Fault& ResendEvery(int k) {
        f.resendEvery = k;
        return *this;
    }
    Fault& Delay(int ms) {
        f.answerDelayMs = ms;
        return *this;
    }
    Fault& StopAfter(int frames) {
        f.stopAfterFrames = frames;
        return *this;
    }
    Fault& Noise(std::vector<std::uint8_t> bytes) {
        f.noise = std::move(bytes);
        return *this;
    }
    operator emu::Faults() const { return f; }
    emu::Faults f;
};

const Row kRows[] = {
    {"clean line", Fault(), -1, -1, 0, {kOk, kOk, kOk}},
    {"silent", Fault().Silent(), -1, -1, 0, {kNoHandshake, kNoHandshake, kNoHandshake}},
    {"handshake first", Fault().HandshakeFirst({7, 3}), -1, -1, 0, {kOk, kOk, kOk}},
    {"resend every 3rd", Fault().ResendEvery(3), -1, -1, 0, {kOk, kOk, kOk}},
    {"resend every frame", Fault().ResendEvery(1), -1, -1, 0, {kOk, kOk, kOk}},
    {"answers 30 ms late", Fault().Delay(30), -1, -1, 0, {kOk, kOk, kOk}},
    // Past the program's resend tick: the resend carries the late trailer, so its answer is no
    // sign of wrong data.
    {"answers 1.5 s late", Fault().Delay(1500), -1, -1, 0, {kOk, kOk, kOk}},
    {"stops after 3 frames", Fault().StopAfter(3), -1, -1, 0, {kGaveUp, kGaveUp, kGaveUp}},
    {"stops after the start", Fault().StopAfter(1), -1, -1, 0, {kGaveUp, kGaveUp, kGaveUp}},
    {"noise 0 and 0x77", Fault().Noise({0x00, 0x77}), -1, -1, 0, {kOk, kOk, kOk}},
    // A resend request nobody made: the controller keeps the resend as one more packet.
    {"noise 90", Fault().Noise({90}), -1, -1, 0, {kWarned, kWarned, kWarnedIntact}},
    // The program's header answer before the start answer: the header never goes out, and the
    // controller refuses the data that follows. The other kinds take 18 for mere noise.
    {"noise 18", Fault().Noise({18}), -1, -1, 0, {kGaveUp, kOk, kOk}},
    {"hangs up after 6 frames", Fault(), 6, -1, 0, {kGaveUp, kGaveUp, kGaveUp}},
    {"hangs up after the start", Fault(), 1, -1, 0, {kGaveUp, kGaveUp, kGaveUp}},
    // Held still as by SIGSTOP: shorter than every give-up, then longer than all of them.
    {"paused 3 s", Fault(), -1, 30, 3000, {kOk, kOk, kOk}},
    {"paused 60 s", Fault(), -1, 30, 60000, {kGaveUp, kGaveUp, kGaveUp}},
    {"handshake first, resend every 3rd, noise",
     Fault().HandshakeFirst({7, 3}).ResendEvery(3).Noise({0x00, 0x77}),
     -1,
     -1,
     0,
     {kOk, kOk, kOk}},
    {"late answers and resend requests",
     Fault().ResendEvery(2).Delay(30),
     -1,
     -1,
     0,
     {kOk, kOk, kOk}},
    {"late answers, then silence",
     Fault().Delay(30).StopAfter(4),
     -1,
     -1,
     0,
     {kGaveUp, kGaveUp, kGaveUp}},
    {"noise while paused", Fault().Noise({0x00}), -1, 30, 3000, {kOk, kOk, kOk}},
    {"noise 90 and resend requests",
     Fault().ResendEvery(3).Noise({90}),
     -1,
     -1,
     0,
     {kWarned, kWarned, kWarned}},
};

const char* const kKindNames[] = {"program", "parameter page", "screen"};

// The three source files, and what the controller must hold once each has gone out.
class Sources {
public:
    explicit Sources(const fs::path& folder) {
        program = folder / "p.kxo";
        std::string object(ctrl::kObjectHeader);
        for (int i = 0; i < 5 * 24; ++i)
            object += static_cast<char>(i * 7 + 3);
        Put(program, object);

        parameters = folder / "r.dat";
        std::string text = std::string(registers::kIdentification) + "\r\n";
        for (int k = 0; k < registers::kRegisterCount; ++k)
            text += registers::RegisterLine(k, std::to_string(k % 3 ? k * 1001 : -k)) + "\r\n";
        Put(parameters, text);

        scratch = folder / "dat01.dat";
        bitmap = folder / "s.bmp";
        const std::string picture = testsupport::ScreenBitmap();
        Put(bitmap, picture);
        EXPECT_FALSE(screen::ConvertScreenBitmap(picture, scratch));
    }

    std::unique_ptr<ctrl::DownloadSource> Open(DownloadKind kind, int& packets) const {
        switch (kind) {
            case DownloadKind::Program: {
                auto source = std::make_unique<ctrl::ProgramSource>();
                source->programNumber = 12;
                EXPECT_EQ(source->Open(program), ctrl::SourceOpen::Opened);
                packets = source->PacketCount();
                return source;
            }
            case DownloadKind::Parameters: {
                auto source = std::make_unique<ctrl::ParameterSource>();
                source->pageNumber = 2;
                EXPECT_EQ(source->Open(parameters), ctrl::SourceOpen::Opened);
                packets = ctrl::ParameterSource::kPacketCount;
                return source;
            }
            case DownloadKind::Screen:
                break;
        }
        auto source = std::make_unique<ctrl::ScreenSource>();
        EXPECT_TRUE(source->Open(scratch));
        packets = ctrl::ScreenSource::kPacketCount;
        return source;
    }

    // The kept transfer holds exactly the source: the stored program and register file are the
    // files themselves, the screen data the scratch file.
    bool Holds(DownloadKind kind, const emu::Transfer& kept) const {
        std::string want;
        switch (kind) {
            case DownloadKind::Program:
                return fileio::ReadWholeFile(program, want) && emu::StoredBytes(kept) == want;
            case DownloadKind::Parameters:
                return fileio::ReadWholeFile(parameters, want) && emu::StoredBytes(kept) == want;
            case DownloadKind::Screen:
                break;
        }
        return fileio::ReadWholeFile(scratch, want) &&
               std::string(kept.data.begin(), kept.data.end()) == want;
    }

    fs::path program, parameters, bitmap, scratch;

private:
    static void Put(const fs::path& path, const std::string& bytes) {
        ASSERT_FALSE(fileio::WriteSafely(path, bytes));
    }
};

// What one download showed and left behind.
struct Outcome {
    End end = End::NoHandshake;
    QStringList messages;
    std::vector<emu::Transfer> kept;
    int suspect = 0;
    bool portOpen = false;
    std::size_t sentBytes = 0;  // everything the host put on the line
};

// Handshake and download on a simulated line, each tick moving its clock by the tick's period:
// the 8 s and 40 s give-ups cost no real time.
Outcome Download(const Row& row, DownloadKind kind, const Sources& sources) {
    testsupport::SimulatedLine line(row.faults, row.hangUpAfter);
    Outcome outcome;
    line.controller.onCompleted = [&](const emu::Transfer& t) { outcome.kept.push_back(t); };
    ctrl::ControllerSession session(line, [&](const QString& m) { outcome.messages << m; });
    session.Connect("COM1");
    while (line.sessionState == ctrl::LINK_HANDSHAKE) {
        line.Advance(ctrl::ControllerSession::kTickMs);
        session.Tick();
    }
    if (!session.connected)
        return outcome;

    if (row.pauseAfterMs >= 0)
        line.Pause(line.NowMs() + row.pauseAfterMs, row.pauseForMs);
    const ctrl::TransferProfile& profile = ctrl::ProfileFor(kind);
    int packets = 0;
    const std::unique_ptr<ctrl::DownloadSource> source = sources.Open(kind, packets);
    testsupport::RecordedWindows windows;
    testsupport::HandTicks ticks;
    ctrl::TimedTransfer transfer(line, profile, *source, windows, ticks.Make());
    transfer.Start();
    transfer.Engine().SetProgressRange(packets);
    for (int n = 0; ticks.Running() && n < 1000000; ++n) {
        line.Advance(profile.periodMs);
        ticks.Tick();
    }
    EXPECT_FALSE(ticks.Running()) << "never ended";
    outcome.portOpen = line.open;
    outcome.sentBytes = line.sent.size();
    outcome.suspect = transfer.Engine().SuspectAnswers();
    outcome.messages << windows.reports;
    if (transfer.Engine().Outcome() == ctrl::TransferOutcome::Finished) {
        outcome.end = outcome.suspect > 0 ? End::Warned : End::Finished;
        session.Disconnect();
    } else {
        outcome.end = End::GaveUp;
    }
    // Whatever the controller still has to take, it takes: a late end byte would store it.
    line.Advance(row.pauseForMs + 60000);
    return outcome;
}

class FaultMatrixTest : public testsupport::TempFolder {
protected:
    FaultMatrixTest() : TempFolder("tarvex-fault-matrix"), sources(folder) {}
    Sources sources;
};

TEST_F(FaultMatrixTest, EveryFaultForEveryDownloadKind) {
    for (const Row& row : kRows) {
        for (const DownloadKind kind :
             {DownloadKind::Program, DownloadKind::Parameters, DownloadKind::Screen}) {
            const Expect& expect = row.expect[static_cast<std::size_t>(kind)];
            SCOPED_TRACE(std::string(row.name) + ", " + kKindNames[static_cast<int>(kind)]);
            const Outcome got = Download(row, kind, sources);
            EXPECT_EQ(got.end, expect.end);
            switch (expect.end) {
                case End::Finished:
                    EXPECT_TRUE(got.messages.isEmpty()) << got.messages.join("|").toStdString();
                    break;
                case End::Warned:
                    EXPECT_GT(got.suspect, 0);
                    EXPECT_EQ(got.messages, QStringList{ctrl::SuspectAnswersMessage(got.suspect)});
                    break;
                case End::GaveUp:
                    ASSERT_EQ(got.messages.size(), 1);
                    EXPECT_EQ(got.messages[0].section(QLatin1Char('\n'), 0, 0),
                              ctrl::kNoAnswerMessage);
                    EXPECT_FALSE(got.portOpen);
                    break;
                case End::NoHandshake:
                    EXPECT_EQ(got.messages, QStringList{ctrl::kHandshakeFailedMessage});
                    break;
            }
            if (expect.held == Held::Nothing) {
                EXPECT_TRUE(got.kept.empty());
            } else {
                ASSERT_EQ(got.kept.size(), 1u);
                EXPECT_EQ(sources.Holds(kind, got.kept[0]), expect.held == Held::Source);
            }
        }
    }
}

// The rows that finish must have made the host work for it, or they test nothing: late and
// held answers bring timed resends, requested ones resends on request.
TEST_F(FaultMatrixTest, FaultsThatEndWellStillPutResendsOnTheLine) {
    const Outcome clean = Download(kRows[0], DownloadKind::Program, sources);
    for (const char* name : {"answers 1.5 s late", "paused 3 s", "resend every frame"}) {
        SCOPED_TRACE(name);
        const Row* row = nullptr;
        for (const Row& r : kRows) {
            if (std::string_view(r.name) == name)
                row = &r;
        }
        ASSERT_NE(row, nullptr);
        EXPECT_GE(Download(*row, DownloadKind::Program, sources).sentBytes, clean.sentBytes + 18);
    }
}

// The rows that end quickly, run by `tarvex download` against `tarvex emulate`, all at once: the
// exit status and the stored file come from the tools themselves.
TEST_F(FaultMatrixTest, QuickRowsThroughTheCommandLineTools) {
    std::string object;
    ASSERT_TRUE(fileio::ReadWholeFile(sources.program, object));
    struct Run {
        const Row* row;
        fs::path store;
        std::unique_ptr<testsupport::EmulatorProcess> emulator;
        std::unique_ptr<testsupport::BackgroundTool> download;
    };
    std::vector<Run> runs;
    for (const Row& row : kRows) {
        const End end = row.expect[static_cast<std::size_t>(DownloadKind::Program)].end;
        if (end != End::Finished && end != End::Warned)
            continue;
        if (row.pauseAfterMs >= 0 || row.hangUpAfter >= 0 || row.faults.answerDelayMs > 100)
            continue;  // the emulator's options cannot pause it; long delays take real time
        const std::string name = "run" + std::to_string(runs.size());
        Run run{&row, folder / name, nullptr, nullptr};
        fs::create_directories(run.store);
        std::vector<std::string> options = {"--store", run.store.string()};
        const emu::Faults& f = row.faults;
        auto list = [](const std::vector<std::uint8_t>& bytes) {
            std::string text;
            for (std::uint8_t b : bytes)
                text += (text.empty() ? "" : ",") + std::to_string(b);
            return text;
        };
        if (!f.handshakePrefix.empty())
            options.insert(options.end(), {"--handshake-first", list(f.handshakePrefix)});
        if (f.resendEvery > 0)
            options.insert(options.end(), {"--resend-every", std::to_string(f.resendEvery)});
        if (f.answerDelayMs > 0)
            options.insert(options.end(), {"--delay", std::to_string(f.answerDelayMs)});
        if (!f.noise.empty())
            options.insert(options.end(), {"--noise", list(f.noise)});
        run.emulator = std::make_unique<testsupport::EmulatorProcess>(TARVEX_BIN, options);
        const std::string device = run.emulator->Line();
        run.download = std::make_unique<testsupport::BackgroundTool>(
            TARVEX_BIN, folder, name,
            std::vector<std::string>{"download", "program", sources.program.string(), "--port",
                                     device, "--baud", "19200", "--number", "12", "--force"});
        runs.push_back(std::move(run));
    }
    ASSERT_GE(runs.size(), 8u);
    for (Run& run : runs) {
        const Expect& expect = run.row->expect[static_cast<std::size_t>(DownloadKind::Program)];
        SCOPED_TRACE(run.row->name);
        const testsupport::ToolRun done = run.download->Finish();
        EXPECT_EQ(done.status, expect.exitStatus) << done.out << done.err;
        EXPECT_EQ(done.out.empty(), expect.end == End::Finished) << done.out;
        const std::string filed = run.emulator->Line();  // tells of each kept transfer
        std::string stored;
        ASSERT_TRUE(fileio::ReadWholeFile(run.store / "program-012.kxo", stored)) << filed;
        EXPECT_EQ(stored == object, expect.held == Held::Source);
    }
}

}  // namespace
