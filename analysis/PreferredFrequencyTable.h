#pragma once
// 400 preferred frequencies from 1 Hz to 97.5 kHz, about 24 per octave (80
// mantissas times 1, 10, 100, 1000, 10000), and queries on a stride of them.
// A resolution r picks every d-th entry: r = 0 -> 8, 1 -> 4, 2 -> 2, else 1.

class PreferredFrequencyTable {
public:
  static constexpr int kSize = 400;
  static constexpr double kLowHz = 10.0, kHighHz = 22050.0;

  // Entry i of the fixed table (0 <= i < kSize), 0.0 outside.
  static double Entry(int i);
  static int Stride(int resolution);

  // Copies the fixed table into this object's array.
  void Fill();
  // Fills, then counts the entries 0, d, 2d, ... within [10, 22050] Hz.
  int FillAndCount(int resolution);
  // index -1: count of entries 0, d, 2d, ... within [lo, hi]; index -2: count
  // of all entries below lo; otherwise entry d*index + sub (-1.0 when outside).
  double Query(int index, int sub, int resolution, double lo, double hi) const;
  // Writes the n strided entries from 10 Hz up (n = the count within
  // [10, 22050]), the last replaced by 22050; returns n. out holds kSize values.
  int List(int resolution, double* out) const;

  const double* Data() const { return mFreqs; }

private:
  int CountWithin(int stride, double lo, double hi) const;

  double mFreqs[kSize] = {};
};
