#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulator/Replay.h"
#include "tests/support/TempFolder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t command) {
    Bytes frame(18, 0x33);
    frame.front() = command;
    frame.back() = 85;
    return frame;
}

// What the controller answers to each unit fed, one row per unit.
std::vector<Bytes> FeedUnits(emu::ReplayController& controller, const std::vector<Bytes>& units) {
    std::vector<Bytes> answers;
    for (const Bytes& unit : units) {
        Bytes answer;
        for (const std::uint8_t b : unit) {
            const Bytes part = controller.Feed(b);
            answer.insert(answer.end(), part.begin(), part.end());
        }
        answers.push_back(answer);
    }
    return answers;
}

class ReplayTest : public testsupport::TempFolder {
protected:
    ReplayTest() : TempFolder("tarvex-replay") {}

    std::vector<emu::ReplayStep> Script(const std::string& text) {
        std::vector<wire::Line> lines;
        std::string error;
        EXPECT_TRUE(emu::ReadTrace(Write(text, "trace.txt"), lines, error)) << error;
        return emu::ReplayScript(lines);
    }
};

const std::string kHeader = wire::Format({0, wire::Direction::Tx, Frame(18), {}});
const std::string kData = wire::Format({0, wire::Direction::Tx, Frame(3), {}});

TEST_F(ReplayTest, AnswersEachUnitAsTheTraceDid) {
    const auto steps = Script(
        "+0000.100 RX 07  unexpected\n"  // read before anything was written: no answer to replay
        "+0000.100 TX 01  handshake\n"
        "+0000.600 RX 07\n"
        "+0000.600 RX 01  handshake\n"
        "\n"
        "+0000.600 TX 02  start\n"
        "+0000.610 RX 02  acknowledge\n" +
        kHeader +
        "\n"
        "+0000.620 RX 5A  resend request\n" +
        kHeader + "\n" + kData +
        "\n"
        "+0001.620 TX 04 88\n");  // two units on one line, as a hand-made trace may have
    ASSERT_EQ(steps.size(), 7u);
    emu::ReplayController controller(steps);
    const std::vector<Bytes> answers =
        FeedUnits(controller, {{1}, {2}, Frame(18), Frame(18), Frame(3), {4}, {136}, {1}});
    const std::vector<Bytes> expected = {{7, 1}, {2}, {90}, {}, {}, {}, {}, {}};
    EXPECT_EQ(answers, expected);
    EXPECT_EQ(controller.StepsLeft(), 0u);
    EXPECT_EQ(controller.Mismatches(), 0);
}

TEST_F(ReplayTest, AnswersInOrderWhateverTheHostWrites) {
    emu::ReplayController controller(
        Script("+0000.000 TX 01\n+0000.001 RX 01\n"
               "+0000.002 TX 02\n+0000.003 RX 02\n"));
    EXPECT_EQ(FeedUnits(controller, {{5}, Frame(21)}), (std::vector<Bytes>{{1}, {2}}));
    EXPECT_EQ(controller.Mismatches(), 2);
}

TEST_F(ReplayTest, UnreadableTracesAreNamed) {
    std::vector<wire::Line> lines;
    std::string error;
    EXPECT_FALSE(emu::ReadTrace(folder / "missing.txt", lines, error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;
    const auto path = Write("+0000.000 TX 01\n\n+0000.001 RX 01 handshake\n", "bad.txt");
    EXPECT_FALSE(emu::ReadTrace(path, lines, error));
    EXPECT_NE(error.find("bad.txt line 3"), std::string::npos) << error;
}

}  // namespace
