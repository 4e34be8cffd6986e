#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "downloads/ParameterSource.h"
#include "downloads/ProgramSource.h"
#include "downloads/ScreenSource.h"
#include "registers/RegisterFile.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using ctrl::Packet;
using ctrl::SourceOpen;

class SourceTest : public testsupport::TempFolder {
protected:
    SourceTest() : TempFolder("tarvex-sources") {}
    fs::path Write(const std::string& bytes, const char* name = "file") {
        return TempFolder::Write(bytes, name);
    }
    // Every data packet the source gives, starting from `packet` as the engine leaves it.
    static std::vector<Packet> Drain(ctrl::DownloadSource& source, Packet packet) {
        std::vector<Packet> all;
        while (source.NextDataPacket(packet))
            all.push_back(packet);
        return all;
    }
    static std::string Records(int count) {
        std::string r;
        for (int i = 0; i < count * 24; ++i)
            r += static_cast<char>(i + 1);
        return r;
    }
};

TEST_F(SourceTest, ObjectFilesShorterThanTheHeaderOrWithAnyOtherHeaderAreRefused) {
    const std::string header(ctrl::kObjectHeader);
    ctrl::ProgramSource source;
    for (std::size_t n = 0; n < header.size(); ++n)
        EXPECT_EQ(source.Open(Write(header.substr(0, n))), SourceOpen::BadFormat) << n;
    for (const char* bad : {"This is RVL412E.kxo?", "this is RVL412E.kxo!", "This is RVL412E.KXO!"})
        EXPECT_EQ(source.Open(Write(bad + Records(1))), SourceOpen::BadFormat) << bad;
    EXPECT_EQ(source.Open(folder / "missing.kxo"), SourceOpen::CannotOpen);
    EXPECT_EQ(source.Open(""), SourceOpen::CannotOpen);
    Packet p{};
    EXPECT_FALSE(source.NextDataPacket(p));
}

TEST_F(SourceTest, ProgramPacketsArePiecesOf16AndTheShortLastOneKeepsThePreviousTail) {
    const struct {
        int records;
        int packets;
    } cases[] = {{0, 0}, {1, 2}, {2, 3}, {3, 5}, {2048, 3072}};
    for (const auto& c : cases) {
        const std::string body = Records(c.records);
        ctrl::ProgramSource source;
        ASSERT_EQ(source.Open(Write(std::string(ctrl::kObjectHeader) + body)), SourceOpen::Opened);
        EXPECT_EQ(source.PacketCount(), c.packets) << c.records;
        Packet header{};
        source.BuildHeaderPacket(header);
        const std::vector<Packet> packets = Drain(source, header);
        ASSERT_EQ(static_cast<int>(packets.size()), c.packets) << c.records;
        // Joined, the packets are the body followed by the stale tail of the last packet.
        std::string joined;
        for (const Packet& p : packets)
            joined.append(p.begin(), p.end());
        EXPECT_EQ(joined.substr(0, body.size()), body);
        if (body.size() % 16 != 0) {
            const std::size_t lastStart = joined.size() - 16;
            const std::size_t kept = body.size() - lastStart;
            EXPECT_EQ(joined.substr(lastStart + kept),
                      joined.substr(lastStart - 16 + kept, 16 - kept));
        }
    }
}

TEST_F(SourceTest, ProgramNumberTravelsAsItsLow16BitsHighByteFirst) {
    const struct {
        std::int32_t number;
        int high, low;
    } cases[] = {{12, 0, 12}, {300, 1, 44}, {-1, 255, 255}, {0, 0, 0}, {70000, 0x11, 0x70}};
    for (const auto& c : cases) {
        ctrl::ProgramSource source;
        source.programNumber = c.number;
        Packet p;
        p.fill(7);
        source.BuildHeaderPacket(p);
        Packet want{};
        want[0] = static_cast<std::uint8_t>(c.high);
        want[1] = static_cast<std::uint8_t>(c.low);
        EXPECT_EQ(p, want) << c.number;
    }
}

std::string RegisterFile(const std::vector<std::string>& values, const char* eol = "\r\n") {
    std::string text = "This is Par.dat for RVL412E. By RSE.";
    text += eol;
    for (std::size_t k = 0; k < values.size(); ++k) {
        text += registers::RegisterLine(static_cast<int>(k), values[k]) + eol;
    }
    return text;
}

Packet Values(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
    Packet p{};
    const std::int32_t v[] = {a, b, c, d};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            p[i * 4 + j] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(v[i]) >> (24 - 8 * j));
    }
    return p;
}

TEST_F(SourceTest, RegisterFileWithoutItsExactFirstLineIsRefused) {
    ctrl::ParameterSource source;
    for (const std::string& bad :
         {std::string(), std::string("This is Par.dat for RVL412E. By RSE. \r\n"),
          std::string("this is Par.dat for RVL412E. By RSE.\r\n"),
          std::string("This is Par.dat for RVL412E. By RSE.\r[S0000] = 1\r")})
        EXPECT_EQ(source.Open(Write(bad)), SourceOpen::BadFormat) << bad;
    EXPECT_EQ(source.Open(folder / "none.dat"), SourceOpen::CannotOpen);
    EXPECT_EQ(source.Open(Write("This is Par.dat for RVL412E. By RSE.")), SourceOpen::Opened);
}

TEST_F(SourceTest, RegisterLinesGoFourToAPacketWithZeroForMissingLines) {
    const struct {
        const char* name;
        std::string file;
        std::vector<Packet> packets;
    } cases[] = {
        {"identification only", RegisterFile({}), {}},
        {"six lines",
         RegisterFile({"1", "2", "3", "4", "5", "6"}),
         {Values(1, 2, 3, 4), Values(5, 6, 0, 0)}},
        {"LF ends read alike",
         RegisterFile({"1", "2", "3", "4", "5", "6"}, "\n"),
         {Values(1, 2, 3, 4), Values(5, 6, 0, 0)}},
        {"value rule",
         RegisterFile({"-25", "250", "12ab", "abc", "", " +7", "2147483647"}),
         {Values(-25, 250, 12, 0), Values(0, 7, 2147483647, 0)}},
        {"short lines and no final LF",
         "This is Par.dat for RVL412E. By RSE.\r\n[S00] = 9\r\n[S0001]=99\r\n\r\n[S0003] = 4",
         {Values(0, 0, 0, 4)}},
    };
    for (const auto& c : cases) {
        ctrl::ParameterSource source;
        ASSERT_EQ(source.Open(Write(c.file)), SourceOpen::Opened) << c.name;
        EXPECT_EQ(Drain(source, Packet{}), c.packets) << c.name;
    }
}

TEST_F(SourceTest, CompleteRegisterFileGives1024PacketsInRegisterOrder) {
    std::vector<std::string> values;
    for (int k = 0; k < 4096; ++k)
        values.push_back(std::to_string(k * 3 - 5000));
    ctrl::ParameterSource source;
    source.pageNumber = 1;
    ASSERT_EQ(source.Open(Write(RegisterFile(values))), SourceOpen::Opened);
    Packet header{};
    source.BuildHeaderPacket(header);
    EXPECT_EQ(header[0], 0);
    EXPECT_EQ(header[1], 1);
    const std::vector<Packet> packets = Drain(source, header);
    ASSERT_EQ(packets.size(), 1024u);
    for (int k : {0, 1, 2, 3, 4, 2047, 4095}) {
        const Packet& p = packets[k / 4];
        const std::size_t at = 4 * (k % 4);
        const auto v =
            static_cast<std::int32_t>(std::uint32_t{p[at]} << 24 | std::uint32_t{p[at + 1]} << 16 |
                                      std::uint32_t{p[at + 2]} << 8 | p[at + 3]);
        EXPECT_EQ(v, k * 3 - 5000) << k;
    }
}

struct ScreenCase {
    const char* name;
    ctrl::ScreenTarget target;
    ctrl::ScreenRange range;
    Packet header;
};

void PrintTo(const ScreenCase& c, std::ostream* os) {
    *os << c.name;
}

class ScreenTargetTest : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenTargetTest, RangeAndHeader) {
    const ScreenCase& c = GetParam();
    EXPECT_EQ(ctrl::CheckScreenTarget(c.target), c.range);
    if (c.range == ctrl::ScreenRange::Ok) {
        EXPECT_EQ(ctrl::ScreenHeader(c.target), c.header);
    }
}

using K = ctrl::ScreenKind;
using R = ctrl::ScreenRange;
INSTANTIATE_TEST_SUITE_P(
    Kinds, ScreenTargetTest,
    ::testing::Values(
        ScreenCase{"ParameterAtTheLimits",
                   {K::Parameter, 767, {0, 100, 4095, 12}},
                   R::Ok,
                   Packet{0, 1, 2, 255, 0, 0, 0, 100, 15, 255, 0, 12}},
        ScreenCase{"ParameterScreenNumberFirst",
                   {K::Parameter, 768, {5000, 0, 0, 0}},
                   R::ScreenNumberTooHigh,
                   {}},
        ScreenCase{
            "ParameterRegister", {K::Parameter, 3, {0, 0, 0, 4096}}, R::RegisterNumberTooHigh, {}},
        ScreenCase{"StatusIgnoresRegisters",
                   {K::Status, 5, {9999, 9999, 9999, 9999}},
                   R::Ok,
                   Packet{0, 2, 0, 5}},
        ScreenCase{"StatusScreenNumber", {K::Status, 768, {}}, R::ScreenNumberTooHigh, {}},
        ScreenCase{
            "StartupChecksAndSendsNothing", {K::Startup, 999, {9999, 1, 2, 3}}, R::Ok, Packet{}},
        ScreenCase{"NoLowerBound",
                   {K::Parameter, -1, {-2, 0, 0, 0}},
                   R::Ok,
                   Packet{0, 1, 255, 255, 255, 254}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SourceTest, ScreenDataGoesOutIn64PiecesOf16) {
    std::string data;
    for (int i = 0; i < 1024; ++i)
        data += static_cast<char>(i * 7);
    ctrl::ScreenSource source;
    ASSERT_TRUE(source.Open(Write(data, "dat01.dat")));
    const std::vector<Packet> packets = Drain(source, Packet{});
    ASSERT_EQ(packets.size(), 64u);
    EXPECT_EQ(std::string(packets[63].begin(), packets[63].end()), data.substr(1008));
    EXPECT_FALSE(source.Open(folder / "none.dat"));
}

// What goes out is the file as it was when the download started: one that shrinks or changes
// afterwards is neither sent short nor mixed.
TEST_F(SourceTest, EachKindSendsTheFileAsItWasWhenOpened) {
    const std::string program = std::string(ctrl::kObjectHeader) + Records(40);
    const std::string registers = std::string(registers::kIdentification) + "\r\nR0000=    7\r\n";
    const std::string screen(1024, '\x5a');
    ctrl::ProgramSource programSource;
    ctrl::ParameterSource parameterSource;
    ctrl::ScreenSource screenSource;
    const struct {
        const char* name;
        ctrl::DownloadSource& source;
        std::string bytes;
        std::function<bool(const fs::path&)> open;
    } kinds[] = {
        {"program", programSource, program,
         [&](const fs::path& p) { return programSource.Open(p) == SourceOpen::Opened; }},
        {"params", parameterSource, registers,
         [&](const fs::path& p) { return parameterSource.Open(p) == SourceOpen::Opened; }},
        {"screen", screenSource, screen, [&](const fs::path& p) { return screenSource.Open(p); }},
    };
    for (const auto& kind : kinds) {
        const fs::path file = Write(kind.bytes, kind.name);
        ASSERT_TRUE(kind.open(file)) << kind.name;
        const std::vector<Packet> whole = Drain(kind.source, Packet{});
        ASSERT_TRUE(kind.open(file)) << kind.name;
        fs::resize_file(file, kind.bytes.size() / 2);
        Write(std::string(kind.bytes.size() / 2, '\x01'), kind.name);
        EXPECT_EQ(Drain(kind.source, Packet{}), whole) << kind.name;
    }
}

TEST_F(SourceTest, FilesLargerThanTheirKindCanHoldAreRefusedUnread) {
    ctrl::ProgramSource program;
    EXPECT_EQ(program.Open(Write(std::string(ctrl::kObjectHeader) + Records(2048) + "x")),
              SourceOpen::BadFormat);
    EXPECT_EQ(program.Open("/dev/zero"), SourceOpen::BadFormat);
    ctrl::ParameterSource parameters;
    EXPECT_EQ(parameters.Open("/dev/zero"), SourceOpen::BadFormat);
    ctrl::ScreenSource screen;
    ASSERT_TRUE(screen.Open("/dev/zero"));
    EXPECT_EQ(Drain(screen, Packet{}).size(), 64u);
}

}  // namespace
