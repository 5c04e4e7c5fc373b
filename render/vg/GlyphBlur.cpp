#include "GlyphBlur.h"

#include <cmath>

namespace {

constexpr int kAlphaPrecision = 16;
constexpr int kAccumPrecision = 7;

// One recursive pass along `count` pixels spaced `step` apart, forward then back.
void blurLine(unsigned char* p, int count, int step, int alpha)
{
  int z = 0;
  for (int i = 1; i < count; i++) {
    unsigned char& px = p[i * step];
    z += (alpha * ((static_cast<int>(px) << kAccumPrecision) - z)) >> kAlphaPrecision;
    px = static_cast<unsigned char>(z >> kAccumPrecision);
  }
  p[(count - 1) * step] = 0;
  z = 0;
  for (int i = count - 2; i >= 0; i--) {
    unsigned char& px = p[i * step];
    z += (alpha * ((static_cast<int>(px) << kAccumPrecision) - z)) >> kAlphaPrecision;
    px = static_cast<unsigned char>(z >> kAccumPrecision);
  }
  p[0] = 0;
}

void blurCols(unsigned char* dst, int w, int h, int stride, int alpha)
{
  for (int x = 0; x < w; x++)
    blurLine(dst + x, h, stride, alpha);
}

void blurRows(unsigned char* dst, int w, int h, int stride, int alpha)
{
  for (int y = 0; y < h; y++)
    blurLine(dst + y * stride, w, 1, alpha);
}

} // namespace

void fst_blur(unsigned char* dst, int w, int h, int stride, int blur)
{
  if (blur < 1 || w < 1 || h < 1)
    return;
  const float sigma = static_cast<float>(blur) * 0.57735f;
  const int alpha = static_cast<int>((1 << kAlphaPrecision) * (1.0f - std::exp(-2.3f / (sigma + 1.0f))));
  blurCols(dst, w, h, stride, alpha);
  blurRows(dst, w, h, stride, alpha);
  blurCols(dst, w, h, stride, alpha);
  blurRows(dst, w, h, stride, alpha);
}
