// Fingerprint and reference files against bytes written out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <vector>

#include <unistd.h>

#include "CurveFile.h"
#include <optional>
#include "TempFolder.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

class CurveFileTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    mFolder.emplace();
    mDir = mFolder->Path();
  }
  void TearDown() override { mFolder.reset(); }

  std::string Path(const char* name) const { return (mDir / name).string(); }

  static Bytes ReadAll(const std::string& path)
  {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteAll(const std::string& path, const Bytes& bytes)
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  static Vorelle3CurveRecord TwoPoints()
  {
    Vorelle3CurveRecord r;
    r.Resize(2);
    r.freq[0] = 10.0;
    r.freq[1] = 20.0;
    r.mag[0] = 0.5;
    r.mag[1] = 0.25;
    return r;
  }

  std::optional<testsupport::TempFolder> mFolder;
  fs::path mDir;
};

// 10.0, 20.0, 0.5 and 0.25 as little-endian IEEE-754 doubles.
const Bytes kTwoPointValues = {
  0, 0, 0, 0, 0, 0, 0x24, 0x40, 0, 0, 0, 0, 0, 0, 0x34, 0x40, // frequencies
  0, 0, 0, 0, 0, 0, 0xE0, 0x3F, 0, 0, 0, 0, 0, 0, 0xD0, 0x3F, // magnitudes
};

Bytes Concat(Bytes head, const Bytes& tail)
{
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

const Bytes kFingerprintGolden = Concat({0x20, 0x4C, 0x52, 0x56, 3, 0, 0, 0, 2, 0, 0, 0}, kTwoPointValues);
const Bytes kReferenceGolden = Concat({0x20, 0x46, 0x45, 0x52, 3, 0, 0, 0, 2, 0, 0, 0}, kTwoPointValues);

TEST_F(CurveFileTest, WrittenFilesMatchTheFixedLayoutByteForByte)
{
  const Vorelle3CurveRecord curve = TwoPoints();
  ASSERT_TRUE(WriteCurveFile(Path("a.vrl").c_str(), ECurveFileType::kFingerprint, curve));
  ASSERT_TRUE(WriteCurveFile(Path("a.ref").c_str(), ECurveFileType::kReference, curve));
  EXPECT_EQ(ReadAll(Path("a.vrl")), kFingerprintGolden);
  EXPECT_EQ(ReadAll(Path("a.ref")), kReferenceGolden);
}

TEST_F(CurveFileTest, HandWrittenFilesReadBackTheirValues)
{
  WriteAll(Path("g.vrl"), kFingerprintGolden);
  std::vector<double> f, m;
  ASSERT_EQ(ReadCurveFile(Path("g.vrl").c_str(), ECurveFileType::kFingerprint, 2, f, m), ECurveFileStatus::kOK);
  EXPECT_EQ(f, (std::vector<double>{10.0, 20.0}));
  EXPECT_EQ(m, (std::vector<double>{0.5, 0.25}));
}

TEST_F(CurveFileTest, SaveThenLoadIsBitExactForAnalyserSizedCurves)
{
  std::mt19937_64 rng(20240617);
  Vorelle3CurveRecord curve;
  curve.Resize(67);
  for (int k = 0; k < 67; ++k) {
    uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    curve.freq[k] = 10.0 * std::exp2(k / 6.0);
    curve.mag[k] = std::isfinite(v) ? v : std::numeric_limits<double>::denorm_min();
  }
  for (ECurveFileType type : {ECurveFileType::kFingerprint, ECurveFileType::kReference}) {
    const std::string path = Path("rt.bin");
    ASSERT_TRUE(WriteCurveFile(path.c_str(), type, curve));
    EXPECT_EQ(fs::file_size(path), 12u + 16u * 67u);
    std::vector<double> f, m;
    ASSERT_EQ(ReadCurveFile(path.c_str(), type, 67, f, m), ECurveFileStatus::kOK);
    EXPECT_EQ(std::memcmp(f.data(), curve.freq, 67 * sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(m.data(), curve.mag, 67 * sizeof(double)), 0);
  }
}

TEST_F(CurveFileTest, EachTypeIsRefusedByTheOthersReader)
{
  WriteAll(Path("f.vrl"), kFingerprintGolden);
  WriteAll(Path("r.ref"), kReferenceGolden);
  std::vector<double> f, m;
  EXPECT_EQ(ReadCurveFile(Path("f.vrl").c_str(), ECurveFileType::kReference, 2, f, m), ECurveFileStatus::kWrongType);
  EXPECT_EQ(ReadCurveFile(Path("r.ref").c_str(), ECurveFileType::kFingerprint, 2, f, m), ECurveFileStatus::kWrongType);
  EXPECT_STREQ(CurveFileMessage(ECurveFileStatus::kWrongType), "Wrong File Type");
}

TEST_F(CurveFileTest, HeaderChecksRunInOrderWithTheirMessages)
{
  struct Case {
    const char* what;
    Bytes bytes;
    unsigned expected;
    ECurveFileStatus status;
    const char* message;
  };
  const std::vector<Case> cases = {
    {"version 2", Concat({0x20, 0x4C, 0x52, 0x56, 2, 0, 0, 0, 2, 0, 0, 0}, kTwoPointValues), 2,
     ECurveFileStatus::kWrongVersion, "Wrong File Version"},
    {"other band setting", kFingerprintGolden, 67, ECurveFileStatus::kWrongCount, "Wrong File"},
    {"bad magic and version", Concat({0x20, 0x4C, 0x52, 0x57, 2, 0, 0, 0, 5, 0, 0, 0}, kTwoPointValues), 2,
     ECurveFileStatus::kWrongType, "Wrong File Type"},
    {"bad version and count", Concat({0x20, 0x4C, 0x52, 0x56, 4, 0, 0, 0, 5, 0, 0, 0}, kTwoPointValues), 2,
     ECurveFileStatus::kWrongVersion, "Wrong File Version"},
  };
  for (const Case& c : cases) {
    WriteAll(Path("h.vrl"), c.bytes);
    std::vector<double> f{1.0}, m{2.0};
    EXPECT_EQ(ReadCurveFile(Path("h.vrl").c_str(), ECurveFileType::kFingerprint, c.expected, f, m), c.status) << c.what;
    EXPECT_STREQ(CurveFileMessage(c.status), c.message) << c.what;
    EXPECT_EQ(f, std::vector<double>{1.0}) << c.what;
  }
}

TEST_F(CurveFileTest, EveryTruncationIsRefusedAndLeavesTheOutputsAlone)
{
  for (size_t len = 0; len < kFingerprintGolden.size(); ++len) {
    WriteAll(Path("t.vrl"), Bytes(kFingerprintGolden.begin(), kFingerprintGolden.begin() + long(len)));
    std::vector<double> f{7.0}, m{8.0};
    const ECurveFileStatus s = ReadCurveFile(Path("t.vrl").c_str(), ECurveFileType::kFingerprint, 2, f, m);
    const ECurveFileStatus want = len < 4    ? ECurveFileStatus::kWrongType
                                  : len < 8  ? ECurveFileStatus::kWrongVersion
                                  : len < 12 ? ECurveFileStatus::kWrongCount
                                             : ECurveFileStatus::kTruncated;
    EXPECT_EQ(s, want) << "length " << len;
    EXPECT_EQ(f, std::vector<double>{7.0});
    EXPECT_EQ(m, std::vector<double>{8.0});
  }
}

TEST_F(CurveFileTest, NonFiniteValuesAreRefused)
{
  const double bad[] = {std::nan(""), HUGE_VAL, -HUGE_VAL};
  for (double v : bad) {
    for (int slot = 0; slot < 4; ++slot) {
      Bytes bytes = kFingerprintGolden;
      std::memcpy(bytes.data() + 12 + 8 * slot, &v, sizeof v);
      WriteAll(Path("n.vrl"), bytes);
      std::vector<double> f, m;
      EXPECT_EQ(ReadCurveFile(Path("n.vrl").c_str(), ECurveFileType::kFingerprint, 2, f, m),
                ECurveFileStatus::kNotFinite);
      EXPECT_TRUE(f.empty());
    }
  }
}

TEST_F(CurveFileTest, MissingFilesAndUnwritableFoldersFailWithoutAMessage)
{
  std::vector<double> f, m;
  EXPECT_EQ(ReadCurveFile(Path("none.vrl").c_str(), ECurveFileType::kFingerprint, 2, f, m),
            ECurveFileStatus::kCannotOpen);
  EXPECT_EQ(ReadCurveFile("", ECurveFileType::kFingerprint, 2, f, m), ECurveFileStatus::kCannotOpen);
  EXPECT_EQ(CurveFileMessage(ECurveFileStatus::kCannotOpen), nullptr);
  const std::string inMissingFolder = Path("no/such/folder/a.vrl");
  EXPECT_FALSE(WriteCurveFile(inMissingFolder.c_str(), ECurveFileType::kFingerprint, TwoPoints()));
  EXPECT_FALSE(fs::exists(inMissingFolder));
  EXPECT_FALSE(WriteCurveFile("", ECurveFileType::kFingerprint, TwoPoints()));
}

TEST_F(CurveFileTest, AFullDeviceMakesTheWriterFail)
{
  if (!fs::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  EXPECT_FALSE(WriteCurveFile("/dev/full", ECurveFileType::kReference, TwoPoints()));
}

} // namespace
