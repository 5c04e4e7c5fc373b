#include "CurveStore.h"

#include <algorithm>

#include "ReferenceCurves.h"

namespace {

constexpr int kCustomReferenceMode = 4;

void CopyMagnitudes(const double* mag, size_t n, Vorelle3CurveRecord& to)
{
  if (!mag)
    return;
  std::copy(mag, mag + std::min(n, size_t(to.count)), to.mag);
}

} // namespace

CurveStore::CurveStore() { mCustomRefName.Set(kNoReferenceName); }

bool CurveStore::Rebuild(int count, const double* freq)
{
  if (count < 0 || (mBuilt && int(mFingerprint.count) == count))
    return false;
  mBuilt = true;
  mFingerprint = Vorelle3CurveRecord();
  mFingerprint.Resize(count);
  if (freq)
    std::copy(freq, freq + count, mFingerprint.freq);
  mDifference = mFingerprint;
  CopyReferenceCurve(0, mCustomReference);
  mFingerprintValid = false;
  mCustomRefValid = false;
  mCustomRefName.Set(kNoReferenceName);
  return true;
}

void CurveStore::TakeFingerprint(const double* mag, size_t n)
{
  CopyMagnitudes(mag, n, mFingerprint);
  mFingerprintValid = true;
}

void CurveStore::TakeCustomReference(const double* mag, size_t n, const char* name)
{
  CopyMagnitudes(mag, n, mCustomReference);
  SetCustomRefName(name);
  mCustomRefValid = true;
}

void CurveStore::ClearFingerprint()
{
  mFingerprint.FillMagnitudes(0.0);
  mDifference.FillMagnitudes(0.0);
}

CurveStore::Snapshot CurveStore::Save() const
{
  Snapshot s;
  s.fingerprint.assign(mFingerprint.mag, mFingerprint.mag + mFingerprint.count);
  s.reference.assign(mCustomReference.mag, mCustomReference.mag + mCustomReference.count);
  s.fingerprintValid = mFingerprintValid;
  s.customRefValid = mCustomRefValid;
  s.customRefName = mCustomRefName.Get();
  return s;
}

void CurveStore::Restore(const Snapshot& saved)
{
  CopyMagnitudes(saved.fingerprint.data(), saved.fingerprint.size(), mFingerprint);
  CopyMagnitudes(saved.reference.data(), saved.reference.size(), mCustomReference);
  mFingerprintValid = saved.fingerprintValid;
  mCustomRefValid = saved.customRefValid;
  SetCustomRefName(saved.customRefName.c_str());
}

const Vorelle3CurveRecord& CurveStore::Selected(int referenceMode, Vorelle3CurveRecord& builtIn) const
{
  if (referenceMode == kCustomReferenceMode)
    return mCustomReference;
  CopyReferenceCurve(referenceMode >= 1 && referenceMode <= 3 ? referenceMode : 0, builtIn);
  return builtIn;
}
