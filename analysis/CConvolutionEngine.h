#pragma once
// Streaming convolution of up to two channels with a one- or two-channel
// impulse: uniformly partitioned overlap-add with a frequency-domain delay
// line, or direct convolution on request.
//
// Contract
// - Stream: Add input, ask Avail how much output is ready, read it through
//   Get, then Advance past it. Output sample i is the filtered value at input
//   time i (no shift); in FFT mode it becomes available once the block of
//   H = F/2 input samples holding sample i is complete, in direct mode at once.
// - Scaling: exact convolution, no gain. The impulse carries 1/F so the
//   unscaled split-radix transforms need no further factor.
// - Channels: channel c uses impulse channel c when the impulse has two
//   distinct channels, else channel 0. Two channels share one complex
//   transform per block when the impulse is mono (paired; not after one
//   channel ran alone, until the next reset or channel change) or when, with
//   a stereo impulse, both inputs are equal within 1e-12 (shared).
// - Silence: input blocks with no value above 1e-12 and impulse blocks with
//   no value above 1e-15 are skipped; values below 2^-54, infinities and NaNs
//   are flushed to 0 on the way into the FFT.
// - An engine without impulse (or with a zero-length one) passes audio
//   through unchanged.
// - Memory: buffers grow on first use and are then reused; after the first
//   blocks of a stream Add, Avail, Get and Advance allocate nothing. A failed
//   allocation shows as less output, never as a read beyond a buffer.
// - Threads: none of its own; one caller at a time.
#include <cstdint>

#include "CBlockQueue.h"
#include "CByteQueue.h"
#include "CImpulseBuffer.h"
#include "UT_TypedBuf.h"

class CDividedConvolutionEngine;
struct ConvolutionKernels;

class CConvolutionEngine {
public:
  static constexpr int kMaxChannels = 2;
  static constexpr int kMaxFFTSize = 524288;
  static constexpr double kSilentInput = 1e-12;
  static constexpr double kSilentImpulse = 1e-15;

  CConvolutionEngine();
  CConvolutionEngine(const CConvolutionEngine&) = delete;
  CConvolutionEngine& operator=(const CConvolutionEngine&) = delete;

  // Loads impulse samples [offset, offset + length) of every channel, length
  // limited to maxLength when that is > 0. fftSize < 1 picks the FFT size F:
  // the smallest power of two from 32 with F >= 2 * length, capped at
  // -2 * fftSize when fftSize < -15, else at 524288; any other fftSize is used
  // as F (rounded up to a power of two within 2..524288). Two byte-identical
  // channels become one unless keepChannels. direct selects direct
  // convolution; clearQueues then empties every queue. Returns F/2 (the
  // block length and the latency), 0 in direct mode.
  int SetImpulse(const CImpulseBuffer* impulse, int fftSize, int offset, int maxLength, bool direct, bool keepChannels,
                 bool clearQueues);

  // Queues n samples of each of nch channels (at most two are kept); a null
  // inputs array or channel pointer adds silence.
  void Add(double* const* inputs, int n, int nch);
  // Appends n zeros straight to the output of the processed channels.
  void AddSilence(int n, int nch);
  // Computes until at least want samples are queued per channel or the input
  // runs out. Returns the smallest number queued over the processed channels
  // (want when none is processed; channel 0's count in direct mode).
  int Avail(int want, bool noSharing);
  // Per processed channel its first unread output sample, else null.
  double** Get();
  // Output samples queued on one channel.
  int GetQueued(int channel) const;
  void Advance(int n);
  // Forgets all signal (queues, history, overlap); the impulse stays.
  void Reset();
  // Makes the next Add reconfigure the channels.
  void ResetMarker() { mProcChannels = -1; }

  // True when an impulse is loaded but all of it is silent, so the output is
  // exactly zero whatever the input (an engine without impulse passes audio
  // through instead).
  bool IsSilent() const;

  int GetFFTSize() const { return mFFTSize; }
  int GetImpulseLength() const { return mImpulseLength; }
  int GetImpulseChannels() const { return mImpulseChannels; }

private:
  friend class CDividedConvolutionEngine;

  int BlockLength() const { return mFFTSize / 2; }
  int NumBlocks() const { return mNumBlocks; }
  bool HasBuffers(int c) const;
  void BuildSpectra(const CImpulseBuffer& impulse, int offset);
  void StoreDirect(const CImpulseBuffer& impulse, int offset);
  void Reconfigure(int nch);
  void AddDirect(double* const* inputs, int n, int nch);
  void AddFFT(double* const* inputs, int n, int nch);
  // One block of H input samples through the delay line of channel c.
  void ProcessBlock(int c, bool paired, bool noSharing);
  bool CanShare(int pos) const;
  void ClearSignal();

  // The inner loops for this processor, chosen at construction.
  const ConvolutionKernels* mKernels;
  plugin::UT_TypedBuf<double> mImpulseSpectra[kMaxChannels];
  plugin::UT_TypedBuf<uint8_t> mImpulseFlags[kMaxChannels];
  int mImpulseChannels = 1;
  int mFFTSize = 0;
  int mImpulseLength = 0;
  int mProcChannels = -1;
  CByteQueue mOutput[kMaxChannels];
  CByteQueue mDirectHistory[kMaxChannels];
  CBlockQueue mInput[kMaxChannels];
  int mHistoryPos[kMaxChannels] = {0, 0};
  plugin::UT_TypedBuf<double> mSignalHistory[kMaxChannels];
  plugin::UT_TypedBuf<uint8_t> mHistoryFlags[kMaxChannels];
  plugin::UT_TypedBuf<double> mOverlap[kMaxChannels];
  plugin::UT_TypedBuf<double> mWork;
  double* mOutputPtr[kMaxChannels] = {nullptr, nullptr};
  int mSliceOffset = 0;
  int mSliceSilence = 0;
  int mNumBlocks = 0;
  // Direct mode: the non-zero span of each reversed impulse channel.
  int mDirectFirst[kMaxChannels] = {0, 0};
  int mDirectEnd[kMaxChannels] = {0, 0};
  // True while channel 0's delay line carries channel 1 in its imaginary
  // parts: once either channel ran a block alone, the pair's histories differ
  // and pairing would drop channel 1's past, so it waits for the next reset.
  bool mPairedHistory = true;
};
