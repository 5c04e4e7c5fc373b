// Number text that a comma locale in the host cannot change.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "CommaLocale.h"
#include "LocaleFreeNumber.h"

namespace {

using plugin::FormatFixed;
using plugin::ParseDouble;

TEST(LocaleFreeNumber, FixedTextMatchesPrintfInTheCLocale) {
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
      {1.0, 6, "1.000000"},       {-3.5, 2, "-3.50"},   {0.00000051, 6, "0.000001"}, {-0.0, 6, "-0.000000"},
      {20480.0, 1, "20480.0"},    {11.2246, 1, "11.2"}, {HUGE_VAL, 6, "inf"},       {-HUGE_VAL, 2, "-inf"},
      {0.125, 2, "0.12"}, // ties round to even, as printf does
  };
  for (const auto& row : table) EXPECT_EQ(FormatFixed(row.v, row.decimals), row.text);
}

TEST(LocaleFreeNumber, TheBufferFormCutsAndReportsTheFullLength) {
  char buf[5];
  EXPECT_EQ(FormatFixed(123.456, 2, buf, sizeof buf), 6);
  EXPECT_STREQ(buf, "123.");
  EXPECT_EQ(FormatFixed(1e300, 17, nullptr, 0), 301 + 1 + 17);
}

TEST(LocaleFreeNumber, ParsingAcceptsWhatScanningAccepts) {
  const struct {
    const char* text;
    bool ok;
    double v;
  } table[] = {
      {"1.5", true, 1.5},        {"  -2.25", true, -2.25}, {"+4", true, 4.0},      {"1e3", true, 1000.0},
      {"3.5abc", true, 3.5},     {".5", true, 0.5},        {"0x10", true, 16.0},   {"0x1p-2", true, 0.25},
      {"1e999", true, HUGE_VAL}, {"-1e999", true, -HUGE_VAL}, {"1e-999", true, 0.0}, {"INF", true, HUGE_VAL},
      {"", false, 0},            {"abc", false, 0},        {"--1", false, 0},      {"+-1", false, 0},
      {"1,5", true, 1.0}, // a comma ends the number in every locale
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

TEST(LocaleFreeNumber, ACommaLocaleChangesNeitherFormattingNorParsing) {
  testsupport::CommaLocale locale;
  if (!locale.Active()) GTEST_SKIP() << "no comma locale can be made here";
  char printed[32];
  std::snprintf(printed, sizeof printed, "%f", 0.5);
  ASSERT_STREQ(printed, "0,500000"); // the locale is really in force
  EXPECT_EQ(FormatFixed(0.5, 6), "0.500000");
  double v = 0.0;
  ASSERT_TRUE(ParseDouble("2.75", v));
  EXPECT_EQ(v, 2.75);
}

} // namespace
