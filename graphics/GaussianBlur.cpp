#include "GaussianBlur.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "FloatToInt.h"

namespace plugin::igraphics {

int MakeBlurKernel(float x, std::uint8_t* K, int maxTaps, unsigned& norm)
{
  const int n = FloatToInt<int>(std::ceil(x));
  norm = 0;
  if (n < 1 || n > maxTaps)
    return 0;
  const float falloff = 4.5f / (x * x);
  for (int i = 0; i < n; ++i) {
    // i squared in float: the same rounded value, without an int to overflow.
    const float square = static_cast<float>(i) * static_cast<float>(i);
    K[i] = static_cast<std::uint8_t>(static_cast<int>(std::round(255.f * std::exp(-square * falloff))));
    norm += (i == 0 ? 1u : 2u) * K[i];
  }
  return n;
}

void GaussianBlurSwap(std::uint8_t* out, const std::uint8_t* in, const std::uint8_t* K, int width, int height,
                      int outStride, int inStride, int n, unsigned norm)
{
  if (width <= 0 || height <= 0 || n < 1 || norm == 0)
    return;
  const int window = 2 * n - 1;
  // Taps farther than the row is long meet only pixels outside it.
  const int reach = std::min(n, width);
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* row = in + static_cast<std::ptrdiff_t>(r) * inStride;
    auto v = [&](int x) -> unsigned { return (x < 0 || x >= width) ? 0u : row[4 * static_cast<std::ptrdiff_t>(x)]; };
    // Equal values ending at the window's right edge; a full window of them
    // is its own average, so the weighted sum is skipped there.
    int run = 0;
    unsigned last = 0;
    for (int i = 0; i < std::min(n - 1, width); ++i) {
      const unsigned cur = v(i);
      run = (run > 0 && cur == last) ? std::min(run + 1, window) : 1;
      last = cur;
    }
    for (int x = 0; x < width; ++x) {
      const int right = x + n - 1;
      bool flat = false;
      if (right < width) {
        const unsigned cur = v(right);
        run = (run > 0 && cur == last) ? std::min(run + 1, window) : 1;
        last = cur;
        flat = run >= window && x - (n - 1) >= 0;
      }
      unsigned result;
      if (flat)
        result = last;
      else {
        unsigned sum = K[0] * v(x);
        for (int j = 1; j < reach; ++j)
          sum += K[j] * (v(x - j) + v(x + j));
        result = std::min(sum / norm, 255u);
      }
      out[static_cast<std::ptrdiff_t>(x) * outStride + 4 * static_cast<std::ptrdiff_t>(r)] =
        static_cast<std::uint8_t>(result);
    }
  }
}

} // namespace plugin::igraphics
