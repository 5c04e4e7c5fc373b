#pragma once
// A Vorelle3 with its parameter mirrors and filter opened up for tests and
// its owned parts (output stage, curves, file jobs) reachable for driving,
// in a private home folder of the platform stand-in.
#include <gtest/gtest.h>
#include <standin/Testing.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Vorelle3.h"
#include <optional>
#include "TempFolder.h"

namespace testplug {

// A curve's magnitudes as a vector.
inline std::vector<double> Magnitudes(const Vorelle3CurveRecord& curve)
{
  return std::vector<double>(curve.mag, curve.mag + curve.count);
}

class TestVorelle3 : public Vorelle3 {
public:
  TestVorelle3() : Vorelle3(Info()) {}

  using Vorelle3::Curves;
  using Vorelle3::FileJobs;
  using Vorelle3::Output;

  static plugin::InstanceInfo Info()
  {
    plugin::InstanceInfo info;
    info.mCocoaViewFactoryClassName.Set("Vorelle3_View");
    return info;
  }

  // Mirrors, as the parameter reactions will set them.
  void SetActivity(int s) { mActivityState = s; }
  void SetMix(double m) { mMix = m; }
  void SetGain(double g) { mGain = g; }
  void SetADMode(int m) { mADMode = m; }
  void SetReferenceMode(int r)
  {
    mReferenceMode = r;
    Output().RestartFade();
  }

  // Rate and block size as the host sets them, then the host's reset.
  void Reconfigure(double fs, int blockSize)
  {
    SetSampleRate(fs);
    SetBlockSize(blockSize);
    OnReset();
  }

  // Reloads the dry path's unit impulse into an engine that may lag by
  // `latency` samples, so it delivers fewer samples than the wet path.
  void LetDryPathLag(int latency)
  {
    mFilter->dryDelay.SetImpulse(&mFilter->dryBuffer, 2 * mMaxImpulseSize, mBlockSize, 0, 0, latency, false);
    mFilter->dryDelay.Reset();
  }
  // Analyser bands: 3 gives 6 points per octave (67), 4 gives 12 (133).
  void SetBandIndex(int index) { mBandIndex = index; }
  int MaxImpulseSize() const { return mMaxImpulseSize; }
  int BlockSizeBuilt() const { return mBlockSize; }

  const std::vector<double>& FilterImpulse() const { return mFilter->filterImpulse; }
  const std::vector<double>& DryImpulse() const { return mFilter->dryImpulse; }
  const CorrectionFilter* Filter() const { return mFilter.get(); }
  int FilterLatency() const { return mFilterLatency; }
  // Counts filter designs (and DSP rebuilds).
  unsigned Generation() const { return mDSPGeneration; }
  using Vorelle3::RunDeferredWork;
  int WantedLatency() const { return mLatency; }
  int HandedLatency() const { return IExtPDCHandler::mLatency; }
  bool LinearPhase() const { return mLinearPhase; }
  CMFFT& Analyser() { return *mAnalyser; }
  double SampleRateBuilt() const { return mSampleRate; }
  int ActivityState() const { return mActivityState; }
  int ReferenceMode() const { return mReferenceMode; }
  int ADMode() const { return mADMode; }
  double Gain() const { return mGain; }
  double Mix() const { return mMix; }
  double GUIScale() const { return mGUIScale; }
  int Tooltips() const { return mTooltips; }
  int OnlineUpdateCheck() const { return mOnlineUpdateCheck; }

  // Runs a stereo signal through ProcessBlock in blocks of `block` frames.
  void Run(const std::vector<double>& l, const std::vector<double>& r, std::vector<double>& outL,
           std::vector<double>& outR, int block)
  {
    outL.assign(l.size(), 0.0);
    outR.assign(r.size(), 0.0);
    for (size_t pos = 0; pos < l.size(); pos += size_t(block)) {
      const int n = int(std::min(l.size() - pos, size_t(block)));
      double* in[2] = {const_cast<double*>(l.data() + pos), const_cast<double*>(r.data() + pos)};
      double* out[2] = {outL.data() + pos, outR.data() + pos};
      ProcessBlock(in, out, n);
    }
  }
};

// A private home (and so data folder) per test and process: runs of the
// suite in other builds may share the temporary folder.
class Vorelle3Test : public ::testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    mFolder.emplace();
    mRoot = mFolder->Path();
    standin::SetUserHome((mRoot / "home").string(), true);
    standin::SetSystemRoot((mRoot / "sys").string());
  }
  void TearDown() override
  {
    standin::Reset();
    mFolder.reset();
  }

  std::optional<testsupport::TempFolder> mFolder;
  std::filesystem::path mRoot;
};

} // namespace testplug
