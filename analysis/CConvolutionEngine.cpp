#include "CConvolutionEngine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "ConvolutionKernels.h"
#include "SRFFT.h"

namespace {

constexpr int kForward = 0;
constexpr int kInverse = 1;

// Values the FFT must not see: below 2^-54 (biased exponent <= 968), and
// infinities and NaNs, which would spread over the whole block.
inline double Flush(double v)
{
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  const unsigned exponent = unsigned(bits >> 52) & 0x7FFu;
  return (exponent <= 968u || exponent == 0x7FFu) ? 0.0 : v;
}

int PowerOfTwoAtLeast(int64_t n)
{
  int f = kSRFFTMinSize;
  while (f < n && f < kSRFFTMaxSize)
    f *= 2;
  return f;
}

// False when count elements cannot be held; the buffer is then left empty, so
// no caller can mistake it for one of the size it asked for.
template <class T> bool ResizeZeroed(plugin::UT_TypedBuf<T>& buf, int64_t count, bool resizeDown)
{
  if (count < 0 || count > INT_MAX / int64_t(sizeof(T))) {
    buf.Resize(0, resizeDown);
    return false;
  }
  buf.Resize(int(count), resizeDown);
  if (buf.GetSize() != count)
    return false;
  if (count > 0)
    std::memset(buf.Get(), 0, size_t(count) * sizeof(T));
  return true;
}

} // namespace

CConvolutionEngine::CConvolutionEngine() : mKernels(&ConvolutionKernelsForProcessor()) { SRFFTInit(); }

int CConvolutionEngine::SetImpulse(const CImpulseBuffer* impulse, int fftSize, int offset, int maxLength, bool direct,
                                   bool keepChannels, bool clearQueues)
{
  const int nch = impulse ? impulse->GetNumChannels() : 0;
  offset = std::max(offset, 0);
  int length = 0;
  mImpulseChannels = 1;
  if (nch >= 1) {
    for (int c = 0; c < nch; ++c) {
      int len = std::max(impulse->GetLength(c) - offset, 0);
      if (maxLength > 0)
        len = std::min(len, maxLength);
      length = std::max(length, len);
    }
    mImpulseChannels = nch;
    if (nch == 2 && !keepChannels) {
      const int n0 = impulse->GetLength(0);
      if (n0 == impulse->GetLength(1) &&
          (n0 == 0 || std::memcmp(impulse->GetChannel(0), impulse->GetChannel(1), size_t(n0) * sizeof(double)) == 0))
        mImpulseChannels = 1;
    }
  }
  mImpulseLength = length;

  const int oldFFTSize = mFFTSize;
  const int oldBlocks = mNumBlocks;
  if (direct) {
    mFFTSize = 0;
    mNumBlocks = 0;
    if (nch >= 1)
      StoreDirect(*impulse, offset);
    if (clearQueues)
      ClearSignal();
    return 0;
  }

  int64_t f = fftSize;
  if (fftSize < 1) {
    const int64_t cap = fftSize < -15 ? -2 * int64_t(fftSize) : kMaxFFTSize;
    f = 32;
    while (f < 2 * int64_t(length) && f < cap)
      f *= 2;
  }
  mFFTSize = PowerOfTwoAtLeast(f);
  const int h = BlockLength();
  mNumBlocks = int((int64_t(length) + h - 1) / h);
  if (nch >= 1)
    BuildSpectra(*impulse, offset);
  // Delay lines of another shape cannot be reused: the next Add rebuilds them.
  if (mFFTSize != oldFFTSize || mNumBlocks != oldBlocks)
    mProcChannels = -1;
  return h;
}

void CConvolutionEngine::BuildSpectra(const CImpulseBuffer& impulse, int offset)
{
  const int f = mFFTSize, h = BlockLength(), blocks = mNumBlocks;
  const double scale = 1.0 / f;
  const int length = mImpulseLength;
  for (int c = 0; c < mImpulseChannels; ++c) {
    if (!ResizeZeroed(mImpulseSpectra[c], int64_t(blocks) * 2 * f, true) ||
        !ResizeZeroed(mImpulseFlags[c], blocks, true)) {
      mNumBlocks = 0; // no memory: the engine passes audio through
      return;
    }
    const bool hasPartner = c + 1 < mImpulseChannels;
    const double* own = impulse.GetChannel(c);
    const double* partner = hasPartner ? impulse.GetChannel(c + 1) : nullptr;
    const int ownEnd = std::min(impulse.GetLength(c), offset + length);
    const int partnerEnd = hasPartner ? std::min(impulse.GetLength(c + 1), offset + length) : 0;
    for (int b = 0; b < blocks; ++b) {
      double* block = mImpulseSpectra[c].Get() + int64_t(b) * 2 * f;
      uint8_t flag = 0;
      const int start = offset + b * h;
      for (int i = 0; i < h; ++i) {
        const int idx = start + i;
        const double re = idx < ownEnd ? own[idx] : 0.0;
        const double im = idx < partnerEnd ? partner[idx] : 0.0;
        if (std::fabs(re) > kSilentImpulse)
          flag = 2;
        else if (flag == 0 && std::fabs(im) > kSilentImpulse)
          flag = 1;
        block[2 * i] = Flush(re * scale);
        block[2 * i + 1] = Flush(im * scale);
      }
      mImpulseFlags[c].Get()[b] = flag;
      if (flag != 0)
        SRFFT(block, f, kForward);
    }
  }
}

void CConvolutionEngine::StoreDirect(const CImpulseBuffer& impulse, int offset)
{
  const int length = mImpulseLength;
  for (int c = 0; c < mImpulseChannels; ++c) {
    mDirectFirst[c] = mDirectEnd[c] = 0;
    if (!ResizeZeroed(mImpulseSpectra[c], length, true)) {
      mImpulseLength = 0;
      return;
    }
    double* rev = mImpulseSpectra[c].Get();
    const double* src = impulse.GetChannel(c);
    const int end = std::min(impulse.GetLength(c), offset + length);
    for (int k = 0; k < length; ++k) {
      const int idx = offset + length - 1 - k;
      rev[k] = idx < end ? src[idx] : 0.0;
    }
    // Only the span between the first and last non-zero tap is summed.
    int first = 0, last = length;
    while (first < length && rev[first] == 0.0)
      ++first;
    while (last > first && rev[last - 1] == 0.0)
      --last;
    mDirectFirst[c] = first;
    mDirectEnd[c] = last;
  }
}

bool CConvolutionEngine::IsSilent() const
{
  if (mImpulseLength < 1)
    return false;
  for (int c = 0; c < mImpulseChannels; ++c) {
    if (mFFTSize == 0) {
      if (mDirectEnd[c] > mDirectFirst[c])
        return false;
    } else {
      if (mNumBlocks == 0 || mImpulseFlags[c].GetSize() != mNumBlocks)
        return false;
      for (int b = 0; b < mNumBlocks; ++b)
        if (mImpulseFlags[c].Get()[b] != 0)
          return false;
    }
  }
  return true;
}

bool CConvolutionEngine::HasBuffers(int c) const
{
  const int f = mFFTSize, blocks = mNumBlocks;
  return blocks > 0 && mSignalHistory[c].GetSize() == int64_t(blocks) * 2 * f && mOverlap[c].GetSize() == f / 2 &&
         mHistoryFlags[c].GetSize() == blocks;
}

void CConvolutionEngine::Reconfigure(int nch)
{
  mProcChannels = nch;
  const int f = mFFTSize, h = BlockLength(), blocks = mNumBlocks;
  const int inputOf[2] = {mInput[0].Size() / int(sizeof(double)), mInput[1].Size() / int(sizeof(double))};
  for (int slot = 0; slot < kMaxChannels; ++slot) {
    if (slot >= nch) {
      mInput[slot].Clear();
      mOutput[slot].Clear();
    } else if (blocks == 0 && mInput[slot].Size() > 0) {
      const int n = mInput[slot].Size() / int(sizeof(double));
      if (double* dst = mOutput[slot].Append(n))
        mInput[slot].Read(dst, n * int(sizeof(double)));
      mInput[slot].Clear();
    }
    if (slot == 1 && slot < nch) {
      const int queued0 = mOutput[0].Size() + (blocks == 0 ? 0 : inputOf[0]);
      const int queued1 = mOutput[1].Size() + (blocks == 0 ? 0 : inputOf[1]);
      if (queued1 < queued0)
        mOutput[1].AppendZeros(queued0 - queued1);
    }
    const bool live = slot < nch;
    ResizeZeroed(mHistoryFlags[slot], blocks, true);
    ResizeZeroed(mSignalHistory[slot], live ? int64_t(blocks) * 2 * f : 0, true);
    ResizeZeroed(mOverlap[slot], live ? h : 0, true);
    mHistoryPos[slot] = 0;
  }
  mPairedHistory = true;
}

void CConvolutionEngine::Add(double* const* inputs, int n, int nch)
{
  nch = std::clamp(nch, 0, kMaxChannels);
  if (mFFTSize == 0)
    AddDirect(inputs, n, nch);
  else
    AddFFT(inputs, n, nch);
}

void CConvolutionEngine::AddDirect(double* const* inputs, int n, int nch)
{
  mProcChannels = nch;
  const int length = mImpulseLength;
  for (int c = 0; c < nch && n > 0; ++c) {
    const double* x = inputs ? inputs[c] : nullptr;
    if (length == 0) {
      mOutput[c].AppendCopy(x, n);
      continue;
    }
    const int ic = std::min(c, mImpulseChannels - 1);
    CByteQueue& history = mDirectHistory[c];
    if (history.Size() < length)
      history.AppendZeros(length - history.Size());
    if (history.Size() < length || !history.AppendCopy(x, n))
      continue;
    const int past = history.Size() - n;
    const double* hist = history.Data();
    const double* rev = mImpulseSpectra[ic].Get();
    const int first = mDirectFirst[ic], end = mDirectEnd[ic];
    if (double* out = mOutput[c].Append(n))
      mKernels->DirectConvolve(out, n, hist + past - length + 1, rev, first, end);
    history.Consume(n);
  }
}

void CConvolutionEngine::AddFFT(double* const* inputs, int n, int nch)
{
  if (nch != mProcChannels)
    Reconfigure(nch);
  if (n < 1 || n > INT_MAX / int(sizeof(double)))
    return;
  const bool filtering = mNumBlocks > 0 && mImpulseLength >= 1;
  for (int c = 0; c < nch; ++c) {
    const double* x = inputs ? inputs[c] : nullptr;
    if (!filtering)
      mOutput[c].AppendCopy(x, n);
    else if (HasBuffers(c))
      mInput[c].Append(x, n * int(sizeof(double)));
  }
}

void CConvolutionEngine::AddSilence(int n, int nch)
{
  const int count = std::min(nch, std::clamp(mProcChannels, 0, kMaxChannels));
  for (int c = 0; c < count; ++c)
    mOutput[c].AppendZeros(n);
}

int CConvolutionEngine::Avail(int want, bool noSharing)
{
  const int nch = std::clamp(mProcChannels, 0, kMaxChannels);
  if (nch < 1)
    return want;
  if (mFFTSize == 0)
    return mOutput[0].Size();

  const int f = mFFTSize;
  const int blockBytes = BlockLength() * int(sizeof(double));
  mWork.Resize(4 * f, false);
  if (mNumBlocks > 0 && mImpulseLength >= 1 && mWork.GetSize() == 4 * f) {
    bool partnerDone = false;
    for (int c = 0; c < nch; ++c) {
      if ((c == 1 && partnerDone) || !HasBuffers(c))
        continue;
      const bool paired = mImpulseChannels == 1 && mPairedHistory && c + 1 < nch && HasBuffers(c + 1) &&
                          mInput[c].Size() == mInput[c + 1].Size() && mOutput[c].Size() == mOutput[c + 1].Size();
      partnerDone = paired;
      while (mInput[c].Size() >= blockBytes && mOutput[c].Size() < want)
        ProcessBlock(c, paired, noSharing);
    }
  }
  int avail = INT_MAX;
  for (int c = 0; c < nch; ++c)
    avail = std::min(avail, mOutput[c].Size());
  return avail;
}

// Sharing reuses channel 0's delay line for channel 1, so every older slot of
// channel 0 must hold what channel 1 would have held: a shared block, or
// silence on both channels.
bool CConvolutionEngine::CanShare(int pos) const
{
  const int blocks = mNumBlocks;
  const uint8_t* flags0 = mHistoryFlags[0].Get();
  const uint8_t* flags1 = mHistoryFlags[1].Get();
  const int pos1 = (mHistoryPos[1] + 1) % blocks;
  for (int age = 1; age < blocks; ++age) {
    const uint8_t f0 = flags0[(pos - age + blocks) % blocks];
    if (f0 == 2 || (f0 == 0 && flags1[(pos1 - age + blocks) % blocks] != 0))
      return false;
  }
  return true;
}

void CConvolutionEngine::ProcessBlock(int c, bool paired, bool noSharing)
{
  const int f = mFFTSize, h = BlockLength(), blocks = mNumBlocks;
  const int blockBytes = h * int(sizeof(double));
  double* const acc = mWork.Get();
  double* const own = acc + 2 * f;
  double* const second = own + h;
  double* const partnerIn = second + h;

  // Sharing needs both channels at the same point of their streams.
  const bool mayShare = !paired && !noSharing && mImpulseChannels == 2 && c == 0 && mProcChannels >= 2 &&
                        HasBuffers(1) && mInput[0].Size() == mInput[1].Size() && mOutput[0].Size() == mOutput[1].Size();

  mInput[c].Read(own, blockBytes);
  mInput[c].Consume(blockBytes);
  if (paired) {
    mInput[c + 1].Read(second, blockBytes);
    mInput[c + 1].Consume(blockBytes);
  }
  const int pos = (mHistoryPos[c] + 1) % blocks;
  mHistoryPos[c] = pos;
  if (!paired && mProcChannels >= 2)
    mPairedHistory = false;

  bool shared = false;
  if (mayShare) {
    mInput[1].Read(partnerIn, blockBytes);
    shared = true;
    for (int i = 0; i < h && shared; ++i)
      shared = std::fabs(own[i] - partnerIn[i]) <= kSilentInput;
    shared = shared && CanShare(pos);
  }

  double* const slot = mSignalHistory[c].Get() + int64_t(pos) * 2 * f;
  bool silent = true;
  for (int i = 0; i < h; ++i) {
    const double re = Flush(own[i]);
    const double im = paired ? Flush(second[i]) : 0.0;
    slot[2 * i] = re;
    slot[2 * i + 1] = im;
    if (std::fabs(re) > kSilentInput || std::fabs(im) > kSilentInput)
      silent = false;
  }
  std::memset(slot + 2 * h, 0, size_t(2 * (f - h)) * sizeof(double));
  if (!silent)
    SRFFT(slot, f, kForward);
  const uint8_t flag = silent ? 0 : (shared ? 1 : 2);
  mHistoryFlags[c].Get()[pos] = flag;

  if (shared) {
    mInput[1].Consume(blockBytes);
    const int pos1 = (mHistoryPos[1] + 1) % blocks;
    mHistoryPos[1] = pos1;
    std::memcpy(mSignalHistory[1].Get() + int64_t(pos1) * 2 * f, slot, size_t(2 * f) * sizeof(double));
    mHistoryFlags[1].Get()[pos1] = flag;
  }

  // Frequency-domain delay line: newest input block against impulse block 0.
  const int ic = std::min(c, mImpulseChannels - 1);
  const uint8_t needed = shared ? 1 : 2;
  const uint8_t* impulseFlags = mImpulseFlags[ic].Get();
  const uint8_t* historyFlags = mHistoryFlags[c].Get();
  const double* spectra = mImpulseSpectra[ic].Get();
  const double* history = mSignalHistory[c].Get();
  // Products are gathered a group at a time and summed in one pass.
  constexpr int kGroup = 8;
  const double* xs[kGroup];
  const double* hs[kGroup];
  int pending = 0;
  bool any = false;
  for (int b = 0; b < blocks; ++b) {
    const int s = (pos - b + blocks) % blocks;
    if (historyFlags[s] == 0 || impulseFlags[b] < needed)
      continue;
    xs[pending] = history + int64_t(s) * 2 * f;
    hs[pending] = spectra + int64_t(b) * 2 * f;
    if (++pending == kGroup) {
      mKernels->ComplexMulSum(acc, xs, hs, pending, f, any);
      any = true;
      pending = 0;
    }
  }
  if (pending > 0) {
    mKernels->ComplexMulSum(acc, xs, hs, pending, f, any);
    any = true;
  }
  if (any)
    SRFFT(acc, f, kInverse);

  const bool both = paired || shared;
  for (int part = 0; part < (both ? 2 : 1); ++part) {
    double* overlap = mOverlap[c + part].Get();
    double* out = mOutput[c + part].Append(h);
    for (int i = 0; i < h; ++i) {
      const double value = (any ? acc[2 * i + part] : 0.0) + overlap[i];
      if (out)
        out[i] = value;
      overlap[i] = any ? acc[2 * (h + i) + part] : 0.0;
    }
  }
}

double** CConvolutionEngine::Get()
{
  const int nch = std::clamp(mProcChannels, 0, kMaxChannels);
  for (int c = 0; c < kMaxChannels; ++c)
    mOutputPtr[c] = c < nch ? mOutput[c].Data() : nullptr;
  return mOutputPtr;
}

int CConvolutionEngine::GetQueued(int channel) const
{
  return channel >= 0 && channel < kMaxChannels ? mOutput[channel].Size() : 0;
}

void CConvolutionEngine::Advance(int n)
{
  const int nch = std::clamp(mProcChannels, 0, kMaxChannels);
  for (int c = 0; c < nch; ++c)
    mOutput[c].Consume(n);
}

void CConvolutionEngine::ClearSignal()
{
  mPairedHistory = true;
  for (int c = 0; c < kMaxChannels; ++c) {
    mOutput[c].Clear();
    mDirectHistory[c].Clear();
    mInput[c].Clear();
    mHistoryPos[c] = 0;
    for (auto* buf : {&mSignalHistory[c], &mOverlap[c]})
      if (buf->GetSize() > 0)
        std::memset(buf->Get(), 0, size_t(buf->GetSize()) * sizeof(double));
    if (mHistoryFlags[c].GetSize() > 0)
      std::memset(mHistoryFlags[c].Get(), 0, size_t(mHistoryFlags[c].GetSize()));
  }
}

void CConvolutionEngine::Reset() { ClearSignal(); }
