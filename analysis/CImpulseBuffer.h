#pragma once
// The impulse response handed to the convolution engines: one or two
// channels of doubles. Owned by its creator; the engines copy what they need
// in SetImpulse and keep no pointer to it. Not thread-safe.
#include "UT_TypedBuf.h"

class CImpulseBuffer {
public:
  static constexpr int kMaxChannels = 2;

  // Clamps n to 1..2. A new channel starts as a copy of the existing ones
  // (cyclically); a dropped channel's samples are released.
  void SetNumChannels(int n);
  int GetNumChannels() const { return mNumChannels; }

  // Resizes every channel to len samples, new samples zero. Returns the
  // length of channel 0; when any channel cannot grow, all samples are
  // released and 0 is returned.
  int SetLength(int len);
  int GetLength(int channel) const;

  // Samples of a channel, null when it is empty or out of range.
  double* GetChannel(int channel);
  const double* GetChannel(int channel) const;

  void SetSampleRate(double rate) { mSampleRate = rate; }
  double GetSampleRate() const { return mSampleRate; }

private:
  static bool InRange(int channel) { return channel >= 0 && channel < kMaxChannels; }

  double mSampleRate = 44100.0;
  plugin::UT_TypedBuf<double> mChannel[kMaxChannels];
  int mNumChannels = 1;
};
