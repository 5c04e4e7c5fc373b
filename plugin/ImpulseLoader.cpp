#include "ImpulseLoader.h"

#include <algorithm>
#include <cmath>
#include <vector>

int LoadImpulse(const double* impulse, const double* secondImpulse, int n, bool sameForBoth, CImpulseBuffer& buffer,
                CDividedConvolutionEngine& engine, int maxFFTSize, int blockSize, bool markReset)
{
  buffer.SetNumChannels(2);
  if (!impulse || n < 1 || buffer.SetLength(n) != n)
    return -1;
  const double* second = sameForBoth || !secondImpulse ? impulse : secondImpulse;
  std::copy(impulse, impulse + n, buffer.GetChannel(0));
  std::copy(second, second + n, buffer.GetChannel(1));
  engine.SetImpulse(&buffer, maxFFTSize, blockSize, 0, 0, 0, false);
  WarmUpEngine(engine, blockSize, WarmUpLength(engine, blockSize));
  if (markReset)
    engine.ResetChannelCount();
  return engine.GetLatency();
}

int WarmUpLength(const CDividedConvolutionEngine& engine, int blockSize)
{
  int longest = 0, end = 0;
  for (int i = 0; i < engine.GetNumSlices(); ++i) {
    const CDividedConvolutionEngine::SliceInfo s = engine.GetSliceInfo(i);
    longest = std::max(longest, s.fftSize);
    end = std::max(end, s.start + s.length);
  }
  return end + 4 * longest + 4 * std::max(blockSize, 1);
}

void WarmUpEngine(CDividedConvolutionEngine& engine, int blockSize, int samples)
{
  const int block = std::max(blockSize, 1);
  // Distinct, never-silent channels, so no path of the engine is skipped.
  std::vector<double> left(static_cast<size_t>(block)), right(static_cast<size_t>(block));
  double* channels[2] = {left.data(), right.data()};
  for (int done = 0; done < samples; done += block) {
    for (int i = 0; i < block; ++i) {
      const double t = double(done + i);
      left[size_t(i)] = 1e-3 * std::sin(0.05 * t);
      right[size_t(i)] = 1e-3 * std::cos(0.031 * t);
    }
    engine.Add(channels, block, 2);
    const int got = engine.Avail(block, false);
    engine.Get();
    engine.Advance(got);
  }
  engine.Reset();
}
