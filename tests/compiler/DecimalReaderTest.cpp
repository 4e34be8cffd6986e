#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "compiler/DecimalReader.h"

namespace {

using compiler::ReadDecimal;

struct Reading {
    const char* text;
    double value;
};

class ReadsDecimal : public testing::TestWithParam<Reading> {};

TEST_P(ReadsDecimal, AsTheLongestNumberAtTheStart) {
    EXPECT_EQ(ReadDecimal(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadsDecimal,
    testing::Values(Reading{"12AB", 12}, Reading{"1.9", 1.9}, Reading{"1E3", 1000},
                    Reading{"1e3", 1000}, Reading{"-.5", -0.5}, Reading{"-", 0}, Reading{"", 0},
                    Reading{"X", 0}, Reading{"-X", 0}, Reading{".", 0}, Reading{"-.", 0},
                    Reading{"1.", 1}, Reading{"1E", 1}, Reading{"1E+", 1}, Reading{"1E-", 1},
                    Reading{"1E+2", 100}, Reading{"2.5E-1", 0.25}, Reading{"1.2.3", 1.2},
                    Reading{"0X1F", 0}, Reading{"--5", 0}, Reading{"+5", 0}, Reading{"5 6", 5},
                    Reading{"007", 7}, Reading{"1,5", 1}, Reading{"-0", -0.0},
                    Reading{"1E99999999999999999999", std::numeric_limits<double>::infinity()},
                    Reading{"-1E400", -std::numeric_limits<double>::infinity()},
                    Reading{"1E-400", 0}, Reading{"0.000E999999", 0}));

TEST(ReadDecimal, ReadsAHundredThousandDigitsWithoutTrouble) {
    const std::string digits(100000, '9');
    EXPECT_TRUE(std::isinf(ReadDecimal(digits)));
    EXPECT_EQ(ReadDecimal("0." + digits), 1.0);
}

TEST(TruncateToInt32, TruncatesTowardZeroAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(compiler::TruncateToInt32(1.9), 1);
    EXPECT_EQ(compiler::TruncateToInt32(-1.9), -1);
    EXPECT_EQ(compiler::TruncateToInt32(2147483647.9), 2147483647);
    EXPECT_EQ(compiler::TruncateToInt32(-2147483648.9), -2147483648LL);
    EXPECT_FALSE(compiler::TruncateToInt32(2147483648.0));
    EXPECT_FALSE(compiler::TruncateToInt32(-2147483649.0));
    EXPECT_FALSE(compiler::TruncateToInt32(std::numeric_limits<double>::infinity()));
}

TEST(ToFloatBits, RoundsToNearestSingleAndOverflowsToInfinity) {
    EXPECT_EQ(compiler::ToFloatBits(1.5), 0x3FC00000u);
    EXPECT_EQ(compiler::ToFloatBits(-0.0), 0x80000000u);
    EXPECT_EQ(compiler::ToFloatBits(1e39), 0x7F800000u);
    EXPECT_EQ(compiler::ToFloatBits(-1e39), 0xFF800000u);
    EXPECT_EQ(compiler::ToFloatBits(3.4028235e38), 0x7F7FFFFFu);
    EXPECT_EQ(compiler::ToFloatBits(1e-46), 0x00000000u);
    EXPECT_EQ(compiler::ToFloatBits(1.4e-45), 0x00000001u);
}

}  // namespace
