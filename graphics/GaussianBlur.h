#pragma once
// The drop shadow's blur: an integer Gaussian kernel of bytes and one
// separable pass over one channel of four-byte pixels that writes its result
// transposed, so two passes blur both ways reading rows in order.

#include <cstdint>

namespace plugin::igraphics {

// The longest kernel: with 2n - 1 taps of at most 255 over bytes, a pixel's
// weighted sum still fits an unsigned int.
constexpr int kMaxBlurTaps = 32768;

// Kernel for a blur extent x (>= 1): n = ceil(x) taps, K[0] = 255 falling to
// about 3 at x. Writes at most maxTaps bytes; returns n (0 when it does not
// fit). norm receives K[0] + 2 * (K[1] + ... + K[n - 1]).
int MakeBlurKernel(float x, std::uint8_t* K, int maxTaps, unsigned& norm);

// Blurs `height` rows of `width` pixels along each row: row r starts at
// in + r * inStride (bytes, may be negative), pixel x at 4 * x. Neighbours
// outside the row contribute nothing, so edges fade. The result of (x, r) is
// written to out[x * outStride + 4 * r]. in and out must not overlap.
void GaussianBlurSwap(std::uint8_t* out, const std::uint8_t* in, const std::uint8_t* K, int width, int height,
                      int outStride, int inStride, int n, unsigned norm);

} // namespace plugin::igraphics
