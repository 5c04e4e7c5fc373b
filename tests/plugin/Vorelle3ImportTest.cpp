// Audio files analysed as fingerprint or reference, and the file jobs that
// run them one idle tick after they were queued. Files come from libsndfile;
// the reference spectra come from libsndfile's reading of the same file
// fed to an analyser in one piece.
#include <sndfile.h>

#include <fstream>
#include <limits>
#include <thread>

#include "AllocationCounter.h"
#include "CommandsFixture.h"

using namespace testplug;

namespace {

constexpr int kRate = 44100;
constexpr double kSpectrumTol = 1e-9; // relative, per bin

// The file as libsndfile reads it, one double vector per channel.
std::vector<std::vector<double>> ReadPlanar(const std::string& path, int& rate)
{
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  std::vector<std::vector<double>> out;
  if (!f)
    return out;
  std::vector<float> inter(size_t(info.frames) * size_t(info.channels));
  sf_readf_float(f, inter.data(), info.frames);
  sf_close(f);
  rate = info.samplerate;
  out.assign(size_t(info.channels), std::vector<double>(size_t(info.frames)));
  for (sf_count_t i = 0; i < info.frames; ++i)
    for (int c = 0; c < info.channels; ++c)
      out[size_t(c)][size_t(i)] = inter[size_t(i) * size_t(info.channels) + size_t(c)];
  return out;
}

// An analyser set up as the plug-in sets its own, fed the whole signal
// `passes` times in one call each.
std::unique_ptr<CMFFT> WholeFeed(std::vector<std::vector<double>>& ch, int rate, int passes)
{
  auto a = std::make_unique<CMFFT>();
  a->SetNumChannels(int(ch.size()));
  a->SetSampleRate(rate);
  a->SetParam(0, 16384);
  a->SetParam(1, 3);
  a->SetParam(2, 0);
  double* in[2] = {ch[0].data(), ch.size() > 1 ? ch[1].data() : nullptr};
  for (int p = 0; p < passes; ++p)
    a->ProcessCapture(in, nullptr, int(ch[0].size()));
  return a;
}

void ExpectSameAverage(CMFFT& got, CMFFT& want)
{
  ASSERT_EQ(got.GetInfo(5), want.GetInfo(5));
  const int n = int(want.GetInfo(5));
  const double* g = got.GetData(6);
  const double* w = want.GetData(6);
  double worst = 0.0;
  for (int k = 0; k < n; ++k)
    worst = std::max(worst, std::fabs(g[k] - w[k]) / std::max(std::fabs(w[k]), 1e-30));
  EXPECT_LT(worst, kSpectrumTol);
}

class Import : public Vorelle3Test {
protected:
  std::string File(const char* name) const { return (mRoot / name).string(); }

  std::string StereoNoise(const char* name, double seconds, int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT)
  {
    const std::string path = File(name);
    EXPECT_TRUE(WriteSoundFile(path, format, 2, kRate, Noise(size_t(seconds * kRate) * 2, 7)));
    return path;
  }
};

} // namespace

TEST_F(Import, FileFedInBlocksEqualsTheWholeFileFedAtOnce)
{
  CommandsPlug plug;
  const std::string path = StereoNoise("noise.wav", 3.0);
  double fs = 0.0;
  std::unique_ptr<CMFFT> got = plug.ImportAudioFile(path.c_str(), &fs);
  ASSERT_TRUE(got);
  EXPECT_STREQ(plug.ImportStatus(), "Success!");
  EXPECT_EQ(fs, kRate);
  int rate = 0;
  auto ch = ReadPlanar(path, rate);
  ExpectSameAverage(*got, *WholeFeed(ch, rate, 1));
}

TEST_F(Import, ShortFilesAreLoopedUntilOneWholeFrameWasSeen)
{
  struct {
    int frames;
    int passes;
  } rows[] = {{1000, 17}, {44100, 1}, {16384, 1}, {16383, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.frames);
    CommandsPlug plug;
    const std::string path = File("short.wav");
    ASSERT_TRUE(WriteSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, kRate, Noise(size_t(row.frames), 3)));
    std::unique_ptr<CMFFT> got = plug.ImportAudioFile(path.c_str());
    ASSERT_TRUE(got);
    int rate = 0;
    auto ch = ReadPlanar(path, rate);
    ExpectSameAverage(*got, *WholeFeed(ch, rate, row.passes));
  }
}

TEST_F(Import, BadFilesSayWhy)
{
  CommandsPlug plug;
  const std::string threeChannels = File("three.wav");
  ASSERT_TRUE(WriteSoundFile(threeChannels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, kRate, Noise(3 * 4000, 1)));
  const std::string empty = File("empty.wav");
  ASSERT_TRUE(WriteSoundFile(empty, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, kRate, {}));
  const std::string text = File("text.wav");
  std::ofstream(text) << "this is not a RIFF file, only text that ends in .wav\n";

  struct {
    std::string path;
    const char* status;
  } rows[] = {
    {threeChannels, "Error: channel count > 2!"},
    {text, "Error: file corrupt or unsupported!"},
    {File("missing.wav"), "Error: file corrupt or unsupported!"},
    {empty, "Error: no frames detected!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(plug.ImportAudioFile(row.path.c_str()), nullptr);
    EXPECT_STREQ(plug.ImportStatus(), row.status);
  }
  EXPECT_EQ(plug.ImportAudioFile(nullptr), nullptr);
  EXPECT_STREQ(plug.ImportStatus(), "Error: file corrupt or unsupported!");
}

TEST_F(Import, FileIsAnalysedAtItsOwnRate)
{
  CommandsPlug plug;
  const int rate = 96000;
  std::vector<float> tone(size_t(rate) * 2);
  for (size_t i = 0; i < tone.size() / 2; ++i)
    tone[2 * i] = tone[2 * i + 1] = float(0.5 * std::sin(2.0 * M_PI * 1000.0 * double(i) / rate));
  const std::string path = File("tone96k.wav");
  ASSERT_TRUE(WriteSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, rate, tone));
  double fs = 0.0;
  std::unique_ptr<CMFFT> a = plug.ImportAudioFile(path.c_str(), &fs);
  ASSERT_TRUE(a);
  EXPECT_EQ(fs, 96000.0);
  std::vector<double> mapped;
  ASSERT_TRUE(plug.MapAnalyserOntoGrid(*a, fs, mapped));
  const size_t loudest = size_t(std::max_element(mapped.begin(), mapped.end()) - mapped.begin());
  EXPECT_NEAR(std::log2(10.0 * std::pow(2.0, double(loudest) / plug.BandsPerOctave()) / 1000.0), 0.0, 1.0 / 6.0);
}

TEST_F(Import, LongFileNeverNeedsAWholeCopyInDoubles)
{
  CommandsPlug plug;
  const std::string path = StereoNoise("long.wav", 30.0);
  // A whole channel in doubles would be 30 * 44100 * 8 bytes, ten times this.
  testsupport::ScopedAllocationLimit limit(1 << 20);
  std::unique_ptr<CMFFT> got = plug.ImportAudioFile(path.c_str());
  EXPECT_TRUE(got);
  EXPECT_STREQ(plug.ImportStatus(), "Success!");
}

TEST_F(Import, FailedAllocationIsReportedAsAnUnsupportedFile)
{
  CommandsPlug plug;
  const std::string path = StereoNoise("noise.wav", 1.0);
  plug.Curves().SetFingerprintValid(false);
  {
    testsupport::ScopedAllocationLimit limit(64 * 1024);
    EXPECT_FALSE(plug.LoadFingerprintAndUpdate(path.c_str(), &plug.Curves().Fingerprint()));
  }
  EXPECT_STREQ(plug.ImportStatus(), "Error: file corrupt or unsupported!");
  EXPECT_FALSE(plug.Curves().FingerprintValid());
}

TEST_F(Import, NonFiniteSamplesAreRefusedAndTheCurvesKept)
{
  // One NaN or infinite sample, as the fingerprint and as the reference,
  // through the job as the editor runs it: the import's error message, the
  // previous curve and its flag stay.
  const std::string good = StereoNoise("good.wav", 1.0);
  for (const float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    for (const int tag : {23, 25}) {
      SCOPED_TRACE(std::to_string(bad) + (tag == 23 ? " as fingerprint" : " as reference"));
      std::vector<float> samples = Noise(size_t(kRate) * 2, 7);
      samples[12345] = bad;
      const std::string path = File("bad.wav");
      ASSERT_TRUE(WriteSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, kRate, samples));

      CommandsPlug plug;
      plug.OpenEditor();
      PathPicker* picker = tag == 23 ? plug.mLoadFingerprint : plug.mLoadReference;
      picker->mPath = good;
      plug.Action(tag);
      plug.OnIdle();
      plug.OnIdle();
      const Vorelle3CurveRecord& curve = tag == 23 ? plug.Curves().Fingerprint() : plug.Curves().CustomReference();
      const std::vector<double> before = Magnitudes(curve);

      picker->mPath = path;
      plug.Action(tag);
      plug.OnIdle();
      plug.OnIdle();
      EXPECT_STREQ(plug.ImportStatus(), "Error: file corrupt or unsupported!");
      EXPECT_EQ(Magnitudes(curve), before);
      EXPECT_TRUE(tag == 23 ? plug.Curves().FingerprintValid() : plug.Curves().CustomRefValid());
      EXPECT_STREQ(plug.Curves().CustomRefName(), tag == 23 ? "(None)" : "good.wav");
      EXPECT_FALSE(plug.ImportAudioFile(path.c_str()));
    }
  }
}

TEST_F(Import, RecordingsThatMakeNoReferenceAreRefusedAndTheCustomReferenceKept)
{
  // Shorter than one analysis frame (it would be looped into the lines of
  // its own period), silent, or below the level floor in every band: the
  // job's alert is "Error Load" under the path, and the reference in use,
  // its name and its flag stay.
  struct {
    const char* name;
    std::vector<float> samples;
    bool refused;
  } rows[] = {
    {"one-frame.wav", {0.5f}, true},
    {"short.wav", Noise(16383, 5), true},
    {"silent.wav", std::vector<float>(size_t(kRate), 0.f), true},
    {"whisper.wav", Noise(size_t(kRate), 5, 1e-9f), true},
    {"one-frame-long.wav", Noise(16384, 5), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CommandsPlug plug;
    auto* g = plug.OpenEditor();
    plug.mLoadReference->mPath = StereoNoise("good.wav", 1.0);
    plug.Action(25);
    plug.OnIdle();
    plug.OnIdle();
    ASSERT_TRUE(plug.Curves().CustomRefValid());
    const std::vector<double> before = Magnitudes(plug.Curves().CustomReference());

    const std::string path = File(row.name);
    ASSERT_TRUE(WriteSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, kRate, row.samples));
    plug.mLoadReference->mPath = path;
    plug.Action(25);
    g->TakeLog();
    plug.OnIdle();
    plug.OnIdle();
    const auto log = g->TakeLog();
    const std::string alert = std::string("MessageBox ") + (row.refused ? "Error Load" : "Success!") + ": " + path;
    EXPECT_NE(std::find(log.begin(), log.end(), alert), log.end());
    EXPECT_EQ(Magnitudes(plug.Curves().CustomReference()) == before, row.refused);
    EXPECT_STREQ(plug.Curves().CustomRefName(), row.refused ? "good.wav" : row.name);
    EXPECT_TRUE(plug.Curves().CustomRefValid());
  }
}

TEST_F(Import, ASilentFingerprintIsNotSavedAsAReference)
{
  // Every file the plug-in writes loads again: a fingerprint with no level
  // above the floor is kept as a fingerprint but refused as a reference.
  CommandsPlug plug;
  plug.OpenEditor();
  std::vector<double> silent(plug.Curves().Fingerprint().count, 0.0);
  plug.Curves().TakeFingerprint(silent.data(), silent.size());
  plug.mSaveFingerprint->mPath = File("silent.vrl");
  plug.Action(24);
  EXPECT_FALSE(plug.MessagePending());
  EXPECT_TRUE(std::filesystem::exists(File("silent.vrl")));
  plug.mSaveReference->mPath = File("silent.ref");
  plug.Action(26);
  EXPECT_TRUE(plug.MessagePending());
  EXPECT_EQ(plug.MessageText(), File("silent.ref"));
  EXPECT_EQ(plug.MessageTitle(), "Error Save");
  EXPECT_FALSE(std::filesystem::exists(File("silent.ref")));
}

TEST_F(Import, AConversionWritesNoFilesForARecordingThatMakesNoReference)
{
  CommandsPlug plug;
  const std::string silent = File("quiet.wav");
  ASSERT_TRUE(WriteSoundFile(silent, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, kRate, std::vector<float>(size_t(kRate))));
  EXPECT_FALSE(plug.ConvertAudioFile(silent.c_str()));
  EXPECT_STREQ(plug.ImportStatus(), "Error Load");
  for (const char* sibling : {"quiet.vrl", "quiet.ref", "quiet.cpp"})
    EXPECT_FALSE(std::filesystem::exists(File(sibling))) << sibling;
  EXPECT_TRUE(plug.ConvertAudioFile(StereoNoise("loud.wav", 1.0).c_str()));
  EXPECT_TRUE(std::filesystem::exists(File("loud.ref")));
}

TEST_F(Import, APlugInBuiltOnAnotherThreadRunsFileCommandsOnTheMainThread)
{
  // A host may make the unit on a thread of its own; the editor's commands
  // still come on the process's main thread and must run there.
  std::unique_ptr<CommandsPlug> plug;
  std::thread maker([&plug] { plug = std::make_unique<CommandsPlug>(); });
  maker.join();
  plug->OpenEditor();
  std::vector<double> shape(plug->Curves().Fingerprint().count, 0.01);
  plug->Curves().TakeFingerprint(shape.data(), shape.size());
  plug->mSaveFingerprint->mPath = File("elsewhere.vrl");
  plug->Action(24);
  EXPECT_TRUE(std::filesystem::exists(File("elsewhere.vrl")));
  plug->mLoadReference->mPath = StereoNoise("ref.wav", 1.0);
  plug->Action(25);
  EXPECT_EQ(plug->FileJobs().State(), 7);
  // And a host write from another thread still waits for the idle tick.
  const unsigned generation = plug->Generation();
  std::thread host([&plug] { plug->FromHost(kReferenceMode, 3.0); });
  host.join();
  EXPECT_EQ(plug->Generation(), generation);
}

// ---------------------------------------------------------------------------
// File jobs

TEST_F(Import, WavPathQueuesAJobThatRunsOnTheSecondIdleTick)
{
  CommandsPlug plug;
  auto* g = plug.OpenEditor();
  const std::string path = StereoNoise("take.wav", 2.0);
  plug.mLoadFingerprint->mPath = path;
  plug.Action(23);
  EXPECT_EQ(plug.FileJobs().State(), 4);
  EXPECT_STREQ(plug.FileJobs().Path(), path.c_str());

  plug.OnIdle();
  EXPECT_EQ(plug.FileJobs().State(), 4);
  EXPECT_FALSE(plug.Curves().FingerprintValid());

  const unsigned generation = plug.Generation();
  g->TakeLog();
  plug.OnIdle();
  EXPECT_EQ(plug.FileJobs().State(), 0);
  EXPECT_STREQ(plug.FileJobs().Path(), "");
  EXPECT_TRUE(plug.Curves().FingerprintValid());
  EXPECT_EQ(plug.Generation(), generation + 1);
  double sum = 0.0;
  for (unsigned i = 0; i < plug.Curves().Fingerprint().count; ++i)
    sum += plug.Curves().Fingerprint().mag[i];
  EXPECT_GT(sum, 0.0);
  const auto log = g->TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "MessageBox Success!: " + path), log.end());
}

TEST_F(Import, AiffPathLoadsACustomReferenceNamedAfterTheFile)
{
  CommandsPlug plug;
  plug.OpenEditor();
  const std::string path = StereoNoise("room tone.aiff", 1.0, SF_FORMAT_AIFF | SF_FORMAT_PCM_16);
  plug.mLoadReference->mPath = path;
  plug.Action(25);
  EXPECT_EQ(plug.FileJobs().State(), 7);
  plug.OnIdle();
  plug.OnIdle();
  EXPECT_EQ(plug.FileJobs().State(), 0);
  EXPECT_TRUE(plug.Curves().CustomRefValid());
  EXPECT_STREQ(plug.Curves().CustomRefName(), "room tone.aiff");
  EXPECT_EQ(plug.mStyle->mText, "Custom Style: room tone.aiff");
}

TEST_F(Import, ExtensionsAreComparedExactly)
{
  CommandsPlug plug;
  plug.OpenEditor();
  for (const char* name : {"a.WAV", "a.Wav", "a.aif", "a.wave", "noext", "a.wav.txt"}) {
    plug.mLoadFingerprint->mPath = File(name);
    plug.Action(23);
    EXPECT_EQ(plug.FileJobs().State(), 0) << name;
  }
  plug.mLoadFingerprint->mPath = "";
  plug.Action(23);
  EXPECT_EQ(plug.FileJobs().State(), 0);
}

TEST_F(Import, FailedJobsShowThePathUnderTheReason)
{
  CommandsPlug plug;
  auto* g = plug.OpenEditor();
  const std::string three = File("three.wav");
  ASSERT_TRUE(WriteSoundFile(three, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, kRate, Noise(3 * 4000, 1)));
  const std::string text = File("text.wav");
  std::ofstream(text) << "not audio";
  struct {
    std::string path;
    const char* caption;
  } rows[] = {{three, "Error: channel count > 2!"}, {text, "Error: file corrupt or unsupported!"}};
  for (const auto& row : rows) {
    plug.mLoadFingerprint->mPath = row.path;
    plug.Action(23);
    g->TakeLog();
    plug.OnIdle();
    plug.OnIdle();
    const auto log = g->TakeLog();
    EXPECT_NE(std::find(log.begin(), log.end(), std::string("MessageBox ") + row.caption + ": " + row.path), log.end());
    EXPECT_FALSE(plug.Curves().FingerprintValid());
    EXPECT_EQ(plug.FileJobs().State(), 0);
  }
}

TEST_F(Import, JobsWaitWhileTheEditorIsClosed)
{
  CommandsPlug plug;
  plug.OpenEditor();
  plug.mLoadFingerprint->mPath = StereoNoise("take.wav", 1.0);
  plug.Action(23);
  plug.CloseEditor();
  for (int i = 0; i < 3; ++i)
    plug.OnIdle();
  EXPECT_EQ(plug.FileJobs().State(), 4);
  plug.OpenEditor();
  plug.OnIdle();
  plug.OnIdle();
  EXPECT_EQ(plug.FileJobs().State(), 0);
  EXPECT_TRUE(plug.Curves().FingerprintValid());
}

TEST_F(Import, FileActionsDuringCaptureAreRefusedAndTheMessageWaitsForTheEditor)
{
  CommandsPlug plug;
  plug.FromUI(kActivityState, kCapture);
  for (int tag : {23, 24, 25, 26}) {
    plug.Action(tag);
    EXPECT_EQ(plug.MessageText(), "Capture running");
    EXPECT_EQ(plug.MessageTitle(), "Error Save");
    EXPECT_TRUE(plug.MessagePending());
  }
  plug.OnIdle();
  EXPECT_TRUE(plug.MessagePending());
  auto* g = plug.OpenEditor();
  plug.OnIdle();
  EXPECT_FALSE(plug.MessagePending());
  const auto log = g->TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "MessageBox Error Save: Capture running"), log.end());
}

// ---------------------------------------------------------------------------
// Curve files and presets through the editor's commands

TEST_F(Import, SavedFingerprintLoadsBackAsFingerprintAndAsReference)
{
  CommandsPlug plug;
  plug.OpenEditor();
  plug.mLoadFingerprint->mPath = StereoNoise("take.wav", 1.0);
  plug.Action(23);
  plug.OnIdle();
  plug.OnIdle();
  ASSERT_TRUE(plug.Curves().FingerprintValid());
  const std::vector<double> captured = Magnitudes(plug.Curves().Fingerprint());

  plug.mSaveFingerprint->mPath = File("print.vrl");
  plug.Action(24);
  plug.mSaveReference->mPath = File("print.ref");
  plug.Action(26);
  EXPECT_FALSE(plug.MessagePending());

  CommandsPlug other;
  other.OpenEditor();
  other.mLoadFingerprint->mPath = File("print.vrl");
  other.Action(23);
  EXPECT_TRUE(other.Curves().FingerprintValid());
  EXPECT_EQ(Magnitudes(other.Curves().Fingerprint()), captured);
  other.mLoadReference->mPath = File("print.ref");
  other.Action(25);
  EXPECT_TRUE(other.Curves().CustomRefValid());
  EXPECT_STREQ(other.Curves().CustomRefName(), "print.ref");
  EXPECT_EQ(other.mStyle->mText, "Custom Style: print.ref");
  EXPECT_FALSE(other.MessagePending());
}

TEST_F(Import, UnreadableAndUnwritableCurveFilesReportTheirPath)
{
  CommandsPlug plug;
  plug.OpenEditor();
  struct {
    int tag;
    std::string path;
    const char* title;
  } rows[] = {
    {23, File("missing.vrl"), "Error Load"},
    {25, File("missing.ref"), "Error Load"},
    {24, File("no-such-folder/print.vrl"), "Error Save"},
    {26, File("no-such-folder/print.ref"), "Error Save"},
  };
  plug.Curves().SetFingerprintValid(true);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tag);
    PathPicker* picker = row.tag == 23   ? plug.mLoadFingerprint
                         : row.tag == 24 ? plug.mSaveFingerprint
                         : row.tag == 25 ? plug.mLoadReference
                                         : plug.mSaveReference;
    picker->mPath = row.path;
    plug.Action(row.tag);
    EXPECT_TRUE(plug.MessagePending());
    EXPECT_EQ(plug.MessageText(), row.path);
    EXPECT_EQ(plug.MessageTitle(), row.title);
    plug.OnIdle();
  }
}

TEST_F(Import, SavingWithoutAFingerprintWritesNothing)
{
  CommandsPlug plug;
  plug.OpenEditor();
  plug.mSaveFingerprint->mPath = File("print.vrl");
  plug.Action(24);
  plug.mSaveReference->mPath = File("print.ref");
  plug.Action(26);
  EXPECT_FALSE(std::filesystem::exists(File("print.vrl")));
  EXPECT_FALSE(std::filesystem::exists(File("print.ref")));
  EXPECT_FALSE(plug.MessagePending());
}

TEST_F(Import, PresetCommandsSaveLoadAndListPresetFiles)
{
  CommandsPlug plug;
  auto* g = plug.OpenEditor();
  auto* menu = new PathPicker;
  g->AttachControl(menu, 3);

  plug.FromUI(kMix, 37.0);
  menu->mPath = std::string(plug.GetDataPath()) + "/warm room.zvp";
  plug.Action(15);
  ASSERT_TRUE(std::filesystem::exists(menu->mPath));
  plug.Action(16);
  EXPECT_TRUE(std::filesystem::exists(std::string(plug.GetAUDataPath()) + "/default.zvp"));

  plug.FromUI(kMix, 80.0);
  plug.Action(14);
  EXPECT_EQ(plug.GetParam(kMix)->Value(), 37.0);
  EXPECT_EQ(plug.Mix(), 37.0);

  std::ofstream(std::string(plug.GetDataPath()) + "/broken.zvp") << "<not a preset";
  plug.Action(17);
  EXPECT_EQ(plug.NPresetList(), 1);
  EXPECT_STREQ(plug.PresetListName(0), "warm room");
}
