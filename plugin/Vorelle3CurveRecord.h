#pragma once
// One curve on a frequency grid: `count` points, linear magnitude (dB for the
// difference curve) and frequency in Hz, ascending. Owns both arrays; mag and
// freq stay valid until the next Resize or CopyFrom.
// Not thread-safe: the plug-in reads and replaces records under its mutex.
#include <vector>

struct Vorelle3CurveRecord {
  unsigned count = 0;
  double* mag = nullptr;
  double* freq = nullptr;

  Vorelle3CurveRecord() = default;
  Vorelle3CurveRecord(const Vorelle3CurveRecord& other) { CopyFrom(other); }
  Vorelle3CurveRecord& operator=(const Vorelle3CurveRecord& other)
  {
    if (this != &other)
      CopyFrom(other);
    return *this;
  }

  // New size; new points are zero, kept points keep their values. False
  // (record unchanged) for a negative size.
  bool Resize(int n);
  void CopyFrom(const Vorelle3CurveRecord& other);
  void FillMagnitudes(double v);

private:
  void Rebind();

  std::vector<double> mMag;
  std::vector<double> mFreq;
};
