#include "ChannelBuffers.h"

#include <algorithm>
#include <cstring>

double** AllocChannelBuffers(int nFrames, int nch)
{
  double** bufs = new double*[std::max(nch, 0)];
  for (int c = 0; c < nch; ++c)
    bufs[c] = new double[std::max(nFrames, 0)];
  return bufs;
}

void FreeChannelBuffers(double** bufs, int nch)
{
  if (bufs == nullptr)
    return;
  for (int c = 0; c < nch; ++c)
    delete[] bufs[c];
  delete[] bufs;
}

void ZeroChannelBuffers(double** bufs, int nFrames, int nch)
{
  if (bufs == nullptr || nFrames < 1)
    return;
  for (int c = 0; c < nch; ++c)
    if (bufs[c] != nullptr)
      std::fill(bufs[c], bufs[c] + nFrames, 0.0);
}

void CopyChannelBuffer(const double* src, double* dst, int nFrames, int dstOffset)
{
  if (src == nullptr || dst == nullptr || nFrames < 1)
    return;
  std::memmove(dst + dstOffset, src, sizeof(double) * nFrames);
}

void CopyChannelBuffers(double* const* src, double** dst, int nFrames, int nch, int dstOffset)
{
  if (src == nullptr || dst == nullptr)
    return;
  for (int c = 0; c < nch; ++c)
    CopyChannelBuffer(src[c], dst[c], nFrames, dstOffset);
}
