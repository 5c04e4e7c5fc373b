#pragma once
// The end of every audio block: the clip detector that watches the output,
// the peak meter, the limiter and fade-in of the Processing state, and the
// meter clock that asks the idle loop to refresh the editor.
//
// Threads: Prepare, Process, CountFrames, RestartFade, ResetPeak and
// NotePeak run under the plug-in's mutex (audio thread, or main thread for
// the resets). The readers may also be called without it from the main
// thread: a torn read only delays a display by one tick. The refresh request
// is atomic: the block sets it, the idle loop takes it. Nothing here
// allocates or waits.
#include <atomic>

class OutputStage {
public:
  // Clip detector states.
  static constexpr int kClipInitial = 0;
  static constexpr int kClipHold = 1;
  static constexpr int kClipRelease = 4;
  static constexpr double kMeterIntervalMs = 25.0;

  // Timings for the rate fs (a rate that is not finite and positive counts
  // as 0): clears the clip detector, restarts the fade and the meter clock.
  // The peak is kept.
  void Prepare(double fs);

  // The per-sample stage on both output channels, in place: clip detection
  // on every sample; with `processing` also the peak (before limiting), the
  // limit to [-1, 1] and the fade-in.
  void Process(double* left, double* right, int nFrames, bool processing);

  // Counts frames toward the next refresh; requests one each time a meter
  // interval has passed.
  void CountFrames(int nFrames);
  void RequestMeterUpdate() { mMeterUpdatePending = true; }
  // True once per request; clears it.
  bool TakeMeterUpdate() { return mMeterUpdatePending.exchange(false); }
  bool MeterUpdatePending() const { return mMeterUpdatePending; }

  // The output fades in again from silence over FadeLength() samples.
  void RestartFade() { mFadePos = 0; }
  void ResetPeak() { mPeakMax = 0.0; }
  // Raises the peak to |level| when that is larger.
  void NotePeak(double level);

  double PeakMax() const { return mPeakMax; }
  double ClipEnvelope() const { return mClipEnvelope; }
  double ClipLatch() const { return mClipLatch; }
  int ClipState() const { return mClipState; }
  int FadeLength() const { return mFadeLength; }
  int FadePosition() const { return mFadePos; }
  int MeterInterval() const { return mMeterIntervalSamples; }

private:
  void DetectClip(double left, double right);

  double mPeakMax = 0.0;
  std::atomic<bool> mMeterUpdatePending{false};
  int mMeterIntervalSamples = 1;
  int mMeterSampleCount = 0;

  double mClipEnvelope = 0.0;
  double mClipLatch = 0.0;
  double mClipAttackCoef = 0.0;
  double mClipReleaseCoef = 0.0;
  // Wide: two seconds of samples pass INT_MAX from 2^30 Hz on.
  long long mClipHoldSamples = 0;
  long long mClipHoldCount = 0;
  int mClipState = kClipInitial;

  int mFadeLength = 0;
  int mFadePos = 0;
  double mFadeExponent = 2.0;
};
