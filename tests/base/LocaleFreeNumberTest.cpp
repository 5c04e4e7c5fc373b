// Number text that a comma locale in the host cannot change.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <random>

#include "CommaLocale.h"
#include "LocaleFreeNumber.h"

namespace {

using plugin::FormatFixed;
using plugin::ParseDouble;

TEST(LocaleFreeNumber, FixedTextMatchesPrintfInTheCLocale)
{
  std::mt19937_64 rng(77);
  std::uniform_real_distribution<double> mag(-1e6, 1e6);
  std::uniform_int_distribution<int> expo(-30, 30);
  char want[512];
  for (int i = 0; i < 2000; ++i) {
    const double v = mag(rng) * std::pow(10.0, expo(rng));
    for (int decimals : {0, 1, 2, 6, 17}) {
      std::snprintf(want, sizeof want, "%.*f", decimals, v);
      ASSERT_EQ(FormatFixed(v, decimals), want) << v;
    }
  }
  const struct {
    double v;
    int decimals;
    const char* text;
  } table[] = {
    {1.0, 6, "1.000000"},   {-3.5, 2, "-3.50"},      {0.00000051, 6, "0.000001"},
    {-0.0, 6, "-0.000000"}, {20480.0, 1, "20480.0"}, {11.2246, 1, "11.2"},
    {HUGE_VAL, 6, "inf"},   {-HUGE_VAL, 2, "-inf"},  {0.125, 2, "0.12"}, // ties round to even, as printf does
  };
  for (const auto& row : table)
    EXPECT_EQ(FormatFixed(row.v, row.decimals), row.text);
}

TEST(LocaleFreeNumber, TheBufferFormCutsAndReportsTheFullLength)
{
  char buf[5];
  EXPECT_EQ(FormatFixed(123.456, 2, buf, sizeof buf), 6);
  EXPECT_STREQ(buf, "123.");
  EXPECT_EQ(FormatFixed(1e300, 17, nullptr, 0), 301 + 1 + 17);
}

TEST(LocaleFreeNumber, ParsingAcceptsWhatScanningAccepts)
{
  const struct {
    const char* text;
    bool ok;
    double v;
  } table[] = {
    {"1.5", true, 1.5},
    {"  -2.25", true, -2.25},
    {"+4", true, 4.0},
    {"1e3", true, 1000.0},
    {"3.5abc", true, 3.5},
    {".5", true, 0.5},
    {"0x10", true, 16.0},
    {"0x1p-2", true, 0.25},
    {"1e999", true, HUGE_VAL},
    {"-1e999", true, -HUGE_VAL},
    {"1e-999", true, 0.0},
    {"INF", true, HUGE_VAL},
    {"", false, 0},
    {"abc", false, 0},
    {"--1", false, 0},
    {"+-1", false, 0},
    {"1,5", true, 1.0}, // a comma ends the number in every locale
    // The scanner collects first and converts what it collected; it
    // never steps back.
    {"0xnan", false, 0},
    {"0x2p+-91", true, 2.0},
    {"0x", false, 0},
    {"0xp1", false, 0},
    {"0x.", true, 0.0},
    {"0x1p", true, 1.0},
    {"infinit", false, 0},
    {"infinity", true, HUGE_VAL},
    {"infx", true, HUGE_VAL},
    {"na", false, 0},
    {"1e+", true, 1.0},
    {"0x1p-1075", true, 0.0},
    {"0x1p-1074", true, 4.9406564584124654e-324},
  };
  for (const auto& row : table) {
    double v = -99.0;
    EXPECT_EQ(ParseDouble(row.text, v), row.ok) << row.text;
    double want = -99.0;
    const bool scanned = std::sscanf(row.text, "%lf", &want) == 1;
    EXPECT_EQ(scanned, row.ok) << row.text << " (scanf disagrees)";
    if (row.ok) {
      EXPECT_EQ(v, row.v) << row.text;
      EXPECT_EQ(v, want) << row.text;
    } else {
      EXPECT_EQ(v, -99.0) << row.text;
    }
  }
  double nan = 0.0;
  EXPECT_TRUE(ParseDouble("nan", nan));
  EXPECT_TRUE(std::isnan(nan));
  EXPECT_FALSE(ParseDouble(nullptr, nan));
}

// Random text over the characters numbers are made of, read by the parser
// and by sscanf in the "C" locale; the reference is taken before any locale
// change.
struct Scanned {
  std::string text;
  bool ok;
  double v;
};

std::vector<Scanned> ScannedSamples()
{
  std::mt19937 rng(1234);
  static const char alphabet[] = "0123456789abcdefxXpPeE.+- nNiItTyY(";
  std::vector<Scanned> out;
  for (int i = 0; i < 200000; ++i) {
    std::string s;
    const int n = int(rng() % 14);
    for (int k = 0; k < n; ++k)
      s += alphabet[rng() % (sizeof alphabet - 1)];
    // Numbers with exponents near and past the double range.
    if (i % 4 == 0)
      s = (rng() % 2 ? "0x1." : "1.") + std::to_string(rng() % 1000) + (rng() % 2 ? "p-" : "e-") +
          std::to_string(rng() % 1200);
    double v = 0.0;
    const bool ok = std::sscanf(s.c_str(), "%lf", &v) == 1;
    out.push_back({s, ok, v});
  }
  return out;
}

bool SameReading(const Scanned& want, bool ok, double v)
{
  if (ok != want.ok)
    return false;
  if (!ok)
    return true;
  return (std::isnan(v) && std::isnan(want.v)) || std::memcmp(&v, &want.v, sizeof v) == 0;
}

TEST(LocaleFreeNumber, ParsingReadsExactlyWhatScanningReadsInEveryLocale)
{
  const std::vector<Scanned> samples = ScannedSamples();
  for (const Scanned& s : samples) {
    double v = 0.0;
    const bool ok = ParseDouble(s.text.c_str(), v);
    ASSERT_TRUE(SameReading(s, ok, v)) << "\"" << s.text << "\": " << ok << " " << v << ", scanf " << s.ok << " "
                                       << s.v;
  }
  testsupport::CommaLocale locale;
  if (!locale.Active())
    GTEST_SKIP() << "no comma locale can be made here";
  for (size_t i = 0; i < samples.size(); i += 7) {
    double v = 0.0;
    const bool ok = ParseDouble(samples[i].text.c_str(), v);
    ASSERT_TRUE(SameReading(samples[i], ok, v)) << samples[i].text;
  }
}

TEST(LocaleFreeNumber, ACommaLocaleChangesNeitherFormattingNorParsing)
{
  testsupport::CommaLocale locale;
  if (!locale.Active())
    GTEST_SKIP() << "no comma locale can be made here";
  char printed[32];
  std::snprintf(printed, sizeof printed, "%f", 0.5);
  ASSERT_STREQ(printed, "0,500000"); // the locale is really in force
  EXPECT_EQ(FormatFixed(0.5, 6), "0.500000");
  double v = 0.0;
  ASSERT_TRUE(ParseDouble("2.75", v));
  EXPECT_EQ(v, 2.75);
}

} // namespace
