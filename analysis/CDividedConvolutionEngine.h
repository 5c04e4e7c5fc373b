#pragma once
// Low-latency convolution with a long impulse: the impulse is cut into
// slices of growing length, each run by its own CConvolutionEngine. The
// first slice is convolved directly; every later slice uses FFT blocks as
// long as its start position, so its block delay is hidden by where it sits
// in the impulse. The slices' outputs are summed.
//
// Contract
// - Stream: Add(inputs, n, nch), then Avail(want), Get, Advance, as for
//   CConvolutionEngine. Output sample i is the filtered value at input time i.
// - Latency: with latencyAllowed 0 the first slice is direct and the engine
//   has none: Avail(n) after Add(n) returns n. With latencyAllowed > 0 the
//   first slice is an FFT slice of size F0 (the first of 16, 32, ... above
//   latencyAllowed) and GetLatency() = F0 / 2: output lags input by that much
//   until it is primed (for instance with that many samples of silence).
// - Slicing for maxFFTSize M, known block size K and latencyAllowed 0: the
//   first slice holds 64 samples (K/2 when K >= 129 is a power of two), each
//   later one starts at p with FFT size 2p and length up to 3p; FFT sizes stop
//   at the cap 2|M| (524288 when |M| is 0 or above 262144), where the last
//   slice takes the rest.
// - Cost: slices over silent stretches of the impulse (after the first) are
//   skipped, so a delayed unit impulse costs little more than a copy.
// - Memory: SetImpulse allocates; after the first blocks of a stream Add,
//   Avail, Get and Advance allocate nothing.
// - Threads: none of its own; one caller at a time.
#include <memory>
#include <vector>

#include "CByteQueue.h"
#include "CConvolutionEngine.h"
#include "CImpulseBuffer.h"

class CDividedConvolutionEngine {
public:
  static constexpr int kMaxChannels = CConvolutionEngine::kMaxChannels;

  // Where one slice sits in the impulse.
  struct SliceInfo {
    int start;
    int length;
    int fftSize; // 0: direct
  };

  CDividedConvolutionEngine() = default;
  ~CDividedConvolutionEngine();
  CDividedConvolutionEngine(const CDividedConvolutionEngine&) = delete;
  CDividedConvolutionEngine& operator=(const CDividedConvolutionEngine&) = delete;

  // Cuts impulse samples [offset, offset + length) of channel 0's length
  // (limited to maxLength when >= 1) into slices. reuseSlices recomputes the
  // slicing onto the slices already held, keeping their queues where the
  // shape allows; otherwise fresh slices replace them. Returns the latency.
  int SetImpulse(const CImpulseBuffer* impulse, int maxFFTSize, int knownBlockSize, int maxLength, int offset,
                 int latencyAllowed, bool keepChannels, bool reuseSlices = false);
  int GetLatency() const;

  // Forgets all signal; the next Add primes the slices again.
  void Reset();
  // Destroys every slice.
  void Clear();

  void Add(double* const* inputs, int n, int nch);
  int Avail(int want, bool noSharing);
  // Per channel below the channel count of the last Add its first unread
  // summed sample, else null.
  double** Get();
  void Advance(int n);
  // Serves no channel until the next Add.
  void ResetChannelCount() { mNumChannels = -1; }

  int GetNumSlices() const { return int(mSlices.size()); }
  SliceInfo GetSliceInfo(int index) const;

private:
  int OutputChannels() const;

  struct Slice {
    std::unique_ptr<CConvolutionEngine> engine;
    // False for a slice after the first whose part of the impulse is all
    // silence: its output would be exact zeros, so it is never run.
    bool active = true;
  };
  std::vector<Slice> mSlices;
  CByteQueue mOutput[kMaxChannels];
  double* mOutputPtr[kMaxChannels] = {nullptr, nullptr};
  int mNumChannels = 2;
  bool mNeedSilence = true;
};
