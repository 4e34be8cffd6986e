#include <gtest/gtest.h>

#include <cstdint>

#include "common/DecimalValue.h"
#include "common/PortName.h"

namespace {

TEST(DecimalValue, FollowsTheValueRule) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"250", 250},
        {"-25", -25},
        {"12ab", 12},
        {"abc", 0},
        {"", 0},
        {"  +7", 7},
        {"\t-3x", -3},
        {"- 3", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"99999999999999", 2147483647},
        {"-99999999999999", -2147483647 - 1},
        {"+", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::DecimalValue(c.text), c.value) << '"' << c.text << '"';
}

// The serial settings dialog and `tarvex download --port` read port texts the same way.
TEST(PortName, OnlyExactComNamesAndRootedPathsNamePorts) {
    const struct {
        const char* text;
        int number;  // 0: no COM port
        bool path;
    } cases[] = {
        {"COM1", 1, false},           {"COM255", 255, false}, {"COM03", 3, false},
        {"COM3x", 0, false},          {"COM0", 0, false},     {"COM256", 0, false},
        {"COM-1", 0, false},          {"COM+2", 0, false},    {"COM 2", 0, false},
        {"com2", 0, false},           {"COM", 0, false},      {"", 0, false},
        {"COM99999999999", 0, false}, {"ttyUSB0", 0, false},  {"/dev/pts/3", 0, true},
        {"/COM3", 0, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text::ComPortNumber(c.text), c.number) << c.text;
        EXPECT_EQ(text::IsDevicePath(c.text), c.path) << c.text;
        EXPECT_EQ(text::NamesPort(c.text), c.number != 0 || c.path) << c.text;
    }
}

}  // namespace
