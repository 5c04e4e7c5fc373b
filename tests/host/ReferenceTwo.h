#pragma once
// Built-in reference 2 (linear magnitudes), written out here so that a wrong
// table in the plug-in cannot pass the host tests; its grid is worked out
// from its rule, 10 * 2^(k/6) Hz rounded to one decimal.

#include <cmath>

namespace hosttest {

inline constexpr int kReferenceIndex = 2; // the index the curve is chosen by
inline constexpr int kGridPoints = 67;

// clang-format off
inline constexpr double kReferenceTwo[kGridPoints] = {
  0.000038, 0.000038, 0.000038, 0.000040, 0.000053, 0.000085, 0.000279, 0.000727,
  0.002462, 0.005417, 0.012478, 0.019674, 0.030041, 0.038630, 0.047662, 0.053046,
  0.054923, 0.054284, 0.053450, 0.050922, 0.048593, 0.046604, 0.045079, 0.042646,
  0.040592, 0.038742, 0.036796, 0.034716, 0.032185, 0.030278, 0.028485, 0.026420,
  0.024574, 0.022774, 0.021031, 0.019705, 0.017886, 0.016173, 0.014986, 0.013775,
  0.012520, 0.011214, 0.009932, 0.008879, 0.007903, 0.006869, 0.005984, 0.005251,
  0.004578, 0.003955, 0.003426, 0.002976, 0.002557, 0.002189, 0.001896, 0.001641,
  0.001411, 0.001219, 0.001046, 0.000887, 0.000754, 0.000641, 0.000542, 0.000450,
  0.000353, 0.000215, 0.000042,
};
// clang-format on

// Hz of grid point k; 0.0 outside the grid.
inline double GridFrequency(int k)
{
  if (k < 0 || k >= kGridPoints)
    return 0.0;
  return std::round(100.0 * std::pow(2.0, k / 6.0)) / 10.0;
}

// dB of reference 2 at grid point k.
inline double ReferenceTwoDB(int k) { return 20.0 * std::log10(kReferenceTwo[k]); }

} // namespace hosttest
