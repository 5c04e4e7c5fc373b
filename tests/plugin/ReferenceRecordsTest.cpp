// Built-in reference records and the source-record export, checked against
// values and layout written out here and against the compiler itself.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "CurveExports.h"
#include "ReferenceRecords.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

// What "%.<d>f" text reads back as, through the C library.
double PrintedC(double v, int decimals)
{
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return std::strtod(buf, nullptr);
}

TEST(ReferenceRecords, SectionsHaveTheFixedIndexCountAndGrid)
{
  const int counts[] = {12, 34, 67, 133, 265};
  const int bands[] = {1, 3, 6, 12, 24};
  for (int ref = 0; ref < 4; ++ref) {
    const SVLCREFDATA2& r = BuiltInReferenceRecord(ref);
    EXPECT_EQ(r.version, 3u);
    for (int s = 0; s < 5; ++s) {
      const ConstRefDataSection sec = RefDataSectionOf(r, s);
      ASSERT_EQ(*sec.index, unsigned(s));
      ASSERT_EQ(*sec.count, unsigned(counts[s]));
      for (int k = 0; k < counts[s]; ++k) {
        EXPECT_EQ(sec.freq[k], PrintedC(10.0 * std::pow(2.0, double(k) / bands[s]), 1)) << s << "/" << k;
        EXPECT_TRUE(std::isfinite(sec.mag[k]) && sec.mag[k] > 0.0) << s << "/" << k;
        EXPECT_EQ(sec.mag[k], PrintedC(sec.mag[k], 6));
      }
      EXPECT_EQ(sec.freq[0], 10.0);
      EXPECT_EQ(sec.freq[counts[s] - 1], 20480.0);
    }
  }
}

TEST(ReferenceRecords, SixPerOctaveSectionsHoldTheProductValues)
{
  struct Row {
    double hz;
    int k;
    double mag[4];
  };
  const Row rows[] = {
    {10.0, 0, {0.000032, 0.000028, 0.000038, 0.000077}},     {40.0, 12, {0.024930, 0.024966, 0.030041, 0.116313}},
    {160.0, 24, {0.033970, 0.031082, 0.040592, 0.028075}},   {1280.0, 42, {0.011734, 0.010005, 0.009932, 0.006382}},
    {10240.0, 60, {0.001908, 0.001626, 0.000754, 0.001843}}, {20480.0, 66, {0.000110, 0.000094, 0.000042, 0.000119}},
  };
  for (const Row& row : rows) {
    for (int ref = 0; ref < 4; ++ref) {
      const SVLCREFDATA2& r = BuiltInReferenceRecord(ref);
      EXPECT_EQ(r.freq2[row.k], row.hz);
      EXPECT_EQ(r.mag2[row.k], row.mag[ref]) << row.hz << " Hz, reference " << ref;
    }
  }
  EXPECT_EQ(&BuiltInReferenceRecord(7), &BuiltInReferenceRecord(0));
}

TEST(ReferenceRecords, CoarseAndFineGridsAgreeWithTheSixPerOctaveValuesWhereTheyMeet)
{
  for (int ref = 0; ref < 4; ++ref) {
    const SVLCREFDATA2& r = BuiltInReferenceRecord(ref);
    for (int k = 0; k < 12; ++k)
      EXPECT_EQ(r.mag0[k], r.mag2[6 * k]);
    for (int k = 0; k < 34; ++k)
      EXPECT_EQ(r.mag1[k], r.mag2[2 * k]);
    for (int k = 0; k < 67; ++k) {
      EXPECT_EQ(r.mag3[2 * k], r.mag2[k]);
      EXPECT_EQ(r.mag4[4 * k], r.mag2[k]);
    }
  }
}

TEST(ReferenceRecords, SourceLinesFollowTheFixedFormat)
{
  std::tm when{};
  when.tm_mday = 3;
  when.tm_mon = 1;
  when.tm_year = 124;
  when.tm_hour = 9;
  when.tm_min = 5;
  const std::string text = RefDataSourceText(BuiltInReferenceRecord(0), "mix.wav", when);
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "// Filename     : mix.wav");
  EXPECT_EQ(lines[1], "// Creation     : 03.02.2024 09.05");
  EXPECT_EQ(lines[2], "SVLCREFDATA2 ref_xxx =");
  EXPECT_EQ(lines[3], "{");
  EXPECT_EQ(lines[4], "\t3,");
  EXPECT_EQ(lines[5],
            "\t0, 12, {10.0 ,20.0 ,40.0 ,80.0 ,160.0 ,320.0 ,640.0 ,1280.0 ,2560.0 ,5120.0 ,10240.0 ,20480.0 },"
            "{0.000032 ,0.000232 ,0.024930 ,0.044429 ,0.033970 ,0.024457 ,0.016784 ,0.011734 ,0.007674 ,"
            "0.004222 ,0.001908 ,0.000110 },");
  EXPECT_EQ(lines[7].rfind("\t2, 67, {10.0 ,11.2 ,12.6 ,14.1 ,", 0), 0u);
  EXPECT_EQ(lines[9].back(), '}'); // the last section has no comma
  EXPECT_EQ(lines[10], "};");
  EXPECT_EQ(text.back(), '\n');
}

// A spectrum of nBins bins that no grid mapping leaves flat.
std::vector<double> TestSpectrum(int nBins)
{
  std::vector<double> s(static_cast<size_t>(nBins));
  for (int k = 0; k < nBins; ++k)
    s[size_t(k)] = 1.0 / (1.0 + 0.01 * k) + 0.001 * (k % 7);
  return s;
}

TEST(ReferenceRecords, AnExportedRecordCompilesAndReadsBackTheSameValues)
{
  const testsupport::TempFolder folder;
  const fs::path& dir = folder.Path();
  const std::vector<double> spectrum = TestSpectrum(16384);
  SVLCREFDATA2 record;
  ASSERT_TRUE(MapSpectrumToRecord(spectrum.data(), int(spectrum.size()), 44100.0, record));
  std::tm when{};
  ASSERT_TRUE(WriteTextFile((dir / "ref_data.cpp").string().c_str(), RefDataSourceText(record, "x", when)));
  std::ofstream(dir / "driver.cpp") << "#include <cstdio>\n"
                                       "extern SVLCREFDATA2 ref_xxx;\n"
                                       "int main(int, char** argv) {\n"
                                       "  std::FILE* f = std::fopen(argv[1], \"wb\");\n"
                                       "  std::fwrite(&ref_xxx, sizeof ref_xxx, 1, f);\n"
                                       "  return std::fclose(f);\n"
                                       "}\n";
  std::ostringstream build;
  build << "'" << VORELLE_TEST_CXX << "' -std=c++20 -w -I'" << VORELLE_PLUGIN_SOURCE_DIR
        << "' -include SVLCREFDATA2.h '" << (dir / "ref_data.cpp").string() << "' '" << (dir / "driver.cpp").string()
        << "' -o '" << (dir / "dump").string() << "'";
  ASSERT_EQ(std::system(build.str().c_str()), 0) << build.str();
  std::ostringstream run;
  run << VORELLE_TEST_RUN_PREFIX << " '" << (dir / "dump").string() << "' '" << (dir / "dump.bin").string() << "'";
  ASSERT_EQ(std::system(run.str().c_str()), 0);
  std::ifstream in(dir / "dump.bin", std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(bytes.size(), 8224u);
  SVLCREFDATA2 back;
  std::memcpy(&back, bytes.data(), sizeof back);
  EXPECT_EQ(back.version, 3u);
  for (int s = 0; s < 5; ++s) {
    const ConstRefDataSection a = RefDataSectionOf(std::as_const(record), s);
    const ConstRefDataSection b = RefDataSectionOf(std::as_const(back), s);
    ASSERT_EQ(*b.index, unsigned(s));
    ASSERT_EQ(*b.count, *a.count);
    for (unsigned k = 0; k < *a.count; ++k) {
      EXPECT_EQ(b.freq[k], PrintedC(a.freq[k], 1)) << s << "/" << k;
      EXPECT_EQ(b.mag[k], PrintedC(a.mag[k], 6)) << s << "/" << k;
    }
  }
}

TEST(ReferenceRecords, MappingRefusesSpectraItCannotPlace)
{
  SVLCREFDATA2 record;
  const double one[1] = {1.0};
  EXPECT_FALSE(MapSpectrumToRecord(nullptr, 100, 44100.0, record));
  EXPECT_FALSE(MapSpectrumToRecord(one, 1, 44100.0, record));
  const std::vector<double> s = TestSpectrum(64);
  EXPECT_FALSE(MapSpectrumToRecord(s.data(), 64, 0.0, record));
  EXPECT_FALSE(MapSpectrumToRecord(s.data(), 64, std::nan(""), record));
}

TEST(CurveExports, CSVRowsUseTwoDecimalsWithADecimalCommaAndClosingSeparators)
{
  const double freq[] = {10.0, 20.5, 1000.0};
  const double fp[] = {1.0, 0.5, 0.0};
  const double ref[] = {0.1, 1.0};
  const double diff[] = {-3.5, 0.0, 2.25};
  CurveTable table;
  table.freq = freq;
  table.fingerprint = fp;
  table.reference = ref;
  table.refCount = 2; // the third point has no reference value: silence
  table.diff = diff;
  table.count = 3;
  EXPECT_EQ(CurvesCSVText(table), "Frq (Hz);Mag Ref (dB);Mag FP (dB);Mag Diff (dB);Mag Final (dB);\n"
                                  "10,00;-20,00;0,00;-3,50;-3,50;\n"
                                  "20,50;0,00;-6,02;0,00;-6,02;\n"
                                  "1000,00;-144,00;-144,00;2,25;-141,75;\n");
}

} // namespace
