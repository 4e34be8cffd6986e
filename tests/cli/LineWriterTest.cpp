#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/LineWriter.h"

namespace {

TEST(LineWriterTest, EveryLineOfATextGetsThePrefixOnce) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"unit 1000: passed", "p: unit 1000: passed\n"},       {"one\ntwo", "p: one\np: two\n"},
        {"ends with a newline\n", "p: ends with a newline\n"}, {"", "p: \n"},
        {"gap\n\nafter", "p: gap\np: \np: after\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        cli::LineWriter writer(out);
        writer.Write("p: ", c.text);
        EXPECT_EQ(out.str(), c.written) << c.text;
    }
}

// Ports' loops writing at once: every line arrives whole, each port's in its own order.
TEST(LineWriterTest, LinesFromSeveralThreadsNeverInterleave) {
    constexpr int kThreads = 8;
    constexpr int kLines = 400;
    std::ostringstream out;
    cli::LineWriter writer(out);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&writer, t] {
            const std::string prefix = "port" + std::to_string(t) + ": ";
            for (int i = 0; i < kLines; ++i)
                writer.Write(prefix, "line " + std::to_string(i) + "\nmore " + std::to_string(i));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    std::istringstream in(out.str());
    std::map<std::string, int> next;  // per port: the line number expected next
    std::map<std::string, bool> more;
    int count = 0;
    for (std::string line; std::getline(in, line); ++count) {
        const std::size_t colon = line.find(": ");
        ASSERT_NE(colon, std::string::npos) << line;
        const std::string port = line.substr(0, colon);
        const std::string rest = line.substr(colon + 2);
        const std::string expected = (more[port] ? "more " : "line ") + std::to_string(next[port]);
        ASSERT_EQ(rest, expected) << "a line cut or out of order: " << line;
        if (more[port])
            ++next[port];
        more[port] = !more[port];
    }
    EXPECT_EQ(count, kThreads * kLines * 2);
    EXPECT_EQ(next.size(), static_cast<std::size_t>(kThreads));
}

}  // namespace
