// Parameter reactions and editor commands of the plug-in.
#include <cmath>
#include <thread>
#include <utility>

#include "AllocationCounter.h"
#include "CommandsFixture.h"
#include "LogGrid.h"
#include "ReferenceCurves.h"

using namespace testplug;
using plugin::kHost;
using plugin::kUI;

namespace {

constexpr double kDBTol = 1e-9;
constexpr double kGainStoredTol = 1e-6;

// A stereo sine at f Hz of amplitude a.
void Sine(std::vector<double>& l, std::vector<double>& r, size_t n, double f, double fs, double a)
{
  l.resize(n);
  r.resize(n);
  for (size_t i = 0; i < n; ++i)
    l[i] = r[i] = a * std::sin(2.0 * M_PI * f * double(i) / fs);
}

} // namespace

TEST_F(Vorelle3Test, HostWritesToNonAutomatableParametersAreIgnored)
{
  CommandsPlug plug;
  struct {
    int idx;
    double value;
    bool fromHostTakes;
  } rows[] = {
    {kGUIScale, 2.0, false},          {kTooltips, 0.0, false}, {kADMode, 1.0, false},
    {kOnlineUpdateCheck, 0.0, false}, {kGain, -3.0, true},     {kMix, 40.0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.idx);
    const double before[] = {plug.GUIScale(),       double(plug.Tooltips()),
                             double(plug.ADMode()), double(plug.OnlineUpdateCheck()),
                             plug.Gain(),           plug.Mix()};
    plug.FromHost(row.idx, row.value);
    const double after[] = {plug.GUIScale(),       double(plug.Tooltips()),
                            double(plug.ADMode()), double(plug.OnlineUpdateCheck()),
                            plug.Gain(),           plug.Mix()};
    const int col = row.idx == kGUIScale            ? 0
                    : row.idx == kTooltips          ? 1
                    : row.idx == kADMode            ? 2
                    : row.idx == kOnlineUpdateCheck ? 3
                    : row.idx == kGain              ? 4
                                                    : 5;
    EXPECT_EQ(after[col], row.fromHostTakes ? row.value : before[col]);
  }
  // Sources other than reset, host, preset recall and editor are refused.
  plug.GetParam(kMix)->Set(10.0);
  plug.OnParamChange(kMix, plugin::kDelegate, -1);
  EXPECT_EQ(plug.Mix(), 40.0);
}

TEST_F(Vorelle3Test, ADModeFromTheEditorSwitchesTheFilterAndTheReportedLatency)
{
  CommandsPlug plug;
  plug.FromHost(kADMode, 1.0);
  EXPECT_EQ(plug.ADMode(), 0);
  EXPECT_EQ(plug.HandedLatency(), 0);
  const unsigned before = plug.Generation();
  plug.FromUI(kADMode, 1.0);
  EXPECT_EQ(plug.ADMode(), 1);
  EXPECT_TRUE(plug.LinearPhase());
  EXPECT_GT(plug.Generation(), before);
  EXPECT_GE(plug.FilterLatency(), 16383);
  EXPECT_EQ(plug.WantedLatency(), plug.FilterLatency());
  EXPECT_EQ(plug.HandedLatency(), plug.FilterLatency());
  plug.FromUI(kADMode, 0.0);
  EXPECT_EQ(plug.HandedLatency(), 0);
}

TEST_F(Vorelle3Test, DigitalLatencyIsReportedFromInitializeOn)
{
  // As a host does it: the state (here the editor) picks "Digital" and the
  // maximum frames are set, both before the host is known; then Initialize,
  // and the latency is read at once, before any idle tick.
  CommandsPlug plug;
  plug.FromUI(kADMode, 1.0);
  const UInt32 frames = 1024;
  ASSERT_EQ(
    plug.SetProperty(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, sizeof(frames), &frames),
    noErr);
  ASSERT_EQ(plug.Initialize(), noErr);
  Float64 seconds = -1.0;
  UInt32 size = sizeof(seconds);
  ASSERT_EQ(plug.GetProperty(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &size, nullptr, &seconds), noErr);
  EXPECT_GE(plug.FilterLatency(), 16383);
  EXPECT_EQ(plug.GetLatency(), plug.FilterLatency());
  EXPECT_DOUBLE_EQ(seconds, plug.FilterLatency() / plug.GetSampleRate());
}

TEST_F(Vorelle3Test, ReferenceModeIsRoundedAndAnEqualRoundedValueDoesNothing)
{
  CommandsPlug plug;
  plug.FromUI(kReferenceMode, 2.6);
  EXPECT_EQ(plug.ReferenceMode(), 3);
  EXPECT_EQ(plug.Output().FadePosition(), 0);
  const unsigned generation = plug.Generation();
  plug.GetParam(kReferenceMode)->Set(3.4);
  plug.OnParamChange(kReferenceMode, kUI, -1);
  EXPECT_EQ(plug.ReferenceMode(), 3);
  EXPECT_EQ(plug.Generation(), generation);
}

TEST_F(Vorelle3Test, SwitchingFromCaptureToProcessingMapsTheCaptureAndRebuildsOnce)
{
  CommandsPlug plug;
  const double fs = plug.GetSampleRate();
  plug.FromUI(kActivityState, kCapture);
  std::vector<double> l, r, ol, orr;
  Sine(l, r, size_t(fs), 1000.0, fs, 0.5);
  plug.Run(l, r, ol, orr, 512);
  ASSERT_TRUE(plug.Curves().FingerprintValid());

  const unsigned generation = plug.Generation();
  plug.FromUI(kActivityState, kProcessing);
  EXPECT_EQ(plug.Generation(), generation + 1);

  // The loudest grid point is the one nearest 1 kHz.
  const Vorelle3CurveRecord& fp = plug.Curves().Fingerprint();
  ASSERT_EQ(fp.count, 67u);
  unsigned loudest = 0;
  for (unsigned i = 1; i < fp.count; ++i)
    if (fp.mag[i] > fp.mag[loudest])
      loudest = i;
  EXPECT_NEAR(std::log2(fp.freq[loudest] / 1000.0), 0.0, 1.0 / 6.0);
  // The grid is six points per octave from 10 Hz.
  EXPECT_NEAR(fp.freq[0], 10.0, 1e-9);
  EXPECT_NEAR(fp.freq[6], 20.0, 1e-9);
}

TEST_F(Vorelle3Test, SwitchingToCaptureZeroesTheCurvesAndRestartsTheAnalyser)
{
  CommandsPlug plug;
  plug.FromUI(kActivityState, kCapture);
  std::vector<double> l, r, ol, orr;
  Sine(l, r, 70000, 440.0, plug.GetSampleRate(), 0.5);
  plug.Run(l, r, ol, orr, 1024);
  plug.FromUI(kActivityState, kProcessing);
  ASSERT_GT(plug.Analyser().GetInfo(9), 0.0);

  plug.FromUI(kActivityState, kCapture);
  for (unsigned i = 0; i < plug.Curves().Fingerprint().count; ++i) {
    EXPECT_EQ(plug.Curves().Fingerprint().mag[i], 0.0);
    EXPECT_EQ(plug.Curves().Difference().mag[i], 0.0);
  }
  EXPECT_EQ(plug.Analyser().GetInfo(9), 0.0);
  EXPECT_EQ(plug.Analyser().FrameCount(), 1);
}

TEST_F(Vorelle3Test, MatchPeakMaxRaisesTheGainByTheMissingHeadroomOnce)
{
  CommandsPlug plug;
  plug.SetPeakMax(0.5);
  plug.FromUI(kMatchPeakMax, 1.0);
  const double expected = -20.0 * std::log10(0.5); // 6.0206 dB
  EXPECT_NEAR(plug.Gain(), expected, kGainStoredTol);
  EXPECT_NEAR(plug.GetParam(kGain)->Value(), expected, kGainStoredTol);
  EXPECT_EQ(plug.Output().PeakMax(), 0.0);
  // Writing 1 again while it is 1 does nothing.
  plug.SetPeakMax(0.25);
  plug.FromUI(kMatchPeakMax, 1.0);
  EXPECT_NEAR(plug.Gain(), expected, kGainStoredTol);
  EXPECT_EQ(plug.Output().PeakMax(), 0.25);
}

TEST_F(Vorelle3Test, MatchPeakMaxWithoutAMeasuredPeakLeavesTheGain)
{
  CommandsPlug plug;
  plug.FromUI(kGain, -2.0);
  plug.FromUI(kMatchPeakMax, 1.0);
  EXPECT_NEAR(plug.Gain(), -2.0, kDBTol);
  EXPECT_NEAR(plug.GetParam(kGain)->Value(), -2.0, kDBTol);
}

TEST_F(Vorelle3Test, MatchPeakMaxIsClampedToTheGainRange)
{
  CommandsPlug plug;
  plug.SetPeakMax(1e-3); // -60 dB
  plug.FromUI(kMatchPeakMax, 1.0);
  EXPECT_EQ(plug.GetParam(kGain)->Value(), 24.0);
  EXPECT_EQ(plug.Gain(), 24.0);
}

TEST_F(Vorelle3Test, GainChangesAndResetPeakMaxClearThePeak)
{
  CommandsPlug plug;
  plug.SetPeakMax(0.7);
  plug.FromUI(kResetPeakMax, 1.0);
  EXPECT_EQ(plug.Output().PeakMax(), 0.0);
  plug.SetPeakMax(0.7);
  plug.FromUI(kResetPeakMax, 1.0); // already 1: nothing
  EXPECT_EQ(plug.Output().PeakMax(), 0.7);
  plug.FromUI(kGain, 1.5);
  EXPECT_EQ(plug.Output().PeakMax(), 0.0);
}

TEST_F(Vorelle3Test, GUIScaleActionsSetTheScaleAndRequestResizes)
{
  CommandsPlug plug;
  plug.OpenEditor();
  struct {
    int fixedIndex;
    double scale;
  } rows[] = {
    {0, 0.5}, {1, 0.75}, {2, 1.0}, {5, 1.75}, {9, 2.75}, {10, 3.0}, {11, 1.0}, {-1, 1.0},
  };
  for (const auto& row : rows)
    EXPECT_EQ(plug.GetFixedGUIScale(row.fixedIndex), row.scale) << row.fixedIndex;

  plug.GetExtraParam(0)->Set(10);
  plug.Action(28);
  EXPECT_EQ(plug.GUIScale(), 3.0);
  EXPECT_EQ(plug.GetParam(kGUIScale)->Value(), 3.0);
  EXPECT_TRUE(plug.ResizePending());

  plug.GetExtraParam(0)->Set(4);
  plug.Action(28);
  EXPECT_EQ(plug.GUIScale(), 1.5);
  plug.OnIdle();
  EXPECT_FALSE(plug.ResizePending());
  EXPECT_FLOAT_EQ(plug.Graphics()->GetDrawScale(), 1.5f);

  plug.Action(22);
  EXPECT_EQ(plug.GUIScale(), 0.5);
  EXPECT_TRUE(plug.ResizePending());
  plug.Action(21);
  EXPECT_EQ(plug.GUIScale(), 1.0);
  EXPECT_EQ(plug.GetParam(kGUIScale)->Value(), 1.0);

  // 20 takes the editor's scale without asking for a resize.
  plug.OnIdle();
  plug.Graphics()->Resize(650, 470, 1.25f, true);
  plug.Action(20);
  EXPECT_EQ(plug.GUIScale(), 1.25);
  EXPECT_FALSE(plug.ResizePending());
}

TEST_F(Vorelle3Test, AboutAndUpdateRequestsNeedAnEditor)
{
  CommandsPlug plug;
  plug.Action(11);
  plug.Action(12);
  EXPECT_FALSE(plug.AboutPending());
  EXPECT_FALSE(plug.UpdateCheckPending());
  plug.OpenEditor();
  plug.Action(11);
  plug.Action(12);
  EXPECT_TRUE(plug.AboutPending());
  EXPECT_TRUE(plug.UpdateCheckPending());
}

TEST_F(Vorelle3Test, UnusedTagsAndTagsAbove35ChangeNothing)
{
  CommandsPlug plug;
  plug.OpenEditor();
  for (int tag : {10, 13, 18, 19, 27, 29, 30, 31, 35, 36, 100, -5})
    plug.Action(tag);
  EXPECT_FALSE(plug.ResizePending());
  EXPECT_FALSE(plug.AboutPending());
  EXPECT_FALSE(plug.MessagePending());
  EXPECT_EQ(plug.FileJobs().State(), 0);
}

TEST_F(Vorelle3Test, HostWritesFromAnotherThreadLeaveTheRebuildToTheIdleTick)
{
  CommandsPlug plug;
  plug.Curves().SetFingerprintValid(true);
  const unsigned generation = plug.Generation();
  std::thread host([&plug] { plug.FromHost(kReferenceMode, 2.0); });
  host.join();
  EXPECT_EQ(plug.ReferenceMode(), 2);
  EXPECT_EQ(plug.Generation(), generation);
  plug.OnIdle();
  EXPECT_EQ(plug.Generation(), generation + 1);
  plug.OnIdle();
  EXPECT_EQ(plug.Generation(), generation + 1);
}

TEST_F(Vorelle3Test, AReferenceChangeFromAnotherThreadFadesInWhenItsFilterTakesOver)
{
  // One plug-in hears the change on the main thread, the other on a host
  // thread, whose filter arrives with the idle tick after more audio. From
  // the moment each new filter is in, both outputs are the same: the fade
  // starts with the filter, not with the change.
  std::vector<double> shape(static_cast<size_t>(kReferenceCurvePoints));
  for (int k = 0; k < kReferenceCurvePoints; ++k)
    shape[size_t(k)] = ReferenceCurveMagnitude(3, k);
  CommandsPlug same, other;
  for (CommandsPlug* p : {&same, &other}) {
    p->Curves().TakeFingerprint(shape.data(), shape.size());
    p->FromUI(kActivityState, kProcessing);
  }
  std::vector<double> l, r, ol, orr;
  Sine(l, r, 20000, 300.0, same.GetSampleRate(), 0.3);
  same.Run(l, r, ol, orr, 512);
  other.Run(l, r, ol, orr, 512);

  same.FromHost(kReferenceMode, 2.0);
  std::thread host([&other] { other.FromHost(kReferenceMode, 2.0); });
  host.join();
  Sine(l, r, 4096, 300.0, same.GetSampleRate(), 0.3);
  other.Run(l, r, ol, orr, 512); // still the old filter
  other.OnIdle();
  EXPECT_EQ(other.Output().FadePosition(), 0);

  std::vector<double> sameL, sameR, otherL, otherR;
  Sine(l, r, 30000, 440.0, same.GetSampleRate(), 0.3);
  same.Run(l, r, sameL, sameR, 512);
  other.Run(l, r, otherL, otherR, 512);
  double worst = 0.0;
  for (size_t i = 0; i < sameL.size(); ++i)
    worst = std::max({worst, std::fabs(sameL[i] - otherL[i]), std::fabs(sameR[i] - otherR[i])});
  EXPECT_LT(worst, 1e-12);
}

TEST_F(Vorelle3Test, CaptureFinishedFromAnotherThreadIsMappedAtTheIdleTick)
{
  CommandsPlug plug;
  plug.FromUI(kActivityState, kCapture);
  std::vector<double> l, r, ol, orr;
  Sine(l, r, 70000, 2000.0, plug.GetSampleRate(), 0.5);
  plug.Run(l, r, ol, orr, 1024);
  std::thread host([&plug] { plug.FromHost(kActivityState, kProcessing); });
  host.join();
  EXPECT_EQ(plug.ActivityState(), kProcessing);
  double sum = 0.0;
  for (unsigned i = 0; i < plug.Curves().Fingerprint().count; ++i)
    sum += plug.Curves().Fingerprint().mag[i];
  EXPECT_EQ(sum, 0.0);
  plug.OnIdle();
  for (unsigned i = 0; i < plug.Curves().Fingerprint().count; ++i)
    sum += plug.Curves().Fingerprint().mag[i];
  EXPECT_GT(sum, 0.0);
}

TEST_F(Vorelle3Test, HostWritesOnTheRenderThreadAllocateNothing)
{
  CommandsPlug plug;
  plug.Curves().SetFingerprintValid(true);
  size_t allocations = 0;
  std::thread render([&] {
    testsupport::ScopedAllocationCount count;
    const std::pair<int, double> writes[] = {
      {kActivityState, kCapture}, {kActivityState, kProcessing}, {kReferenceMode, 3.0},  {kGain, -4.0}, {kMix, 55.0},
      {kResetPeakMax, 1.0},       {kActivityState, kCapture},    {kActivityState, kIdle}};
    for (const auto& [idx, value] : writes)
      plug.FromHost(idx, value);
    allocations = count.Count();
  });
  render.join();
  EXPECT_EQ(allocations, 0u);
  EXPECT_EQ(plug.ActivityState(), kIdle);
  EXPECT_EQ(plug.ReferenceMode(), 3);
  EXPECT_EQ(plug.Mix(), 55.0);
  plug.OnIdle(); // the deferred capture finish and rebuild run here
}
