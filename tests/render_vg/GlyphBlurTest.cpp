#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GlyphBlur.h"

namespace {

// The same recursive filter in floating point (the integer passes truncate a
// few levels away from it): forward and backward along
// columns, then rows, twice, with both ends of every line forced to zero.
void ReferenceBlur(std::vector<double>& img, int w, int h, int blur)
{
  const double sigma = blur * 0.57735;
  const double a = std::floor(65536.0 * (1.0 - std::exp(-2.3 / (sigma + 1.0)))) / 65536.0;
  auto line = [&](int first, int count, int step) {
    double z = 0;
    for (int i = 1; i < count; i++)
      img[first + i * step] = z += a * (img[first + i * step] - z);
    img[first + (count - 1) * step] = 0;
    z = 0;
    for (int i = count - 2; i >= 0; i--)
      img[first + i * step] = z += a * (img[first + i * step] - z);
    img[first] = 0;
  };
  for (int pass = 0; pass < 2; pass++) {
    for (int x = 0; x < w; x++)
      line(x, h, w);
    for (int y = 0; y < h; y++)
      line(y * w, w, 1);
  }
}

} // namespace

TEST(GlyphBlur, IntegerPassesFollowTheRecursiveFilter)
{
  const int w = 24, h = 18, stride = 32;
  for (int blur : {1, 3, 8, 20}) {
    std::vector<unsigned char> cell(static_cast<size_t>(stride * h), 77); // bytes beside the cell stay
    std::vector<double> ref(static_cast<size_t>(w * h), 0.0);
    for (int y = 6; y < 12; y++)
      for (int x = 8; x < 15; x++) {
        cell[static_cast<size_t>(y * stride + x)] = 255;
        ref[static_cast<size_t>(y * w + x)] = 255;
      }
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++)
        if (ref[static_cast<size_t>(y * w + x)] == 0)
          cell[static_cast<size_t>(y * stride + x)] = 0;
    fst_blur(cell.data(), w, h, stride, blur);
    ReferenceBlur(ref, w, h, blur);
    for (int y = 0; y < h; y++) {
      for (int x = 0; x < w; x++)
        ASSERT_NEAR(cell[static_cast<size_t>(y * stride + x)], ref[static_cast<size_t>(y * w + x)], 6.0)
          << "blur " << blur << " at " << x << "," << y;
      for (int x = w; x < stride; x++)
        ASSERT_EQ(cell[static_cast<size_t>(y * stride + x)], 77);
    }
  }
}
