#pragma once
// The plug-in's curves on the analyser's grid: the captured fingerprint
// (linear magnitudes), the custom reference (linear) with its file name, and
// the last difference curve (dB), with whether a fingerprint and a custom
// reference exist. The three records always share one point count and grid.
//
// Threads: no lock of its own; the plug-in reads and writes it under its
// mutex. The fingerprint flag is atomic, because the audio block sets it
// while capturing and the idle loop reads it without the lock.
#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "UT_String.h"
#include "Vorelle3CurveRecord.h"

class CurveStore {
public:
  static constexpr const char* kNoReferenceName = "(None)";

  CurveStore();

  // New records of `count` points on the grid `freq`: fingerprint and
  // difference all 0, the custom reference a copy of built-in reference 0.
  // Clears both flags and the name. Does nothing and returns false when the
  // records already have that count, so a rebuild at another rate keeps the
  // curves.
  bool Rebuild(int count, const double* freq);

  Vorelle3CurveRecord& Fingerprint() { return mFingerprint; }
  const Vorelle3CurveRecord& Fingerprint() const { return mFingerprint; }
  Vorelle3CurveRecord& Difference() { return mDifference; }
  const Vorelle3CurveRecord& Difference() const { return mDifference; }
  Vorelle3CurveRecord& CustomReference() { return mCustomReference; }
  const Vorelle3CurveRecord& CustomReference() const { return mCustomReference; }

  bool FingerprintValid() const { return mFingerprintValid; }
  void SetFingerprintValid(bool valid) { mFingerprintValid = valid; }
  bool CustomRefValid() const { return mCustomRefValid; }
  void SetCustomRefValid(bool valid) { mCustomRefValid = valid; }
  const char* CustomRefName() const { return mCustomRefName.Get(); }
  int CustomRefNameLength() const { return mCustomRefName.GetLength(); }
  void SetCustomRefName(const char* name) { mCustomRefName.Set(name ? name : ""); }

  // The first min(n, count) magnitudes become the fingerprint, which is then
  // valid.
  void TakeFingerprint(const double* mag, size_t n);
  // The same for the custom reference, with its file name.
  void TakeCustomReference(const double* mag, size_t n, const char* name);
  // A new capture starts: fingerprint and difference magnitudes become 0
  // (the flag is the capture's to set).
  void ClearFingerprint();

  // What a restore can change: both curves' magnitudes, their flags and the
  // reference name. Taken before and put back to undo a restore.
  struct Snapshot {
    std::vector<double> fingerprint, reference;
    bool fingerprintValid = false, customRefValid = false;
    std::string customRefName;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot Save() const;
  void Restore(const Snapshot& saved);

  // The reference "Reference mode" selects: 1..3 built-in (copied into
  // builtIn), 4 the custom one, anything else built-in 0.
  const Vorelle3CurveRecord& Selected(int referenceMode, Vorelle3CurveRecord& builtIn) const;

private:
  Vorelle3CurveRecord mFingerprint;
  Vorelle3CurveRecord mDifference;
  Vorelle3CurveRecord mCustomReference;
  std::atomic<bool> mFingerprintValid{false};
  bool mCustomRefValid = false;
  plugin::UT_String mCustomRefName;
  bool mBuilt = false;
};
