#include "Vorelle3CurveRecord.h"

#include <algorithm>

void Vorelle3CurveRecord::Rebind()
{
  count = unsigned(mMag.size());
  mag = mMag.empty() ? nullptr : mMag.data();
  freq = mFreq.empty() ? nullptr : mFreq.data();
}

bool Vorelle3CurveRecord::Resize(int n)
{
  if (n < 0)
    return false;
  mMag.resize(size_t(n), 0.0);
  mFreq.resize(size_t(n), 0.0);
  Rebind();
  return true;
}

void Vorelle3CurveRecord::CopyFrom(const Vorelle3CurveRecord& other)
{
  mMag.assign(other.mag, other.mag + other.count);
  mFreq.assign(other.freq, other.freq + other.count);
  Rebind();
}

void Vorelle3CurveRecord::FillMagnitudes(double v) { std::fill(mMag.begin(), mMag.end(), v); }
