// The plug-in's curve-file operations and exports: messages, the records
// they leave, and the exported files on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <fstream>
#include <sstream>

#include "CurveFile.h"
#include "StateTestPlugin.h"

namespace {

using plugin::UT_String;
using testplug::StatePlug;

class PluginFiles : public testplug::Vorelle3Test {
protected:
  UT_String Path(const char* name) const { return UT_String((mRoot / name).string().c_str()); }
  static std::vector<double> Mags(const Vorelle3CurveRecord& r) { return {r.mag, r.mag + r.count}; }
  static void Fill(Vorelle3CurveRecord& r, double base)
  {
    for (unsigned k = 0; k < r.count; ++k)
      r.mag[k] = base + 0.001 * k;
  }
};

TEST_F(PluginFiles, SavedCurvesLoadBackBitForBitThroughThePlugin)
{
  StatePlug a;
  Fill(a.Curves().Fingerprint(), 0.25);
  ASSERT_TRUE(a.WriteFingerprint(Path("f.vrl"), a.Curves().Fingerprint()));
  ASSERT_TRUE(a.WriteReference(Path("f.ref"), a.Curves().Fingerprint()));
  StatePlug b;
  ASSERT_TRUE(b.ReadFingerprint(Path("f.vrl"), b.Curves().Fingerprint()));
  ASSERT_TRUE(b.ReadReference(Path("f.ref"), b.Curves().CustomReference()));
  EXPECT_EQ(Mags(b.Curves().Fingerprint()), Mags(a.Curves().Fingerprint()));
  EXPECT_EQ(Mags(b.Curves().CustomReference()), Mags(a.Curves().Fingerprint()));
  EXPECT_EQ(std::vector<double>(b.Curves().CustomReference().freq, b.Curves().CustomReference().freq + 67),
            std::vector<double>(a.Curves().Fingerprint().freq, a.Curves().Fingerprint().freq + 67));
  EXPECT_FALSE(b.MessagePending());
}

TEST_F(PluginFiles, RefusedFilesPostTheirMessageAndLeaveTheRecord)
{
  StatePlug a;
  Fill(a.Curves().Fingerprint(), 0.5);
  ASSERT_TRUE(a.WriteFingerprint(Path("x.vrl"), a.Curves().Fingerprint()));
  ASSERT_TRUE(a.WriteReference(Path("x.ref"), a.Curves().Fingerprint()));
  // A short file: the header of x.vrl and half its values.
  {
    std::ifstream in((mRoot / "x.vrl").string(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::ofstream((mRoot / "short.vrl").string(), std::ios::binary).write(bytes.data(), 12 + 8 * 67 + 8 * 30);
  }
  // Another band setting: the same layout with 34 points.
  Vorelle3CurveRecord coarse;
  coarse.Resize(34);
  ASSERT_TRUE(WriteCurveFile((mRoot / "coarse.ref").string().c_str(), ECurveFileType::kReference, coarse));

  // References that cannot steer the filter: on the plug-in's grid but with
  // no point the signal reaches, no level above the floor where it does, or
  // a level no float holds.
  const auto variant = [&](const char* file, const std::function<void(Vorelle3CurveRecord&)>& change) {
    Vorelle3CurveRecord r = a.Curves().Fingerprint();
    change(r);
    ASSERT_TRUE(WriteCurveFile((mRoot / file).string().c_str(), ECurveFileType::kReference, r));
  };
  variant("nohz.ref", [](Vorelle3CurveRecord& r) { std::fill(r.freq, r.freq + r.count, 0.0); });
  variant("tiny.ref", [](Vorelle3CurveRecord& r) { std::fill(r.mag, r.mag + r.count, 5e-324); });
  variant("floor.ref", [](Vorelle3CurveRecord& r) { std::fill(r.mag, r.mag + r.count, 6.309e-8); });
  variant("huge.ref", [](Vorelle3CurveRecord& r) { r.mag[40] = 3.5e38; });
  variant("beyondtop.ref", [](Vorelle3CurveRecord& r) {
    std::fill(r.mag, r.mag + r.count, 1e-9);
    r.freq[r.count - 1] = 30000.0;
    r.mag[r.count - 1] = 0.5;
  });

  struct Case {
    const char* what;
    const char* file;
    bool reference;
    const char* message;
  };
  const Case cases[] = {
    {"reference file as fingerprint", "x.ref", false, "Wrong File Type"},
    {"fingerprint file as reference", "x.vrl", true, "Wrong File Type"},
    {"other point count", "coarse.ref", true, "Wrong File"},
    {"short file", "short.vrl", false, "Wrong File"},
    {"every frequency 0", "nohz.ref", true, "Wrong File"},
    {"every level 5e-324", "tiny.ref", true, "Wrong File"},
    {"every level at the floor", "floor.ref", true, "Wrong File"},
    {"a level beyond the float range", "huge.ref", true, "Wrong File"},
    {"the only level above the floor past 22 kHz", "beyondtop.ref", true, "Wrong File"},
  };
  for (const Case& c : cases) {
    StatePlug b;
    Vorelle3CurveRecord& target = c.reference ? b.Curves().CustomReference() : b.Curves().Fingerprint();
    Fill(target, 9.0);
    const std::vector<double> before = Mags(target);
    const bool ok = c.reference ? b.ReadReference(Path(c.file), target) : b.ReadFingerprint(Path(c.file), target);
    EXPECT_FALSE(ok) << c.what;
    EXPECT_TRUE(b.MessagePending()) << c.what;
    EXPECT_STREQ(b.MessageText(), c.message) << c.what;
    EXPECT_STREQ(b.MessageTitle(), "Error") << c.what;
    EXPECT_EQ(Mags(target), before) << c.what;
  }
  StatePlug b;
  EXPECT_FALSE(b.ReadFingerprint(Path("absent.vrl"), b.Curves().Fingerprint()));
  EXPECT_FALSE(b.ReadFingerprint(UT_String(), b.Curves().Fingerprint()));
  EXPECT_FALSE(b.MessagePending());
}

TEST_F(PluginFiles, TheCSVExportHoldsOneRowPerFingerprintPoint)
{
  StatePlug p;
  Fill(p.Curves().Fingerprint(), 0.01);
  p.Curves().SetFingerprintValid(true);
  p.GetParam(kReferenceMode)->Set(2.0);
  p.OnParamChange(kReferenceMode, plugin::kUI, -1);
  p.ComputeCurves();
  const std::string folder = mRoot.string() + "/";
  ASSERT_TRUE(p.ExportCurvesCSV(UT_String(folder.c_str())));
  std::ifstream in(mRoot / "curve_data.csv", std::ios::binary);
  ASSERT_TRUE(in.good());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  ASSERT_EQ(lines.size(), 1u + 67u);
  EXPECT_EQ(lines[0], "Frq (Hz);Mag Ref (dB);Mag FP (dB);Mag Diff (dB);Mag Final (dB);");
  // Row 12 (40 Hz), written independently: reference 2 is 0.030041 there.
  const double fpDB = 20.0 * std::log10(p.Curves().Fingerprint().mag[12]);
  const double diff = p.Curves().Difference().mag[12];
  char want[256];
  std::snprintf(want, sizeof want, "%.2f;%.2f;%.2f;%.2f;%.2f;", p.Curves().Fingerprint().freq[12],
                20.0 * std::log10(0.030041), fpDB, diff, fpDB + diff);
  std::string expected = want;
  for (char& ch : expected) {
    if (ch == '.')
      ch = ',';
  }
  EXPECT_EQ(lines[13], expected);
  EXPECT_FALSE(p.ExportCurvesCSV(UT_String())); // no folder: nothing written, said so
}

TEST_F(PluginFiles, TheSourceRecordExportGoesToRefDataInTheFolder)
{
  StatePlug p;
  for (const char* folder : {"", "/"}) {
    const std::string dir = mRoot.string() + folder;
    ASSERT_TRUE(p.GetRefDataPath(UT_String(dir.c_str()), UT_String("song.wav"), &p.Analyser()));
    std::ifstream in(mRoot / "ref_data.cpp");
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "// Filename     : song.wav");
    std::filesystem::remove(mRoot / "ref_data.cpp");
  }
  EXPECT_FALSE(p.GetRefDataPath(UT_String(mRoot.string().c_str()), UT_String("x"), nullptr));
  EXPECT_FALSE(p.WriteRefDataSource(Path("no/dir/r.cpp"), UT_String("x"), &p.Analyser()));
}

} // namespace
