// The editor as the offline host opens it: through the Cocoa UI property and
// the class registry, driven by scripted actions, reporting what the user's
// actions did to the parameters and drawing PNG frames (checked with libpng
// through the test image codec).
#include <gtest/gtest.h>
#include <standin/Host.h>
#include <sndfile.h>
#include <standin/Testing.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
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
    {"wait 0", "wait", true},
    {"wait -1", "", false},                                          // no going back in time
    {"param -1 0", "", false},                                       // no such ID
    {"param 5 1000000000000000000000000000000000000000", "", false}, // beyond any float
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
  // At 200 % the Gain knob and the filter button sit at twice their points.
  ASSERT_EQ(Run({"click 32 32", "wait 0.5", "png " + open, "hover 100 294", "wait 1", "hover 320 361", "wait 0.3",
                 "click 320 361", "wait 1", "drag 1114 522 0 -136", "click 500 386"},
                picked),
            "");
  testsupport::RGBAImage img;
  ASSERT_TRUE(testsupport::DecodeImageFile(open.c_str(), img));
  // The menu's light panel over the dark meter.
  const uint8_t* panel = &img.px[(size_t(180) * img.w + 150) * 4];
  EXPECT_GT(panel[0], 200);
  EXPECT_GT(panel[1], 200);
  EXPECT_GT(panel[2], 200);

  const std::vector<std::string> expected = {"wrote " + open + " (650 x 470)", "begin gesture 0 \"GUI scale\"",
                                             "0 \"GUI scale\" = 2", "end gesture 0 \"GUI scale\""};
  ASSERT_GE(report.lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(report.lines.begin(), report.lines.begin() + 4), expected);
  EXPECT_EQ(report.lines.back(), "wrote " + picked + " (1300 x 940)");
  EXPECT_FLOAT_EQ(unit.GetParameter(0), 2.f);
  EXPECT_FLOAT_EQ(unit.GetParameter(5), 12.f);
  EXPECT_FLOAT_EQ(unit.GetParameter(4), 1.f);
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

// Opens the other end of a pipe whenever someone waits on it there, so a
// plug-in handed the pipe finds it empty or unread instead of waiting for
// ever, and a test of that fault fails rather than hangs.
class PipeOtherEnd {
public:
  explicit PipeOtherEnd(std::string path) : mPath(std::move(path)), mThread([this] { Loop(); })
  {
    signal(SIGPIPE, SIG_IGN); // a writer left alone gets EPIPE
  }
  ~PipeOtherEnd()
  {
    mStop = true;
    mThread.join();
  }

private:
  void Loop()
  {
    while (!mStop) {
      if (int fd = open(mPath.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0)
        close(fd); // a waiting reader sees the end of the file
      if (int fd = open(mPath.c_str(), O_RDONLY | O_NONBLOCK); fd >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a waiting writer gets its reader
        char bytes[4096];
        while (read(fd, bytes, sizeof bytes) > 0) {
        }
        close(fd);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  std::string mPath;
  std::atomic<bool> mStop{false};
  std::thread mThread;
};

::testing::AssertionResult ParseActions(const std::vector<std::string>& lines, EditorOptions& options)
{
  for (const std::string& line : lines) {
    options.actions.emplace_back();
    if (std::string e = ParseEditorAction(line, options.actions.back()); !e.empty())
      return ::testing::AssertionFailure() << line << ": " << e;
  }
  return ::testing::AssertionSuccess();
}

// 1.5 s of seeded noise at 44.1 kHz, mono float: enough for a capture.
bool WriteNoiseWav(const std::string& path)
{
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    return false;
  std::vector<float> x(1 << 16);
  uint32_t seed = 1;
  for (float& v : x)
    v = float((seed = seed * 1664525u + 1013904223u) >> 8) / float(1u << 24) * 0.4f - 0.2f;
  const bool whole = sf_writef_float(f, x.data(), sf_count_t(x.size())) == sf_count_t(x.size());
  return sf_close(f) == 0 && whole;
}

// A dialog answer that became a pipe or a folder after the script was
// checked is refused as the dialog takes it: the dialog is cancelled, the
// plug-in never opens it and the session ends saying why.
TEST_F(HostEditor, ADialogAnswerThatIsNoRegularFileWhenTheDialogTakesItIsRefused)
{
  namespace fs = std::filesystem;
  const std::string wav = folder.File("print.wav"), late = folder.File("late"), fifo = folder.File("fifo");
  ASSERT_TRUE(WriteNoiseWav(wav));
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const PipeOtherEnd otherEnd(fifo);
  const auto makeFifo = [&] { fs::create_symlink(fifo, late); };
  const auto makeFolder = [&] { fs::create_directory(late); };
  const struct {
    const char* what;
    std::vector<std::string> lines;
    std::function<void()> make;
    std::string dialog, error;
  } rows[] = {
    {"a reference that became a pipe",
     {"file " + late, "click 264 384"},
     makeFifo,
     "open dialog (ref, wav, aiff): refused " + late + ", cancelled",
     "the link leads to " + fifo + ", which is not a regular file"},
    {"a fingerprint that became a folder",
     {"file " + late, "click 98 384"},
     makeFolder,
     "open dialog (vrl, wav, aiff): refused " + late + ", cancelled",
     late + ": it is a folder; name a file (the open dialog was cancelled)"},
    {"a fingerprint saved to a pipe",
     {"file " + wav, "click 98 384", "wait 0.2", "file " + late, "click 176 384"},
     makeFifo,
     "save dialog (vrl): refused " + late + ", cancelled",
     "not a regular file (a pipe, device or socket): the plug-in would wait on it; name a file (the save dialog "
     "was cancelled)"},
  };
  for (const auto& r : rows) {
    fs::remove(late);
    AUHostUnit fresh{SharedBundle()};
    ASSERT_EQ(fresh.Open(), noErr);
    fresh.SetFormat(2, 44100.0);
    ASSERT_EQ(AudioUnitInitialize(fresh.Unit()), noErr);
    EditorOptions options;
    ASSERT_TRUE(ParseActions(r.lines, options));
    options.beforeActions = [&](AUHostUnit&) {
      r.make();
      return std::string();
    };
    EditorReport rowReport;
    const std::string error = RunEditorSession(fresh, options, rowReport);
    EXPECT_NE(error.find("cannot answer a file dialog with " + late), std::string::npos) << r.what << "\n" << error;
    EXPECT_NE(error.find(r.error), std::string::npos) << r.what << "\n" << error;
    EXPECT_EQ(rowReport.lines.empty() ? "" : rowReport.lines.back(), r.dialog)
      << r.what << "\n" << ::testing::PrintToString(rowReport.lines);
    AudioUnitUninitialize(fresh.Unit());
    fresh.Close();
  }
  struct stat st {};
  EXPECT_TRUE(lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
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
  ASSERT_TRUE(WriteNoiseWav(wav));
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

// Points are the view's own as each action begins (a person points at the
// window, which follows the view when it grows or shrinks). Each row runs on
// a unit of its own, so a scale one row chose does not carry over.
TEST_F(HostEditor, ActionsReachTheirControlsWithTheirModifiersAtEverySizeOfTheView)
{
  struct Row {
    const char* what;
    std::vector<std::string> lines;
    unsigned id;
    float value, tolerance;
    size_t changes; // value changes reported for id; 0: not counted
  };
  const Row rows[] = {
    {"a ctrl press sets the default, its drag does nothing", {"param 5 6", "drag 557 261 0 -68 ctrl"}, 5, 0.f, 0.f, 0},
    {"shift drags ten times finer", {"drag 557 261 0 -68 shift"}, 5, 1.2f, 1e-4f, 0},
    {"a ctrl wheel notch moves a tenth of the travel", {"wheel 463 261 -1 ctrl"}, 6, 90.f, 1e-3f, 0},
    {"17 points up arrive as 17 whole-point steps", {"drag 557 261 0 -17"}, 5, 3.f, 1e-4f, 17},
    // Pressed at 643 463, let go at 443 313: the smaller ratio, 313 / 463.
    {"the corner resizer scales to where it is let go", {"drag 643 463 -200 -150"}, 0, 313.f / 463.f, 2e-3f, 0},
    {"Gain at its place at 200 %", {"drag 643 463 643 463", "drag 1114 522 0 -136"}, 5, 12.f, 1e-4f, 0},
    {"the filter button at its place at 200 %", {"drag 643 463 643 463", "click 500 386"}, 4, 1.f, 0.f, 0},
    {"Gain at its place at 300 %", {"drag 643 463 1286 926", "drag 1671 783 0 -204"}, 5, 12.f, 1e-3f, 0},
  };
  for (const Row& r : rows) {
    AUHostUnit fresh{SharedBundle()};
    ASSERT_EQ(fresh.Open(), noErr);
    fresh.SetFormat(2, 44100.0);
    ASSERT_EQ(AudioUnitInitialize(fresh.Unit()), noErr);
    EditorOptions options;
    ASSERT_TRUE(ParseActions(r.lines, options));
    EditorReport rowReport;
    EXPECT_EQ(RunEditorSession(fresh, options, rowReport), "") << r.what;
    EXPECT_NEAR(fresh.GetParameter(r.id), r.value, r.tolerance) << r.what;
    if (r.changes) {
      const std::string change = std::to_string(r.id) + " \"" + fresh.ParameterInfo(r.id).name + "\" = ";
      EXPECT_EQ(size_t(std::count_if(rowReport.lines.begin(), rowReport.lines.end(),
                                     [&](const std::string& l) { return l.rfind(change, 0) == 0; })),
                r.changes)
        << r.what;
    }
    AudioUnitUninitialize(fresh.Unit());
    fresh.Close();
  }
}

// What the editor raised reaches the report where it happened: file
// dialogs with the script's answer, alerts, locations opened, and each
// picture with its own size.
TEST_F(HostEditor, TheReportTellsWhatHappenedInOrderEachPictureWithItsOwnSize)
{
  const std::string small = folder.File("small.png"), big = folder.File("big.png"), bad = folder.File("bad.vrl");
  std::ofstream(bad) << "not a fingerprint";
  ASSERT_EQ(Run({"png " + small, "file " + bad, "click 98 384", "wait 0.2", "cancel", "click 264 384", "click 32 32",
                 "wait 0.5", "click 80 110", "wait 0.5", "click 32 32", "wait 0.5", "click 75 131",
                 "drag 643 463 643 463", "png " + big}),
            "");
  const std::vector<std::string> expected = {
    "wrote " + small + " (650 x 470)",
    "open dialog (vrl, wav, aiff): " + bad,
    "alert \"Error Load\": " + bad,
    "open dialog (ref, wav, aiff): cancelled",
    "alert \"Manual not found\": ",
    "open url https://www.zelvant.com/products/vorelle#Changelog",
    "0 \"GUI scale\" = 2",
    "wrote " + big + " (1300 x 940)",
  };
  // Each in turn, at the start of a later line; the first is the first.
  auto at = report.lines.begin();
  for (const std::string& e : expected) {
    at = std::find_if(at, report.lines.end(), [&](const std::string& l) { return l.rfind(e, 0) == 0; });
    ASSERT_NE(at, report.lines.end()) << "missing or out of order: " << e << "\n" << ::testing::PrintToString(report.lines);
    ++at;
  }
  EXPECT_EQ(report.lines.front(), expected.front());
}

// A write the host cannot make is refused as `match` refuses it, before
// the editor opens or any action runs.
TEST_F(HostEditor, AHostWriteOutsideAParametersRangeIsRefusedBeforeAnyActionRuns)
{
  const struct {
    std::vector<std::string> lines;
    std::vector<std::pair<unsigned, float>> params;
    const char* error;
  } rows[] = {
    {{"drag 557 261 0 -68", "param 5 100"}, {}, "parameter 5 (\"Gain\") takes -24 to 24 dB"},
    {{"param 2 1.5"}, {}, "parameter 2 (\"Activity state\") takes whole numbers only"},
    {{"param 12 0"}, {}, "the plug-in has no parameter 12"},
    {{"drag 557 261 0 -68"}, {{6, 150.f}}, "parameter 6 (\"Mix\") takes 0 to 100 %"},
  };
  for (const auto& r : rows) {
    EditorOptions options;
    options.params = r.params;
    for (const std::string& line : r.lines) {
      options.actions.emplace_back();
      ASSERT_EQ(ParseEditorAction(line, options.actions.back()), "") << line;
    }
    report = EditorReport();
    const std::string error = RunEditorSession(unit, options, report);
    EXPECT_NE(error.find(r.error), std::string::npos) << r.error << "\n" << error;
    EXPECT_TRUE(report.lines.empty()) << r.error;
    EXPECT_FLOAT_EQ(unit.GetParameter(5), 0.f) << r.error;
    EXPECT_FLOAT_EQ(unit.GetParameter(6), 100.f) << r.error;
  }
}

} // namespace
