#include "CImpulseBuffer.h"

#include <algorithm>
#include <cstring>

void CImpulseBuffer::SetNumChannels(int n)
{
  n = std::clamp(n, 1, kMaxChannels);
  for (int c = mNumChannels; c < n; ++c) {
    const plugin::UT_TypedBuf<double>& src = mChannel[c % mNumChannels];
    const int len = src.GetSize();
    mChannel[c].Resize(len, true);
    if (mChannel[c].GetSize() == len && len > 0)
      std::memcpy(mChannel[c].Get(), src.Get(), size_t(len) * sizeof(double));
  }
  for (int c = n; c < mNumChannels; ++c)
    mChannel[c].Resize(0, true);
  mNumChannels = n;
}

int CImpulseBuffer::SetLength(int len)
{
  len = std::max(len, 0);
  for (int c = 0; c < mNumChannels; ++c) {
    const int old = mChannel[c].GetSize();
    mChannel[c].Resize(len, true);
    if (mChannel[c].GetSize() != len) {
      for (auto& channel : mChannel)
        channel.Resize(0, true);
      return 0;
    }
    if (len > old)
      std::fill(mChannel[c].Get() + old, mChannel[c].Get() + len, 0.0);
  }
  return mChannel[0].GetSize();
}

int CImpulseBuffer::GetLength(int channel) const { return InRange(channel) ? mChannel[channel].GetSize() : 0; }

double* CImpulseBuffer::GetChannel(int channel) { return InRange(channel) ? mChannel[channel].Get() : nullptr; }

const double* CImpulseBuffer::GetChannel(int channel) const
{
  return InRange(channel) ? mChannel[channel].Get() : nullptr;
}
