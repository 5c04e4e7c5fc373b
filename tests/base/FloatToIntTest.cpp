// The checked float-to-integer conversion: every float gives a defined
// integer, in range values convert as a cast does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "FloatToInt.h"

namespace {

using plugin::FloatToInt;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(FloatToInt, OutOfRangeClampsAndNaNGivesTheStatedValue)
{
  struct Case {
    double v;
    long long asInt, asUnsigned, asShort, asByte;
  } cases[] = {
    {0.0, 0, 0, 0, 0},
    {-0.0, 0, 0, 0, 0},
    {2.9, 2, 2, 2, 2},
    {-2.9, -2, 0, -2, 0},
    {-0.99, 0, 0, 0, 0},
    {255.5, 255, 255, 255, 255},
    {256.0, 256, 256, 256, 255},
    {32767.9, 32767, 32767, 32767, 255},
    {32768.0, 32768, 32768, 32767, 255},
    {-32768.5, -32768, 0, -32768, 0},
    {-32769.0, -32769, 0, -32768, 0},
    {2147483647.0, 2147483647, 2147483647, 32767, 255},
    {2147483648.0, 2147483647, 2147483648LL, 32767, 255},
    {-2147483648.0, -2147483647 - 1, 0, -32768, 0},
    {-2147483649.0, -2147483647 - 1, 0, -32768, 0},
    {4294967295.0, 2147483647, 4294967295LL, 32767, 255},
    {4294967296.0, 2147483647, 4294967295LL, 32767, 255},
    {1e30, 2147483647, 4294967295LL, 32767, 255},
    {-1e30, -2147483647 - 1, 0, -32768, 0},
    {kInf, 2147483647, 4294967295LL, 32767, 255},
    {-kInf, -2147483647 - 1, 0, -32768, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FloatToInt<int>(c.v), c.asInt) << c.v;
    EXPECT_EQ(FloatToInt<uint32_t>(c.v), c.asUnsigned) << c.v;
    EXPECT_EQ(FloatToInt<short>(c.v), c.asShort) << c.v;
    EXPECT_EQ(FloatToInt<uint8_t>(c.v), c.asByte) << c.v;
    // The float type changes nothing where the value is exact in float.
    if (static_cast<double>(static_cast<float>(c.v)) == c.v) {
      EXPECT_EQ(FloatToInt<int>(static_cast<float>(c.v)), c.asInt) << c.v;
    }
  }
  EXPECT_EQ(FloatToInt<int>(kNaN), 0);
  EXPECT_EQ(FloatToInt<int>(kNaN, 7), 7);
  EXPECT_EQ(FloatToInt<uint32_t>(-kNaN, 9u), 9u);
  EXPECT_EQ(FloatToInt<int64_t>(1e300), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(FloatToInt<int64_t>(-1e300), std::numeric_limits<int64_t>::min());
}

TEST(FloatToInt, InRangeValuesTruncateTowardZeroAsACastDoes)
{
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> v(-2.1e9, 2.1e9);
  for (int i = 0; i < 10000; i++) {
    const double d = v(rng) / std::pow(10.0, i % 10);
    ASSERT_EQ(FloatToInt<int>(d), static_cast<int>(std::trunc(d))) << d;
  }
}

} // namespace
