#include "PreferredFrequencyTable.h"

namespace {

constexpr int kMantissas = 80;
constexpr double kMantissa[kMantissas] = {
  1.00, 1.03, 1.06, 1.09, 1.12, 1.15, 1.18, 1.22, 1.25, 1.28, 1.32, 1.36, 1.40, 1.45, 1.50, 1.55,
  1.60, 1.65, 1.70, 1.75, 1.80, 1.85, 1.90, 1.95, 2.00, 2.06, 2.12, 2.18, 2.24, 2.30, 2.36, 2.43,
  2.50, 2.58, 2.65, 2.72, 2.80, 2.90, 3.00, 3.07, 3.15, 3.25, 3.35, 3.45, 3.55, 3.65, 3.75, 3.87,
  4.00, 4.12, 4.25, 4.37, 4.50, 4.62, 4.75, 4.87, 5.00, 5.15, 5.30, 5.45, 5.60, 5.80, 6.00, 6.15,
  6.30, 6.50, 6.70, 6.90, 7.10, 7.30, 7.50, 7.75, 8.00, 8.25, 8.50, 8.75, 9.00, 9.25, 9.50, 9.75};
constexpr double kDecade[5] = {1.0, 10.0, 100.0, 1000.0, 10000.0};

} // namespace

double PreferredFrequencyTable::Entry(int i)
{
  if (i < 0 || i >= kSize)
    return 0.0;
  return kMantissa[i % kMantissas] * kDecade[i / kMantissas];
}

int PreferredFrequencyTable::Stride(int resolution)
{
  switch (resolution) {
  case 0: return 8;
  case 1: return 4;
  case 2: return 2;
  default: return 1;
  }
}

void PreferredFrequencyTable::Fill()
{
  for (int i = 0; i < kSize; ++i)
    mFreqs[i] = Entry(i);
}

int PreferredFrequencyTable::CountWithin(int stride, double lo, double hi) const
{
  int n = 0;
  for (int i = 0; i < kSize; i += stride)
    if (mFreqs[i] >= lo && mFreqs[i] <= hi)
      ++n;
  return n;
}

int PreferredFrequencyTable::FillAndCount(int resolution)
{
  Fill();
  return CountWithin(Stride(resolution), kLowHz, kHighHz);
}

double PreferredFrequencyTable::Query(int index, int sub, int resolution, double lo, double hi) const
{
  const int d = Stride(resolution);
  if (index == -1)
    return CountWithin(d, lo, hi);
  if (index == -2) {
    int below = 0;
    for (double f : mFreqs)
      below += f < lo ? 1 : 0;
    return below;
  }
  const long at = static_cast<long>(d) * index + sub;
  return at >= 0 && at < kSize ? mFreqs[at] : -1.0;
}

int PreferredFrequencyTable::List(int resolution, double* out) const
{
  const int d = Stride(resolution);
  const int n = CountWithin(d, kLowHz, kHighHz);
  if (out == nullptr || n < 1)
    return 0;
  int start = 0;
  for (double f : mFreqs)
    start += f < kLowHz ? 1 : 0;
  for (int j = 0; j < n; ++j) {
    const int at = start + j * d;
    out[j] = at < kSize ? mFreqs[at] : kHighHz;
  }
  out[n - 1] = kHighHz;
  return n;
}
