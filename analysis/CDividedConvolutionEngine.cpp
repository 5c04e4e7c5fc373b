#include "CDividedConvolutionEngine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int64_t kDefaultCap = CConvolutionEngine::kMaxFFTSize;
constexpr int kFirstSlice = 64;

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

} // namespace

CDividedConvolutionEngine::~CDividedConvolutionEngine() { Clear(); }

void CDividedConvolutionEngine::Clear() { mSlices.clear(); }

int CDividedConvolutionEngine::SetImpulse(const CImpulseBuffer* impulse, int maxFFTSize, int knownBlockSize,
                                          int maxLength, int offset, int latencyAllowed, bool keepChannels,
                                          bool reuseSlices)
{
  mNeedSilence = true;
  if (reuseSlices) {
    for (Slice& slice : mSlices)
      slice.engine->Reset();
    for (CByteQueue& queue : mOutput)
      queue.Clear();
  } else {
    Clear();
  }

  const int64_t maxAbs = std::llabs(int64_t(maxFFTSize));
  const int64_t cap = (maxAbs > 0 && maxAbs <= kDefaultCap / 2) ? 2 * maxAbs : kDefaultCap;
  const int64_t latency = std::max(latencyAllowed, 0);

  int64_t s = kFirstSlice;
  if (knownBlockSize != 0 && knownBlockSize >= 129 && IsPowerOfTwo(knownBlockSize))
    s = knownBlockSize / 2;
  if ((knownBlockSize == 0 && 2 * latency >= 65) || (knownBlockSize != 0 && 2 * latency > s)) {
    s = 16;
    while (s <= latency)
      s *= 2;
    if (s > kDefaultCap - 1)
      s = kDefaultCap;
  }

  offset = std::max(offset, 0);
  int64_t remaining = impulse ? std::max(impulse->GetLength(0) - offset, 0) : 0;
  if (maxLength >= 1)
    remaining = std::min<int64_t>(remaining, maxLength);

  int64_t pos = 0;
  int64_t f = s;
  size_t index = 0;
  do {
    if (index == mSlices.size())
      mSlices.push_back({std::make_unique<CConvolutionEngine>(), true});
    CConvolutionEngine& slice = *mSlices[index].engine;
    const int64_t m = (index == 0 && latency == 0) ? 2 : 3;
    if (m * s >= remaining)
      s = remaining;
    int64_t length = s, fftSize = f;
    if (f >= cap) {
      length = remaining;
      fftSize = cap;
    }
    const bool direct = pos == 0 && latency == 0;
    slice.SetImpulse(impulse, int(fftSize), int(offset + pos), int(length), direct, keepChannels, true);
    slice.mSliceOffset = int(pos);
    slice.mSliceSilence = 0;
    mSlices[index].active = index == 0 || !slice.IsSilent();
    pos += length;
    f = 2 * pos;
    s = 3 * pos;
    remaining -= length;
    ++index;
  } while (remaining > 0);
  mSlices.resize(index);
  return GetLatency();
}

int CDividedConvolutionEngine::GetLatency() const
{
  return mSlices.empty() ? 0 : mSlices.front().engine->GetFFTSize() / 2;
}

CDividedConvolutionEngine::SliceInfo CDividedConvolutionEngine::GetSliceInfo(int index) const
{
  if (index < 0 || index >= GetNumSlices())
    return {0, 0, 0};
  const CConvolutionEngine& slice = *mSlices[size_t(index)].engine;
  return {slice.mSliceOffset, slice.GetImpulseLength(), slice.GetFFTSize()};
}

void CDividedConvolutionEngine::Reset()
{
  for (Slice& slice : mSlices)
    slice.engine->Reset();
  for (CByteQueue& queue : mOutput)
    queue.Clear();
  mNeedSilence = true;
}

int CDividedConvolutionEngine::OutputChannels() const { return std::clamp(mNumChannels, 0, kMaxChannels); }

void CDividedConvolutionEngine::Add(double* const* inputs, int n, int nch)
{
  mNumChannels = nch;
  const bool prime = mNeedSilence;
  mNeedSilence = false;
  const size_t count = mSlices.size();
  for (size_t i = 0; i < count; ++i) {
    if (!mSlices[i].active)
      continue;
    CConvolutionEngine& slice = *mSlices[i].engine;
    if (prime) {
      // Middle slices start at staggered points of their block cycle so their
      // large transforms fall into different audio blocks.
      const bool middle = i != 0 && i + 1 != count;
      const int lead = middle ? slice.GetFFTSize() / 8 : 0;
      slice.mSliceSilence = lead;
      if (lead > 0)
        slice.Add(nullptr, lead, nch);
      slice.Add(inputs, n, nch);
      slice.AddSilence(slice.mSliceOffset, nch);
    } else {
      slice.Add(inputs, n, nch);
    }
  }
}

int CDividedConvolutionEngine::Avail(int want, bool noSharing)
{
  const int nch = OutputChannels();
  if (nch < 1)
    return 0;
  int avail = want;
  for (Slice& s : mSlices) {
    if (!s.active)
      continue;
    CConvolutionEngine& slice = *s.engine;
    avail = std::min(avail, slice.Avail(slice.mSliceSilence + want, noSharing) - slice.mSliceSilence);
  }

  if (avail > 0) {
    double* sums[kMaxChannels] = {nullptr, nullptr};
    for (int c = 0; c < nch; ++c) {
      if (mOutput[c].AppendZeros(avail))
        sums[c] = mOutput[c].Data() + mOutput[c].Size() - avail;
    }
    for (Slice& s : mSlices) {
      if (!s.active)
        continue;
      CConvolutionEngine& slice = *s.engine;
      if (slice.mSliceSilence > 0) {
        slice.Advance(slice.mSliceSilence);
        slice.mSliceSilence = 0;
      }
      double** parts = slice.Get();
      for (int c = 0; c < nch; ++c) {
        if (!sums[c] || !parts[c])
          continue;
        const int take = std::min(avail, slice.GetQueued(c));
        for (int i = 0; i < take; ++i)
          sums[c][i] += parts[c][i];
      }
      slice.Advance(avail);
    }
  }
  return std::min(mOutput[0].Size(), want);
}

double** CDividedConvolutionEngine::Get()
{
  const int nch = OutputChannels();
  for (int c = 0; c < kMaxChannels; ++c)
    mOutputPtr[c] = c < nch ? mOutput[c].Data() : nullptr;
  return mOutputPtr;
}

void CDividedConvolutionEngine::Advance(int n)
{
  for (CByteQueue& queue : mOutput)
    queue.Consume(n);
}
