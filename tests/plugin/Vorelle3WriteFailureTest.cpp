// Every file the plug-in writes keeps its previous good version when the
// write fails part-way (a size limit, a full disk), leaves nothing beside
// it, and says that it failed.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "StateTestPlugin.h"
#include "WriteFailures.h"

namespace {

using plugin::UT_String;
using testplug::StatePlug;
using testsupport::FileText;
using testsupport::StrayFiles;

class WriteFailure : public testplug::Vorelle3Test {
protected:
  struct Writer {
    const char* file; // the name the writer gives its target
    std::function<bool(StatePlug&, const std::string& dir)> write;
  };

  static std::vector<Writer> Writers()
  {
    auto at = [](const std::string& dir, const char* name) { return UT_String((dir + "/" + name).c_str()); };
    return {
      {"f.vrl", [at](StatePlug& p,
                     const std::string& d) { return p.WriteFingerprint(at(d, "f.vrl"), p.Curves().Fingerprint()); }},
      {"r.ref",
       [at](StatePlug& p, const std::string& d) { return p.WriteReference(at(d, "r.ref"), p.Curves().Fingerprint()); }},
      {"p.zvp", [at](StatePlug& p, const std::string& d) { return p.SavePresetFile(at(d, "p.zvp"), UT_String("p")); }},
      {"default.zvp", [](StatePlug& p, const std::string& d) { return p.SaveDefaultPreset(UT_String(d.c_str())); }},
      {"curve_data.csv", [](StatePlug& p, const std::string& d) { return p.ExportCurvesCSV(UT_String(d.c_str())); }},
      {"ref_data.cpp",
       [](StatePlug& p, const std::string& d) {
         return p.GetRefDataPath(UT_String(d.c_str()), UT_String("x"), &p.Analyser(), 44100.0);
       }},
      {"p.fxp", [at](StatePlug& p, const std::string& d) { return p.SaveProgramAsFXP(at(d, "p.fxp").Get()); }},
      {"b.fxb", [at](StatePlug& p, const std::string& d) { return p.SaveBankAsFXB(at(d, "b.fxb").Get()); }},
    };
  }

  static constexpr const char* kPrevious = "previous good file";

  void Plant(const std::string& dir, const char* file) const
  {
    std::ofstream(dir + "/" + file, std::ios::binary) << kPrevious;
  }
};

TEST_F(WriteFailure, ASizeLimitNeverCostsThePreviousFile)
{
  StatePlug p;
  const std::string dir = mRoot.string();
  for (const Writer& w : Writers()) {
    // Each writer works without the limit, and its file is larger than it.
    ASSERT_TRUE(w.write(p, dir)) << w.file;
    ASSERT_GT(std::filesystem::file_size(mRoot / w.file), 200u) << w.file;
    Plant(dir, w.file);
    EXPECT_EQ(testsupport::RunWithFileSizeLimit(200, [&] { return w.write(p, dir); }), 0) << w.file;
    EXPECT_EQ(FileText(mRoot / w.file), kPrevious) << w.file;
    std::filesystem::remove(mRoot / w.file);
    EXPECT_TRUE(StrayFiles(mRoot, {"home", "sys"}).empty()) << w.file;
  }
}

TEST_F(WriteFailure, AFullDiskNeverCostsThePreviousFile)
{
  testsupport::SmallTmpfs tmpfs(mRoot / "small", "96k");
  if (!tmpfs.Active())
    GTEST_SKIP() << "no tmpfs can be mounted here";
  StatePlug p;
  const std::string dir = (mRoot / "small").string();
  for (const Writer& w : Writers())
    Plant(dir, w.file);
  tmpfs.Fill();
  for (const Writer& w : Writers()) {
    EXPECT_FALSE(w.write(p, dir)) << w.file;
    EXPECT_EQ(FileText(mRoot / "small" / w.file), kPrevious) << w.file;
  }
  std::vector<std::string> known = {"ballast"};
  for (const Writer& w : Writers())
    known.push_back(w.file);
  EXPECT_TRUE(StrayFiles(mRoot / "small", known).empty());
}

} // namespace
