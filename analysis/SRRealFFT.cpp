#include "SRRealFFT.h"

#include <cmath>
#include <numbers>

#include "FFT.h"
#include "SRFFT.h"

namespace {

// Below this half size the permutation table has no entries, and above
// kSRFFTMaxSize the split-radix transform has none; the radix-2 one serves.
constexpr int kMinHalfSize = 16;
// Twiddles advance by rotation and are recomputed exactly this often, so
// the rounding of the recurrence cannot build up.
constexpr int kTwiddleResync = 32;

} // namespace

void SRRealFFT(double* in, double* out, int n)
{
  if (in == nullptr || out == nullptr || n < 4 || (n & (n - 1)) != 0)
    return;
  const int half = n / 2;
  if (half < kMinHalfSize || half > kSRFFTMaxSize) {
    for (int i = 0; i < n; ++i)
      out[i] = in[i];
    RealFFT(out, n, 1);
    return;
  }
  // z[j] = x[2j] + i x[2j+1]; Z(m) = sum_j z[j] e^(-2 pi i j m / half) lands
  // at position perm[m].
  SRFFT(in, half, 0);
  const int* perm = SRFFTPermuteTable(half - 16);

  const double z0r = in[0], z0i = in[1]; // Z(0) stays at position 0
  out[0] = z0r + z0i;
  out[1] = 0.0;
  out[n] = z0r - z0i;
  out[n + 1] = 0.0;

  // With A = Z(k), B = conj Z(half - k): the even samples' spectrum is
  // (A + B) / 2, the odd ones' (A - B) / 2i; X(k) = E + e^(-2 pi i k / n) O,
  // conjugated for the e^(+...) convention of the output.
  const double theta = 2.0 * std::numbers::pi / n;
  const double stepC = std::cos(theta), stepS = std::sin(theta);
  double c = 1.0, s = 0.0;
  for (int k = 1; k < half; ++k) {
    if (k % kTwiddleResync == 0) {
      c = std::cos(theta * k);
      s = std::sin(theta * k);
    } else {
      const double t = c * stepC - s * stepS;
      s = s * stepC + c * stepS;
      c = t;
    }
    const double* a = in + 2 * perm[k];
    const double* b = in + 2 * perm[half - k];
    const double er = 0.5 * (a[0] + b[0]), ei = 0.5 * (a[1] - b[1]);
    const double or_ = 0.5 * (a[1] + b[1]), oi = -0.5 * (a[0] - b[0]);
    // (c - i s)(or + i oi)
    const double tr = c * or_ + s * oi, ti = c * oi - s * or_;
    out[2 * k] = er + tr;
    out[2 * k + 1] = -(ei + ti);
  }
}
