// The idle tick: editor updates, message boxes, the About text and the
// automatic version check.
#include <regex>
#include <sstream>

#include "CommandsFixture.h"
#include "HostDisplayNames.h"
#include "LoopbackServer.h"
#include "VersionCheck.h"

using namespace testplug;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

bool Logged(const std::vector<std::string>& log, const std::string& entry)
{
  return std::find(log.begin(), log.end(), entry) != log.end();
}

} // namespace

TEST_F(Vorelle3Test, PeakReadoutShowsTheLevelInDecibels)
{
  CommandsPlug plug;
  plug.OpenEditor();
  struct {
    double peak;
    const char* text;
  } rows[] = {{0.0, "-144.0"}, {1.0, "0.0"}, {2.0, "6.0"}, {0.5, "-6.0"}, {-0.25, "-12.0"}, {5e-8, "-144.0"}};
  for (const auto& row : rows) {
    plug.SetPeakMax(row.peak);
    plug.Output().RequestMeterUpdate();
    plug.OnIdle();
    EXPECT_EQ(plug.mPeak->mText, row.text) << row.peak;
    EXPECT_FALSE(plug.Output().MeterUpdatePending());
  }
}

// Audio through the block: the read-out shows the louder channel's peak
// once the meter interval has passed.
TEST_F(Vorelle3Test, PeakReadoutFollowsTheProcessedAudio)
{
  struct {
    double left, right;
    const char* text;
  } rows[] = {{0.5, 0.1, "-6.0"}, {0.05, -0.7, "-3.1"}, {0.0, 0.0, "-144.0"}};
  for (const auto& row : rows) {
    CommandsPlug plug;
    plug.Reconfigure(44100.0, 512);
    plug.OpenEditor();
    plug.SetMix(0.0); // the dry path alone: the output is the input, delayed
    plug.SetActivity(kProcessing);
    std::vector<double> l(44100), r(44100), outL, outR;
    for (size_t i = 0; i < l.size(); ++i) {
      l[i] = i % 2 ? row.left : -row.left / 2;
      r[i] = i % 3 ? row.right / 3 : row.right;
    }
    plug.Run(l, r, outL, outR, 512);
    plug.OnIdle();
    EXPECT_EQ(plug.mPeak->mText, row.text) << row.left << " " << row.right;
  }
}

TEST_F(Vorelle3Test, NeedleAndCaptureLedFollowTheirValues)
{
  CommandsPlug plug;
  plug.OpenEditor();
  for (int mode = 0; mode <= 4; ++mode) {
    plug.SetReferenceMode(mode);
    plug.Output().RequestMeterUpdate();
    plug.OnIdle();
    EXPECT_EQ(plug.Control(plug.CtrlNeedle())->GetValue(0), mode * 0.25);
  }
  plug.Curves().SetFingerprintValid(true);
  plug.Output().RequestMeterUpdate();
  plug.OnIdle();
  EXPECT_EQ(plug.Control(plug.CtrlCaptureLED())->GetValue(0), 1.0);
  // Nothing is redrawn while nothing changed.
  plug.Graphics()->Tick();
  plug.Output().RequestMeterUpdate();
  plug.OnIdle();
  EXPECT_FALSE(plug.Graphics()->Tick());
}

// The clip LED shows the clip envelope: lit at once by a sample past full
// scale, held for two seconds after the last one, then released to dark.
TEST_F(Vorelle3Test, ClipLedLightsOnClippingHoldsAndGoesDark)
{
  CommandsPlug plug;
  plug.Reconfigure(44100.0, 512);
  plug.OpenEditor();
  const struct {
    double level, seconds;
    double led;
  } phases[] = {
    {0.99, 0.5, 0.0}, // loud, below full scale
    {1.5, 0.05, 1.0}, // clipping
    {0.0, 1.9, 1.0},  // silence within the hold
    {0.0, 1.2, 0.0},  // past the hold and the release
    {-1.01, 0.03, 1.0}, // one meter period
  };
  for (const auto& p : phases) {
    std::vector<double> l(size_t(p.seconds * 44100), p.level), r(l.size(), 0.0), outL, outR;
    plug.Run(l, r, outL, outR, 512);
    plug.OnIdle();
    EXPECT_EQ(plug.Control(plug.CtrlClipLED())->GetValue(0), p.led) << p.level << " for " << p.seconds << " s";
  }
}

TEST_F(Vorelle3Test, CustomStyleLabelIsCutAtACharacterBoundary)
{
  CommandsPlug plug;
  plug.OpenEditor();
  const std::string forty(40, 'n');
  const std::string prefix = "Custom Style: "; // 14 bytes
  struct {
    std::string name;
    std::string label;
  } rows[] = {
    {"(None)", "Custom Style: (None)"},
    {std::string(31, 'a'), prefix + std::string(31, 'a')},         // 45 bytes: kept whole
    {std::string(32, 'a'), prefix + std::string(27, 'a') + "..."}, // 46 bytes: cut
    {forty, prefix + std::string(27, 'n') + "..."},                // 54 bytes: 44 shown
    // "é" is two bytes; the 41-byte cut would fall between them.
    {std::string(26, 'a') + "\xC3\xA9" + "bbbbbb", prefix + std::string(26, 'a') + "..."},
    {std::string(25, 'a') + "\xC3\xA9" + "bbbbbb", prefix + std::string(25, 'a') + "\xC3\xA9" + "..."},
  };
  for (const auto& row : rows) {
    plug.Curves().SetCustomRefName(row.name.c_str());
    plug.UpdateCustomStyleLabel();
    EXPECT_EQ(plug.mStyle->mText, row.label) << row.name;
  }
}

TEST_F(Vorelle3Test, FileButtonsAndActivityDisplayFollowTheState)
{
  CommandsPlug plug;
  plug.OpenEditor();
  auto hidden = [&plug] {
    return std::vector<bool>{plug.mSaveFingerprint->IsHidden(), plug.mSaveReference->IsHidden(),
                             plug.mLoadFingerprint->IsHidden(), plug.mLoadReference->IsHidden()};
  };
  EXPECT_EQ(hidden(), (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(plug.Control(plug.CtrlTuneBox())->GetValue(0), 0.5);
  plug.FromUI(kActivityState, kCapture);
  EXPECT_EQ(hidden(), (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(plug.Control(plug.CtrlTuneBox())->GetValue(0), 0.0);
  plug.Curves().SetFingerprintValid(true);
  plug.FromUI(kActivityState, kProcessing);
  EXPECT_EQ(hidden(), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(plug.Control(plug.CtrlTuneBox())->GetValue(0), 1.0);
}

TEST_F(Vorelle3Test, EditorUpdatesAreSkippedWhileNoEditorIsOpen)
{
  CommandsPlug plug;
  plug.SetPeakMax(0.5);
  plug.UpdateGUIControls();
  plug.UpdateCustomStyleLabel();
  plug.BuildAboutText();
  plug.Output().RequestMeterUpdate();
  plug.OnIdle();
  EXPECT_TRUE(plug.Output().MeterUpdatePending());
  plug.OpenEditor();
  EXPECT_TRUE(plug.UIOpen());
  plug.OnIdle();
  EXPECT_EQ(plug.mPeak->mText, "-6.0");
  plug.CloseEditor();
  EXPECT_FALSE(plug.UIOpen());
}

TEST_F(Vorelle3Test, ResizeWaitsForTheEditorToBeOpen)
{
  CommandsPlug plug;
  plug.FromUI(kGUIScale, 1.25);
  plug.OnIdle();
  EXPECT_TRUE(plug.ResizePending());
  plug.OpenEditor();
  plug.OnIdle();
  EXPECT_FALSE(plug.ResizePending());
  EXPECT_FLOAT_EQ(plug.Graphics()->GetDrawScale(), 1.25f);
}

TEST_F(Vorelle3Test, AboutBoxListsTheBuildAndTheRunningSetUp)
{
  CommandsPlug plug;
  auto* g = plug.OpenEditor();
  plug.Action(11);
  plug.OnIdle();
  const auto log = g->TakeLog();
  ASSERT_FALSE(log.empty());
  auto it =
    std::find_if(log.begin(), log.end(), [](const std::string& s) { return s.rfind("MessageBox About: ", 0) == 0; });
  ASSERT_NE(it, log.end());
  const auto lines = Lines(it->substr(std::string("MessageBox About: ").size()));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Manufacturer: Zelvant");
  EXPECT_EQ(lines[1], "Plugin name: Vorelle3");
  EXPECT_EQ(lines[2], "Version: 3.0.21");
  EXPECT_TRUE(std::regex_match(lines[3], std::regex("Build date: [A-Z][a-z]{2} [ 1-3][0-9] 20[0-9]{2}")));
  EXPECT_TRUE(std::regex_match(lines[4], std::regex("Build time: [0-2][0-9]:[0-5][0-9]:[0-5][0-9]")));
  EXPECT_EQ(lines[5], "");
  EXPECT_TRUE(std::regex_match(lines[6], std::regex("Format: .+ x64 \\(INTEL, VG, METAL\\)")));
  EXPECT_EQ(lines[7], "Host: Unknown");
  EXPECT_TRUE(std::regex_match(lines[8], std::regex("Channels: [0-2]-[0-2] \\(2-2\\)")));
  EXPECT_EQ(lines[9], "Plugin delay: 0 smp (0.0 ms)");
  EXPECT_EQ(lines[10], "Sample Rate: 44100.00 Hz");
  EXPECT_TRUE(std::regex_match(lines[11], std::regex("Block Size: [0-9]+ smp")));
  EXPECT_FALSE(plug.AboutPending());
}

TEST_F(Vorelle3Test, HostNamesOfTheAboutBox)
{
  struct {
    int code;
    const char* name;
  } rows[] = {{-1, "Unknown"},
              {0, "Unknown"},
              {1, "Reaper"},
              {2, "Protools"},
              {21, "Logic Pro"},
              {41, "Plugindoctor"},
              {44, "Blue Cat's Vst Host"},
              {67, "DDMF MetaPlugin"},
              {68, "Unknown"}};
  for (const auto& row : rows)
    EXPECT_STREQ(HostDisplayName(row.code), row.name) << row.code;
}

TEST_F(Vorelle3Test, UpdateIndicatorFollowsTheProcessWideFlag)
{
  ResetVersionCheckFlagsForTesting();
  ClaimAutomaticVersionCheck(); // no network from this test
  CommandsPlug plug;
  plug.OpenEditor();
  IControl* indicator = plug.Control(plug.CtrlUpdate());
  SetUpdateAvailable(true);
  plug.OnIdle();
  EXPECT_EQ(indicator->GetValue(0), 1.0);
  SetUpdateAvailable(false);
  plug.OnIdle();
  EXPECT_EQ(indicator->GetValue(0), 0.0);
  indicator->SetValue(0.5, 0);
  SetUpdateAvailable(true);
  plug.OnIdle();
  EXPECT_EQ(indicator->GetValue(0), 0.5);
  ResetVersionCheckFlagsForTesting();
}

class VersionCheckFromIdle : public Vorelle3Test {
protected:
  void SetUp() override
  {
    Vorelle3Test::SetUp();
    setenv("no_proxy", "127.0.0.1", 1);
    mSaved = GetVersionCheckSettings();
    ResetVersionCheckFlagsForTesting();
  }
  void TearDown() override
  {
    SetVersionCheckSettings(mSaved);
    ResetVersionCheckFlagsForTesting();
    Vorelle3Test::TearDown();
  }
  static void PointAt(const std::string& base)
  {
    VersionCheckSettings s;
    std::snprintf(s.baseAddress, sizeof(s.baseAddress), "%s", base.c_str());
    s.connectTimeoutMs = 2000;
    s.totalTimeoutMs = 2000;
    SetVersionCheckSettings(s);
  }
  VersionCheckSettings mSaved;
};

TEST_F(VersionCheckFromIdle, TwoInstancesMakeOneAutomaticRequest)
{
  testsupport::LoopbackServer server("3.1.0");
  PointAt(server.BaseAddress());
  CommandsPlug a, b;
  auto* ga = a.OpenEditor();
  auto* gb = b.OpenEditor();
  a.OnIdle();
  b.OnIdle();
  a.OnIdle();
  b.OnIdle();
  EXPECT_EQ(server.Requests(), 1);
  EXPECT_EQ(a.Control(a.CtrlUpdate())->GetValue(0), 1.0);
  EXPECT_EQ(b.Control(b.CtrlUpdate())->GetValue(0), 1.0);
  // The automatic check shows nothing.
  for (auto* g : {ga, gb})
    for (const std::string& entry : g->TakeLog())
      EXPECT_EQ(entry.rfind("MessageBox", 0), std::string::npos) << entry;
}

TEST_F(VersionCheckFromIdle, AutomaticCheckWaitsForAnEditorAndTheParameter)
{
  testsupport::LoopbackServer server("3.0.21");
  PointAt(server.BaseAddress());
  CommandsPlug plug;
  plug.OnIdle();
  EXPECT_EQ(server.Requests(), 0);
  plug.FromUI(kOnlineUpdateCheck, 0.0);
  plug.OpenEditor();
  plug.OnIdle();
  EXPECT_EQ(server.Requests(), 0);
  plug.FromUI(kOnlineUpdateCheck, 1.0);
  plug.OnIdle();
  EXPECT_EQ(server.Requests(), 1);
  EXPECT_EQ(plug.Control(plug.CtrlUpdate())->GetValue(0), 0.0);
}

TEST_F(VersionCheckFromIdle, RequestedCheckRunsEachTimeAndShowsItsAnswer)
{
  testsupport::LoopbackServer server("2.9.99");
  PointAt(server.BaseAddress());
  CommandsPlug plug;
  auto* g = plug.OpenEditor();
  plug.OnIdle(); // the automatic one
  for (int i = 0; i < 2; ++i) {
    plug.Action(12);
    g->TakeLog();
    plug.OnIdle();
    EXPECT_TRUE(Logged(g->TakeLog(), "MessageBox Check for update: Older plugin version available"));
  }
  EXPECT_EQ(server.Requests(), 3);
  EXPECT_FALSE(IsUpdateAvailable());
}
