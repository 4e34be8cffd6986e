// A trace for other tools: the pcap bytes Wireshark reads and the CSV table.
#include <gtest/gtest.h>

#include <string>

#include "wire/WireExport.h"

namespace {

const std::string kTrace =
    "+0001.200 TX 01  handshake\r\n"
    "+0001.203 RX 01  handshake\r\n"
    "+0001.234 TX 03 00 03 06 09 0C 0F 12 15 18 1B 1E 21 24 27 2A 2D 55  data\r\n"
    "+0001.244 RX 5A  resend request\r\n"
    "\r\n"
    "+0001.250 RX 33 34\r\n"
    "+0002.001 TX 04  end\r\n"
    "+0002.021 RX 04  acknowledge\r\n";

TEST(WireExport, ReadsEveryTraceLineAndNamesTheOthers) {
    const wire::TraceReading r = wire::ReadTrace(kTrace + "not a line\n+0003.000 TX\n");
    EXPECT_EQ(r.lines.size(), 7u);
    EXPECT_EQ(r.faultyLines, (std::vector<std::size_t>{9, 10}));
}

TEST(WireExport, PcapHasTheUser0HeaderAndOnePacketPerLineWithDirectionMeaningAndTime) {
    const auto lines = wire::ReadTrace(kTrace).lines;
    const std::string pcap = wire::ToPcap(lines);
    const std::string header(
        "\xD4\xC3\xB2\xA1\x02\x00\x04\x00"
        "\0\0\0\0\0\0\0\0"
        "\xFF\xFF\0\0\x93\0\0\0",
        24);
    ASSERT_GE(pcap.size(), 24u);
    EXPECT_EQ(pcap.substr(0, 24), header);
    // Fourth packet: 1.244 s, 3 bytes: controller to host, resend request (7), 0x5A.
    const std::size_t second = 24 + 2 * (16 + 2 + 1) + 16 + 2 + 18;
    const std::string record("\x01\0\0\0\x20\xB9\x03\0\x03\0\0\0\x03\0\0\0\x01\x07\x5A", 19);
    EXPECT_EQ(pcap.substr(second, 19), record);
    std::size_t packets = 0;
    for (std::size_t at = 24; at + 16 <= pcap.size(); ++packets)
        at += 16 + static_cast<unsigned char>(pcap[at + 8]);
    EXPECT_EQ(packets, lines.size());
}

TEST(WireExport, CsvGivesDeltasAndTheLatencyOfEachAnswer) {
    EXPECT_EQ(wire::ToCsv(wire::ReadTrace(kTrace).lines),
              "time_ms,delta_ms,direction,bytes,meaning,latency_ms\r\n"
              "1200,,TX,01,handshake,\r\n"
              "1203,3,RX,01,handshake,3\r\n"
              "1234,31,TX,03 00 03 06 09 0C 0F 12 15 18 1B 1E 21 24 27 2A 2D 55,data,\r\n"
              "1244,10,RX,5A,resend request,10\r\n"
              "1250,6,RX,33 34,,\r\n"
              "2001,751,TX,04,end,\r\n"
              "2021,20,RX,04,acknowledge,20\r\n");
}

TEST(WireExport, TheFileNameChoosesTheFormat) {
    const auto lines = wire::ReadTrace(kTrace).lines;
    EXPECT_EQ(wire::ExportForFile("a.PCAP", lines), wire::ToPcap(lines));
    EXPECT_EQ(wire::ExportForFile("a.csv", lines), wire::ToCsv(lines));
    const std::string text = wire::ExportForFile("a.txt", lines);
    EXPECT_EQ(wire::ReadTrace(text).lines.size(), lines.size());
    EXPECT_EQ(text.substr(0, 27), "+0001.200 TX 01  handshake\n");
}

}  // namespace
