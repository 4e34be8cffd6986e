#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "downloads/ParameterSource.h"
#include "downloads/ProgramSource.h"
#include "downloads/ScreenSource.h"
#include "registers/RegisterFile.h"
#include "screen/ScreenImage.h"
#include "tests/support/EmulatedLine.h"
#include "tests/support/Samples.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& to, std::initializer_list<int> bytes) {
    for (int b : bytes)
        to.push_back(static_cast<std::uint8_t>(b));
}

// One frame as it goes on the line.
void Frame(Bytes& to, int command, const Bytes& payload, int trailer) {
    ASSERT_EQ(payload.size(), 16u);
    to.push_back(static_cast<std::uint8_t>(command));
    to.insert(to.end(), payload.begin(), payload.end());
    to.push_back(static_cast<std::uint8_t>(trailer));
}

Bytes Slice(const std::string& s, std::size_t from, std::size_t count) {
    return Bytes(s.begin() + from, s.begin() + from + count);
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Word(int value) {
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Bytes Zeros(std::size_t n) {
    return Bytes(n, 0);
}

Bytes Value(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
}

// Every byte the host puts on the line to the virtual controller, compared whole.
class DownloadWireTest : public testsupport::TempFolder {
protected:
    DownloadWireTest() : TempFolder("tarvex-wire") {}
    void SetUp() override {
        ASSERT_EQ(line.Error(), "");
        ASSERT_TRUE(line.OpenInSession());
    }
    // Runs one transfer at the speed of the line; the bytes do not depend on the period, and the
    // real timing of each download kind runs in the command-line tests.
    void Run(ctrl::DownloadSource& source, const ctrl::TransferProfile& profile, int range) {
        const std::size_t completedBefore = line.Completed().size();
        ASSERT_TRUE(line.Transfer(profile, source, range,
                                  testsupport::AnswerPacedTicks(line.port)(profile.periodMs))
                        .ended);
        EXPECT_TRUE(line.windows.reports.isEmpty());
        EXPECT_EQ(line.port.sessionState, ctrl::LINK_READY);
        // The end byte is the last thing written; give it time to arrive.
        EXPECT_TRUE(line.WaitForCompleted(completedBefore + 1));
    }
    // A program source opened on an object file of `records`.
    void OpenProgram(ctrl::ProgramSource& source, int number, const std::string& records) {
        source.programNumber = number;
        ASSERT_EQ(source.Open(Write(std::string(ctrl::kObjectHeader) + records, "p.kxo")),
                  ctrl::SourceOpen::Opened);
    }

    testsupport::EmulatedLine line;
};

std::string Records(int count) {
    std::string r;
    for (int i = 0; i < count * 24; ++i)
        r += static_cast<char>(0x30 + i);
    return r;
}

TEST_F(DownloadWireTest, ProgramOfOneRecord) {
    const std::string records = Records(1);
    ctrl::ProgramSource source;
    OpenProgram(source, 12, records);
    Run(source, ctrl::kProgramProfile, source.PacketCount());
    Bytes want;
    Append(want, {2});
    Frame(want, 18, Concat(Word(12), Zeros(14)), 85);
    Frame(want, 3, Slice(records, 0, 16), 85);
    Frame(want, 3, Concat(Slice(records, 16, 8), Slice(records, 8, 8)), 85);
    Append(want, {4});
    EXPECT_EQ(line.port.sent, want);
    EXPECT_EQ(line.windows.lastPosition, 1);
}

TEST_F(DownloadWireTest, ProgramOfThreeRecordsEndsWithAPieceFilledFromThePreviousPacket) {
    const std::string records = Records(3);
    ctrl::ProgramSource source;
    OpenProgram(source, 300, records);
    ASSERT_EQ(source.PacketCount(), 5);
    Run(source, ctrl::kProgramProfile, source.PacketCount());
    Bytes want;
    Append(want, {2});
    Frame(want, 18, Concat(Word(300), Zeros(14)), 85);
    for (std::size_t at = 0; at < 64; at += 16)
        Frame(want, 3, Slice(records, at, 16), 85);
    Frame(want, 3, Concat(Slice(records, 64, 8), Slice(records, 56, 8)), 85);
    Append(want, {4});
    EXPECT_EQ(line.port.sent, want);
    ASSERT_EQ(line.Completed().size(), 1u);
    EXPECT_EQ(line.Completed()[0].ObjectRecords(), records);
}

TEST_F(DownloadWireTest, HeaderOnlyProgramIsAnsweredByTheEndByte) {
    ctrl::ProgramSource source;
    OpenProgram(source, -1, "");
    Run(source, ctrl::kProgramProfile, source.PacketCount());
    Bytes want;
    Append(want, {2});
    Frame(want, 18, Concat(Word(0xFFFF), Zeros(14)), 85);
    Append(want, {4});
    EXPECT_EQ(line.port.sent, want);
}

std::string RegisterFileText(const std::vector<std::int32_t>& values) {
    std::string text = std::string(registers::kIdentification) + "\r\n";
    for (std::size_t k = 0; k < values.size(); ++k)
        text += registers::RegisterLine(static_cast<int>(k), std::to_string(values[k])) + "\r\n";
    return text;
}

TEST_F(DownloadWireTest, SixRegisterLinesMakeTwoPacketsPaddedWithZeros) {
    ctrl::ParameterSource source;
    source.pageNumber = 1;
    ASSERT_EQ(source.Open(Write(RegisterFileText({-25, 250, 1, 2, 3, 4}), "six.dat")),
              ctrl::SourceOpen::Opened);
    Run(source, ctrl::kParameterProfile, ctrl::ParameterSource::kPacketCount);
    Bytes want;
    Append(want, {5});
    Frame(want, 21, Concat(Word(1), Zeros(14)), 85);
    Frame(want, 6, Concat(Concat(Value(-25), Value(250)), Concat(Value(1), Value(2))), 85);
    Frame(want, 6, Concat(Concat(Value(3), Value(4)), Zeros(8)), 85);
    Append(want, {7});
    EXPECT_EQ(line.port.sent, want);
}

TEST_F(DownloadWireTest, CompleteRegisterFileGoesOutAs1024Packets) {
    std::vector<std::int32_t> values;
    for (int k = 0; k < registers::kRegisterCount; ++k)
        values.push_back(k % 2 ? -k * 1000 : k);
    ctrl::ParameterSource source;
    source.pageNumber = 3;
    ASSERT_EQ(source.Open(Write(RegisterFileText(values), "full.dat")), ctrl::SourceOpen::Opened);
    Run(source, ctrl::kParameterProfile, ctrl::ParameterSource::kPacketCount);
    Bytes want;
    Append(want, {5});
    Frame(want, 21, Concat(Word(3), Zeros(14)), 85);
    for (std::size_t k = 0; k < values.size(); k += 4) {
        Bytes payload;
        for (std::size_t i = 0; i < 4; ++i)
            payload = Concat(payload, Value(values[k + i]));
        Frame(want, 6, payload, 85);
    }
    Append(want, {7});
    EXPECT_EQ(line.port.sent, want);
    EXPECT_EQ(line.windows.lastPosition, 1023);
}

struct KindCase {
    ctrl::ScreenKind kind;
    Bytes header;
};

TEST_F(DownloadWireTest, ScreenHeadersOfTheThreeKinds) {
    const KindCase cases[] = {
        {ctrl::ScreenKind::Startup, Zeros(16)},
        {ctrl::ScreenKind::Parameter,
         Concat({0, 1, 2, 255, 0, 0, 0, 100, 15, 255, 0, 12}, Zeros(4))},
        {ctrl::ScreenKind::Status, Concat({0, 2, 2, 255}, Zeros(12))},
    };
    const std::string data(screen::kScreenDataSize, '\x5A');
    const fs::path scratch = Write(data, "dat01.dat");
    std::size_t from = 0;
    for (const KindCase& c : cases) {
        ctrl::ScreenSource source;
        source.target = {c.kind, 767, {0, 100, 4095, 12}};
        ASSERT_TRUE(source.Open(scratch));
        Run(source, ctrl::kScreenProfile, ctrl::ScreenSource::kPacketCount);
        const Bytes wire = line.port.sent;
        ASSERT_GE(wire.size(), from + 1 + 18);
        EXPECT_EQ(wire[from], 8);
        EXPECT_EQ(Bytes(wire.begin() + from + 1, wire.begin() + from + 19),
                  Concat(Concat({24}, c.header), {0}));
        from = wire.size();
    }
    EXPECT_EQ(line.Completed().size(), 3u);
}

TEST_F(DownloadWireTest, FullScreenFromABitmapWithTheScreenTrailers) {
    const std::string bitmap = testsupport::ScreenBitmap();
    const fs::path scratch = folder / "dat01.dat";
    ASSERT_EQ(screen::CheckScreenBitmap(bitmap), screen::kBitmapOk);
    ASSERT_FALSE(screen::ConvertScreenBitmap(bitmap, scratch));
    ctrl::ScreenSource source;
    ASSERT_TRUE(source.Open(scratch));
    Run(source, ctrl::kScreenProfile, ctrl::ScreenSource::kPacketCount);
    Bytes want;
    Append(want, {8});
    Frame(want, 24, Zeros(16), 0);
    for (int g = 0; g < 64; ++g) {
        Bytes payload = Zeros(16);
        if (g == 7 * 64 / 16)
            payload[0] = 128;
        Frame(want, 9, payload, 0);
    }
    Append(want, {10});
    EXPECT_EQ(line.port.sent, want);
    EXPECT_EQ(fs::file_size(scratch), 1024u);
}

}  // namespace
