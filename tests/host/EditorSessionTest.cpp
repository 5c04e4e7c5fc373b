// The editor as the offline host opens it: through the Cocoa UI property and
// the class registry, driven by scripted actions, reporting what the user's
// actions did to the parameters and drawing PNG frames (checked with libpng
// through the test image codec).
#include <gtest/gtest.h>
#include <standin/Host.h>
#include <sndfile.h>
#include <standin/Testing.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AUHostUnit.h"
#include "EditorSession.h"
#include "SharedBundle.h"
#include "TempFolder.h"
#include "TestImageCodec.h"

namespace {

using namespace host;

class HostEditor : public ::testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    standin::SetUserHome(folder.File("home"), true);
    standin::RegisterBundleAtPath(DefaultBundlePath());
    ASSERT_EQ(unit.Open(), noErr);
    unit.SetFormat(2, 44100.0);
    unit.SetMaxFrames(512);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
  }
  void TearDown() override
  {
    AudioUnitUninitialize(unit.Unit());
    unit.Close();
    standin::Reset();
    // The suite's other tests find the bundle as the host left it.
    standin::RegisterBundleAtPath(DefaultBundlePath());
  }

  // Runs the lines as one session; the error, if any.
  std::string Run(const std::vector<std::string>& lines, const std::string& png = "", float screenScale = 1.f)
  {
    EditorOptions options;
    options.screenScale = screenScale;
    options.pngPath = png;
    for (const std::string& line : lines) {
      EditorAction a;
      EXPECT_EQ(ParseEditorAction(line, a), "") << line;
      options.actions.push_back(a);
    }
    return RunEditorSession(unit, options, report);
  }

  bool Reported(const std::string& line) const
  {
    return std::find(report.lines.begin(), report.lines.end(), line) != report.lines.end();
  }

  testsupport::TempFolder folder;
  AUHostUnit unit{SharedBundle()};
  EditorReport report;
};

TEST(EditorActions, BadLinesAreRefusedWithTheReason)
{
  struct Row {
    const char* line;
    const char* verb; // "" when refused or empty
    bool ok;
  };
  const Row rows[] = {
    {"click 10 20", "click", true},
    {"click 10 20 shift+ctrl", "click", true},
    {"drag 1 2 3 -4.5", "drag", true},
    {"type 12.5 dB", "type", true},
    {"  # a comment", "", true},
    {"", "", true},
    {"click 10", "", false},             // too few
    {"click ten 20", "", false},         // not a number
    {"drag 1 2 3 4 shift x", "", false}, // too many
    {"wheel 1 2 1e3", "", false},        // no exponents
    {"jump 1 2", "", false},             // unknown
    {"cancel now", "", false},
  };
  for (const Row& r : rows) {
    EditorAction a;
    const std::string e = ParseEditorAction(r.line, a);
    EXPECT_EQ(e.empty(), r.ok) << r.line << ": " << e;
    if (r.ok) {
      EXPECT_EQ(a.verb, r.verb) << r.line;
    }
  }
}

TEST_F(HostEditor, GainDraggedUpByAQuarterOfItsTravelEndsAtExactlyPlusTwelveInsideAGesture)
{
  // The knob's drag bounds are 68 points high with gearing 4: 68 points up
  // is a quarter of -24..+24.
  ASSERT_EQ(Run({"drag 557 261 0 -68"}), "");
  EXPECT_FLOAT_EQ(unit.GetParameter(5), 12.f);
  ASSERT_FALSE(report.lines.empty());
  EXPECT_EQ(report.lines.front(), "begin gesture 5 \"Gain\"");
  EXPECT_EQ(report.lines.back(), "end gesture 5 \"Gain\"");
  EXPECT_TRUE(Reported("5 \"Gain\" = 12"));
}

TEST_F(HostEditor, ATypedValueAndAWheelNotchReachTheHost)
{
  ASSERT_EQ(Run({"dblclick 463 261", "type 40", "key return", "wheel 463 261 1"}), "");
  // "Mix" typed, then one notch of 0.01 of its travel.
  EXPECT_FLOAT_EQ(unit.GetParameter(6), 41.f);
}

TEST_F(HostEditor, ClicksOnTheActivityButtonsAndTheFilterButtonSetTheirParameters)
{
  ASSERT_EQ(Run({"click 265 244", "click 250 193"}), "");
  EXPECT_FLOAT_EQ(unit.GetParameter(2), 2.f); // "Processing"
  EXPECT_FLOAT_EQ(unit.GetParameter(4), 1.f); // "Digital"
}

TEST_F(HostEditor, APictureIsTheViewsSizeAtEachScreenScale)
{
  const std::string one = folder.File("one.png"), two = folder.File("two.png");
  ASSERT_EQ(Run({"hover 557 261"}, one), "");
  testsupport::RGBAImage img;
  ASSERT_TRUE(testsupport::DecodeImageFile(one.c_str(), img));
  EXPECT_EQ(img.w, 650);
  EXPECT_EQ(img.h, 470);
  // The hover read-out of "Gain": a dark box in the knob's middle.
  const uint8_t* box = &img.px[(size_t(261) * img.w + 545) * 4];
  EXPECT_LT(box[0], 60);

  ASSERT_EQ(Run({}, two, 2.f), "");
  ASSERT_TRUE(testsupport::DecodeImageFile(two.c_str(), img));
  EXPECT_EQ(img.w, 1300);
  EXPECT_EQ(img.h, 940);
}

// "GUI scale" cannot be automated: a host's write leaves the editor as it is.
TEST_F(HostEditor, AHostWriteOfGUIScaleDoesNotResizeTheEditor)
{
  const std::string png = folder.File("same.png");
  ASSERT_EQ(Run({"param 0 2", "wait 0.1"}, png), "");
  EXPECT_EQ(report.width, 650);
  EXPECT_EQ(report.height, 470);
}

// The plug-in menu is the drawn one: its "Fixed GUI Scale" submenu opens on
// hover, and "200%" sets "GUI scale" inside a gesture and doubles the view.
TEST_F(HostEditor, ThePluginMenuIsDrawnAndItsTwoHundredPercentScaleDoublesTheView)
{
  const std::string open = folder.File("open.png"), picked = folder.File("picked.png");
  ASSERT_EQ(Run({"click 32 32", "wait 0.5", "png " + open, "hover 100 294", "wait 1", "hover 320 361", "wait 0.3",
                 "click 320 361", "wait 1"},
                picked),
            "");
  testsupport::RGBAImage img;
  ASSERT_TRUE(testsupport::DecodeImageFile(open.c_str(), img));
  // The menu's light panel over the dark meter.
  const uint8_t* panel = &img.px[(size_t(180) * img.w + 150) * 4];
  EXPECT_GT(panel[0], 200);
  EXPECT_GT(panel[1], 200);
  EXPECT_GT(panel[2], 200);

  const std::vector<std::string> expected = {"begin gesture 0 \"GUI scale\"", "0 \"GUI scale\" = 2",
                                             "end gesture 0 \"GUI scale\""};
  EXPECT_EQ(report.lines, expected);
  EXPECT_FLOAT_EQ(unit.GetParameter(0), 2.f);
  EXPECT_EQ(report.width, 1300);
  EXPECT_EQ(report.height, 940);
}

TEST_F(HostEditor, AFileDialogCancelledOrAnsweredWithAPathSendsItsMessageWithoutHarm)
{
  // Without a fingerprint the save button is hidden: its click opens no
  // dialog, and the queued answer goes to the next load.
  const std::string vrl = folder.File("print.vrl");
  ASSERT_EQ(Run({"cancel", "click 98 384", "file " + vrl, "click 176 384", "click 98 384"}), "");
  const std::vector<standin::ShownPanel> panels = standin::ShownPanels();
  ASSERT_EQ(panels.size(), 2u);
  for (const standin::ShownPanel& p : panels) {
    EXPECT_EQ(p.kind, "open");
    EXPECT_EQ(p.types, (std::vector<std::string>{"vrl", "wav", "aiff"}));
  }
  EXPECT_FALSE(std::ifstream(vrl).good());
}

std::vector<char> Bytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// A fingerprint learnt from an audio file, saved through the save selectors
// as ".vrl" and ".ref", then loaded into a fresh unit: the fingerprint saved
// again is the same file, and the reference is the unit's custom one by name.
TEST_F(HostEditor, FingerprintAndReferenceFilesMakeTheRoundTripThroughTheFileSelectors)
{
  const std::string wav = folder.File("print.wav"), vrl = folder.File("a.vrl"), ref = folder.File("a.ref"),
                    again = folder.File("b.vrl");
  {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open(wav.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    std::vector<float> x(1 << 16);
    uint32_t seed = 1;
    for (float& v : x)
      v = float((seed = seed * 1664525u + 1013904223u) >> 8) / float(1u << 24) * 0.4f - 0.2f;
    sf_writef_float(f, x.data(), sf_count_t(x.size()));
    sf_close(f);
  }
  // Load fingerprint, save it, save it as a reference.
  ASSERT_EQ(
    Run({"file " + wav, "click 98 384", "wait 0.2", "file " + vrl, "click 176 384", "file " + ref, "click 342 384"}),
    "");
  const std::vector<char> saved = Bytes(vrl);
  ASSERT_FALSE(saved.empty());
  ASSERT_FALSE(Bytes(ref).empty());
  const std::vector<standin::ShownPanel> panels = standin::ShownPanels();
  ASSERT_EQ(panels.size(), 3u);
  EXPECT_EQ(panels[1].kind, "save");
  EXPECT_EQ(panels[1].types, std::vector<std::string>{"vrl"});
  EXPECT_EQ(panels[2].kind, "save");
  EXPECT_EQ(panels[2].types, std::vector<std::string>{"ref"});

  AUHostUnit fresh{SharedBundle()};
  ASSERT_EQ(fresh.Open(), noErr);
  fresh.SetFormat(2, 44100.0);
  ASSERT_EQ(AudioUnitInitialize(fresh.Unit()), noErr);
  EditorOptions options;
  for (const std::string& line : std::vector<std::string>{"file " + vrl, "click 98 384", "file " + ref, "click 264 384",
                                                          "file " + again, "click 176 384"}) {
    options.actions.emplace_back();
    ASSERT_EQ(ParseEditorAction(line, options.actions.back()), "");
  }
  ASSERT_EQ(RunEditorSession(fresh, options, report), "");
  EXPECT_EQ(Bytes(again), saved);
  CFPropertyListRef plist = nullptr;
  UInt32 size = sizeof(plist);
  ASSERT_EQ(AudioUnitGetProperty(fresh.Unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &plist, &size),
            noErr);
  const auto data = static_cast<CFDataRef>(CFDictionaryGetValue(static_cast<CFDictionaryRef>(plist), CFSTR("data")));
  ASSERT_NE(data, nullptr);
  const std::string state(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), size_t(CFDataGetLength(data)));
  EXPECT_NE(state.find("a.ref"), std::string::npos) << "the custom reference keeps the file's name";
  CFRelease(plist);
  AudioUnitUninitialize(fresh.Unit());
  fresh.Close();
}

} // namespace
