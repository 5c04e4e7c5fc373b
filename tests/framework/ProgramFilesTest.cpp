#include "PlugUnderTest.h"

#include "Base64.h"

#include <gtest/gtest.h>

#include <cmath>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <optional>
#include "TempFolder.h"

namespace {

using namespace plugin;
using testsupport::PlugUnderTest;
namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

// Expected file contents, assembled independently of the writer.
struct Expect {
  Bytes b;
  Expect& Text(const char* s)
  {
    b.insert(b.end(), s, s + std::strlen(s));
    return *this;
  }
  Expect& BE(uint32_t v)
  {
    for (int shift = 24; shift >= 0; shift -= 8)
      b.push_back(static_cast<uint8_t>(v >> shift));
    return *this;
  }
  Expect& BEFloat(float f)
  {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return BE(u);
  }
  Expect& Name28(const char* s)
  {
    Bytes field(28, 0);
    std::memcpy(field.data(), s, std::min<size_t>(std::strlen(s), 27));
    b.insert(b.end(), field.begin(), field.end());
    return *this;
  }
  Expect& Zeros(size_t n)
  {
    b.insert(b.end(), n, 0);
    return *this;
  }
  Expect& Raw(const Bytes& more)
  {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
};

Bytes ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ChunkBytes(const IByteChunk& c) { return Bytes(c.GetData(), c.GetData() + c.Size()); }

uint32_t ReadBE(const Bytes& b, size_t at)
{
  return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}

std::vector<double> Values(const IPluginBase& plug)
{
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i)
    v.push_back(plug.GetParam(i)->Value());
  return v;
}

class ProgramFilesTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    mFolder.emplace();
    mDir = mFolder->Path();
  }
  void TearDown() override { mFolder.reset(); }
  std::string Path(const char* name) const { return (mDir / name).string(); }

  static Config ParamForm()
  {
    Config c = testsupport::TestPlugConfig();
    c.plugDoesChunks = false;
    return c;
  }

  std::optional<testsupport::TempFolder> mFolder;
  fs::path mDir;
};

const uint8_t kMark[] = {0x74, 0x66, 0x66, 0x70};

TEST_F(ProgramFilesTest, ProgramChunkFormMatchesThePublishedLayout)
{
  PlugUnderTest plug;
  plug.RestorePreset(1);
  const std::string path = Path("p.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(path.c_str()));

  IByteChunk state;
  plug.SerializeState(state);
  Bytes chunk(kMark, kMark + 4);
  chunk.insert(chunk.end(), {0x00, 0x00, 0x01, 0x00}); // 65536, little-endian
  const Bytes stateBytes = ChunkBytes(state);
  chunk.insert(chunk.end(), stateBytes.begin(), stateBytes.end());

  Expect e;
  e.Text("CcnK")
    .BE(static_cast<uint32_t>(52 + chunk.size()))
    .Text("FPCh")
    .BE(1)
    .BE(0x5A563630)
    .BE(3210)
    .BE(10)
    .Name28("Loud")
    .BE(static_cast<uint32_t>(chunk.size()))
    .Raw(chunk);
  const Bytes file = ReadFile(path);
  EXPECT_EQ(file, e.b);
  EXPECT_EQ(ReadBE(file, 4), file.size() - 8) << "byte size counts what follows it";
}

TEST_F(ProgramFilesTest, ValuesThatAreNoFiniteNumberLeaveTheirParameterAsItWas)
{
  PlugUnderTest a(ParamForm());
  a.RestorePreset(1);
  const std::string path = Path("nan.fxp");
  ASSERT_TRUE(a.SaveProgramAsFXP(path.c_str()));
  Bytes file = ReadFile(path);
  const size_t firstFloat = 60;
  const uint8_t nanBits[] = {0x7F, 0xC0, 0x00, 0x00}, infBits[] = {0x7F, 0x80, 0x00, 0x00};
  std::copy(nanBits, nanBits + 4, file.begin() + firstFloat);
  std::copy(infBits, infBits + 4, file.begin() + firstFloat + 4);
  WriteFile(path, file);
  PlugUnderTest b(ParamForm());
  const std::vector<double> before = Values(b);
  ASSERT_TRUE(b.LoadProgramFromFXP(path.c_str()));
  EXPECT_EQ(b.GetParam(0)->Value(), before[0]);
  EXPECT_EQ(b.GetParam(1)->Value(), before[1]);

  // The plain state reader too.
  std::vector<double> values = Values(a);
  values[3] = std::nan("");
  plugin::IByteChunk chunk;
  chunk.PutBytes(values.data(), static_cast<int>(values.size() * sizeof(double)));
  PlugUnderTest c(ParamForm());
  const double kept = c.GetParam(3)->Value();
  EXPECT_EQ(c.UnserializeState(chunk, 0), chunk.Size());
  EXPECT_EQ(c.GetParam(3)->Value(), kept);
  EXPECT_EQ(c.GetParam(4)->Value(), a.GetParam(4)->Value());
}

TEST_F(ProgramFilesTest, ProgramParameterFormStoresNormalisedBigEndianFloats)
{
  PlugUnderTest plug(ParamForm());
  plug.RestorePreset(1);
  const std::string path = Path("p.fxp");
  ASSERT_TRUE(plug.SaveProgramAsFXP(path.c_str()));

  Expect e;
  e.Text("CcnK").BE(48 + 40).Text("FxCk").BE(1).BE(0x5A563630).BE(3210).BE(10).Name28("Loud");
  for (int i = 0; i < 10; ++i)
    e.BEFloat(static_cast<float>(plug.GetParam(i)->GetNormalized()));
  const Bytes file = ReadFile(path);
  EXPECT_EQ(file, e.b);
  EXPECT_EQ(ReadBE(file, 4), file.size() - 8);
}

TEST_F(ProgramFilesTest, BankFormsMatchThePublishedLayout)
{
  {
    PlugUnderTest plug;
    plug.RestorePreset(2);
    const std::string path = Path("b.fxb");
    ASSERT_TRUE(plug.SaveBankAsFXB(path.c_str()));
    IByteChunk presets;
    plug.SerializePresets(presets);
    Bytes chunk(kMark, kMark + 4);
    chunk.insert(chunk.end(), {0x00, 0x00, 0x01, 0x00});
    const Bytes p = ChunkBytes(presets);
    chunk.insert(chunk.end(), p.begin(), p.end());
    Expect e;
    e.Text("CcnK")
      .BE(static_cast<uint32_t>(152 + chunk.size()))
      .Text("FBCh")
      .BE(2)
      .BE(0x5A563630)
      .BE(3210)
      .BE(3)
      .BE(2)
      .Zeros(124)
      .BE(static_cast<uint32_t>(chunk.size()))
      .Raw(chunk);
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file, e.b);
    EXPECT_EQ(ReadBE(file, 4), file.size() - 8);
  }
  {
    PlugUnderTest plug(ParamForm());
    const std::string path = Path("b.fxb");
    ASSERT_TRUE(plug.SaveBankAsFXB(path.c_str()));
    // The presets' values, normalised by a second plug-in that recalls each.
    PlugUnderTest ref(ParamForm());
    Expect e;
    e.Text("CcnK").BE(148 + 3 * (56 + 40)).Text("FxBk").BE(2).BE(0x5A563630).BE(3210).BE(3).BE(0).Zeros(124);
    const char* names[] = {"Default", "Loud", "Bypassed"};
    for (int p = 0; p < 3; ++p) {
      ref.RestorePreset(p);
      e.Text("CcnK").BE(48 + 40).Text("FxCk").BE(1).BE(0x5A563630).BE(3210).BE(10).Name28(names[p]);
      for (int i = 0; i < 10; ++i)
        e.BEFloat(static_cast<float>(ref.GetParam(i)->GetNormalized()));
    }
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file, e.b);
    EXPECT_EQ(ReadBE(file, 4), file.size() - 8);
  }
}

TEST_F(ProgramFilesTest, ProgramsAndBanksLoadBackInBothForms)
{
  for (bool chunks : {true, false}) {
    Config c = testsupport::TestPlugConfig();
    c.plugDoesChunks = chunks;
    PlugUnderTest a(c);
    a.RestorePreset(1);
    const std::string fxp = Path("p.fxp"), fxb = Path("b.fxb");
    ASSERT_TRUE(a.SaveProgramAsFXP(fxp.c_str()));
    ASSERT_TRUE(a.SaveBankAsFXB(fxb.c_str()));

    PlugUnderTest b(c);
    b.mLog.clear();
    ASSERT_TRUE(b.LoadProgramFromFXP(fxp.c_str())) << chunks;
    const std::vector<double> va = Values(a), vb = Values(b);
    for (int i = 0; i < 10; ++i)
      EXPECT_NEAR(vb[i], va[i], chunks ? 0.0 : 1e-3 * (a.GetParam(i)->GetRange())) << chunks << " param " << i;
    EXPECT_STREQ(b.GetPresetName(0), "Loud") << "the program lands in the current preset";
    EXPECT_NE(b.mLog.find("presetchange;"), std::string::npos);

    PlugUnderTest d(c);
    d.ModifyCurrentPreset("Changed");
    ASSERT_TRUE(d.LoadBankFromFXB(fxb.c_str())) << chunks;
    EXPECT_EQ(d.GetCurrentPresetIdx(), 1);
    for (int p = 0; p < 3; ++p)
      EXPECT_STREQ(d.GetPresetName(p), a.GetPresetName(p));
    if (chunks) {
      IByteChunk pa, pd;
      a.SerializePresets(pa);
      d.SerializePresets(pd);
      EXPECT_EQ(ChunkBytes(pd), ChunkBytes(pa));
    }
    EXPECT_EQ(d.GetParam(testsupport::kTestSteps)->Value(), 3.0);
  }
}

TEST_F(ProgramFilesTest, EveryTruncatedOrForeignFileIsRefusedWithoutChange)
{
  for (bool chunks : {true, false}) {
    Config c = testsupport::TestPlugConfig();
    c.plugDoesChunks = chunks;
    PlugUnderTest a(c);
    a.RestorePreset(1);
    const std::string fxp = Path("p.fxp"), fxb = Path("b.fxb"), cut = Path("cut");
    ASSERT_TRUE(a.SaveProgramAsFXP(fxp.c_str()));
    ASSERT_TRUE(a.SaveBankAsFXB(fxb.c_str()));
    for (const std::string& whole : {fxp, fxb}) {
      const Bytes bytes = ReadFile(whole);
      for (size_t len = 0; len < bytes.size(); ++len) {
        WriteFile(cut, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(len)));
        PlugUnderTest b(c);
        const std::vector<double> before = Values(b);
        const bool program = whole == fxp;
        EXPECT_FALSE(program ? b.LoadProgramFromFXP(cut.c_str()) : b.LoadBankFromFXB(cut.c_str()))
          << whole << " cut at " << len;
        EXPECT_EQ(Values(b), before) << whole << " cut at " << len;
      }
      Bytes foreign = bytes;
      foreign[19] ^= 1; // unique id
      WriteFile(cut, foreign);
      PlugUnderTest b(c);
      EXPECT_FALSE(whole == fxp ? b.LoadProgramFromFXP(cut.c_str()) : b.LoadBankFromFXB(cut.c_str()));
    }
  }
  PlugUnderTest plug;
  EXPECT_FALSE(plug.LoadProgramFromFXP(nullptr));
  EXPECT_FALSE(plug.LoadProgramFromFXP(""));
  EXPECT_FALSE(plug.LoadBankFromFXB(Path("missing.fxb").c_str()));
  EXPECT_FALSE(plug.SaveProgramAsFXP(""));
  EXPECT_FALSE(plug.SaveBankAsFXB((mDir / "no" / "such" / "folder.fxb").string().c_str()));
}

std::string ReadText(const std::string& path)
{
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(ProgramFilesTest, SourceDumpsAppendCallsInThePresetMakersForm)
{
  PlugUnderTest plug;
  const std::string path = Path("dump.txt");
  plug.DumpPresetSrcCode(path.c_str());
  plug.DumpPresetSrcCode(path.c_str());
  const std::string line = "MakePreset(\"Default\", false, 1, 0, 0.000000, 100.000000, 1000.000000, 0.250000, "
                           "1.500000, 0.000000, 0.000000);\n";
  EXPECT_EQ(ReadText(path), line + line);

  const char* ids[] = {"kBypass", "kMode", "kSteps", "kGain", "kMix", "kFreq", "kDrive", "kTime", "kPan", "kLevel"};
  const std::string named = Path("named.txt");
  plug.GetParam(testsupport::kTestSteps)->Set(-2.9);
  plug.DumpMakePresetFromNamedParamsSrcCode(named.c_str(), ids);
  EXPECT_EQ(ReadText(named),
            "  MakePresetFromNamedParams(\"Default\", 10,\n    kBypass, false,\n    kMode, 1,\n    kSteps, -3,\n"
            "    kGain, 0.000000,\n    kMix, 100.000000,\n    kFreq, 1000.000000,\n    kDrive, 0.250000,\n"
            "    kTime, 1.500000,\n    kPan, 0.000000,\n    kLevel, 0.000000);\n");

  plug.DumpPresetSrcCode((mDir / "no" / "folder.txt").string().c_str()); // silently nothing
}

TEST_F(ProgramFilesTest, PresetBlobDumpDecodesWithTheSystemBase64Tool)
{
  PlugUnderTest plug;
  plug.RestorePreset(1);
  const std::string path = Path("blob.txt");
  plug.DumpPresetBlob(path.c_str());
  const std::string text = ReadText(path);
  const std::string head = "MakePresetFromBlob(\"Loud\", \"";
  ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
  const size_t end = text.find('"', head.size());
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(text.substr(end), "\", 80);\n");

  const std::string b64 = Path("b64.txt"), raw = Path("raw.bin");
  {
    std::ofstream(b64) << text.substr(head.size(), end - head.size());
  }
  ASSERT_EQ(std::system(("base64 -d " + b64 + " > " + raw).c_str()), 0);
  EXPECT_EQ(ReadFile(raw), ChunkBytes(plug.GetPreset(1)->mChunk));
}

TEST(Base64, EncodesAndDecodesTheStandardTestVectors)
{
  struct Case {
    const char* plain;
    const char* encoded;
  };
  const Case cases[] = {{"", ""},
                        {"f", "Zg=="},
                        {"fo", "Zm8="},
                        {"foo", "Zm9v"},
                        {"foob", "Zm9vYg=="},
                        {"fooba", "Zm9vYmE="},
                        {"foobar", "Zm9vYmFy"}};
  for (const Case& c : cases) {
    const auto* p = reinterpret_cast<const uint8_t*>(c.plain);
    EXPECT_EQ(Base64Encode(p, std::strlen(c.plain)), c.encoded);
    EXPECT_EQ(Base64Decode(c.encoded), Bytes(p, p + std::strlen(c.plain)));
  }
  const uint8_t all[] = {0x00, 0xFB, 0xFF, 0x3E, 0x80};
  EXPECT_EQ(Base64Encode(all, 5), "APv/PoA=");
  EXPECT_EQ(Base64Decode("AP v/\nPoA="), Bytes(all, all + 5));
  EXPECT_EQ(Base64Decode("Zm9v!Zm9v"), (Bytes{'f', 'o', 'o'}));
  EXPECT_TRUE(Base64Decode(nullptr).empty());
}

} // namespace
