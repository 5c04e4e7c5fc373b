// The drop shadow's integer blur against a naive two-dimensional blur
// written here from the kernel's formula, and the shadow composited for real.

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "EditorFixture.h"
#include "GaussianBlur.h"
#include "IGraphicsConstants.h"

using namespace testsupport;

namespace {

// Kernel from the formula, in double precision.
std::vector<int> ReferenceKernel(double blur)
{
  const double x = std::max(blur + 1.0, 1.0);
  std::vector<int> k(static_cast<std::size_t>(std::ceil(x)));
  for (std::size_t i = 0; i < k.size(); ++i)
    k[i] = static_cast<int>(std::lround(255.0 * std::exp(-double(i * i) * 4.5 / (x * x))));
  return k;
}

// Rows then columns; a neighbour outside the image adds nothing.
std::vector<int> NaiveBlur(const std::vector<int>& a, int w, int h, const std::vector<int>& k)
{
  long norm = k[0];
  for (std::size_t i = 1; i < k.size(); ++i)
    norm += 2 * k[i];
  const int n = static_cast<int>(k.size());
  auto pass = [&](const std::vector<int>& in, bool alongRows) {
    std::vector<int> out(in.size());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        long sum = 0;
        for (int j = -(n - 1); j <= n - 1; ++j) {
          const int xx = alongRows ? x + j : x, yy = alongRows ? y : y + j;
          if (xx >= 0 && xx < w && yy >= 0 && yy < h)
            sum += long(k[std::abs(j)]) * in[yy * w + xx];
        }
        out[y * w + x] = static_cast<int>(std::min(sum / norm, 255L));
      }
    return out;
  };
  return pass(pass(a, true), false);
}

class ShadowBlur : public EditorFixture {
protected:
  ILayerPtr MakeLayer(int w, int h)
  {
    g->StartLayer(nullptr, IRECT(0, 0, static_cast<float>(w), static_cast<float>(h)));
    return g->EndLayer();
  }
  static TestBitmap& Pixels(const ILayerPtr& layer) { return *dynamic_cast<TestBitmap*>(layer->mBitmap.get()); }
};

} // namespace

TEST(BlurKernel, FallsFrom255ToAboutThreeAtTheBlurExtent)
{
  struct Case {
    float x;
    std::vector<int> k;
    unsigned norm;
  };
  const Case cases[] = {{1.f, {255}, 255}, {3.f, {255, 155, 35}, 635}, {0.5f, {255}, 255}};
  for (const Case& c : cases) {
    std::uint8_t k[8] = {};
    unsigned norm = 0;
    const int n = MakeBlurKernel(c.x, k, 8, norm);
    ASSERT_EQ(n, static_cast<int>(c.k.size())) << c.x;
    EXPECT_EQ(std::vector<int>(k, k + n), c.k) << c.x;
    EXPECT_EQ(norm, c.norm) << c.x;
  }
  std::uint8_t k[2];
  unsigned norm = 1;
  EXPECT_EQ(MakeBlurKernel(3.f, k, 2, norm), 0); // does not fit: nothing written
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1e30f})
    EXPECT_EQ(MakeBlurKernel(bad, k, 2, norm), 0) << bad;
  for (double blur : {0.0, 0.3, 1.0, 2.0, 4.5, 7.25, 20.0}) {
    std::vector<std::uint8_t> got(64);
    const int n = MakeBlurKernel(static_cast<float>(blur + 1.0), got.data(), 64, norm);
    EXPECT_EQ(std::vector<int>(got.begin(), got.begin() + n), ReferenceKernel(blur)) << blur;
  }
}

TEST_F(ShadowBlur, AlphaIsBlurredExactlyAsTheNaiveBlurForAnySizeAndRowOrder)
{
  std::mt19937 rng(1234);
  // Widths below, equal to and above the kernel (3 taps for blur 2, 6 for 4.5).
  const int sizes[][2] = {{1, 1}, {2, 5}, {3, 3}, {5, 2}, {6, 7}, {9, 4}, {31, 17}};
  for (bool flipped : {false, true})
    for (float blur : {0.f, 2.f, 4.5f})
      for (const auto& sz : sizes)
        for (bool uniform : {false, true}) {
          const int w = sz[0], h = sz[1];
          g->mFlipped = flipped;
          ILayerPtr layer = MakeLayer(w, h);
          TestBitmap& b = Pixels(layer);
          ASSERT_EQ(b.GetWidth(), w);
          std::vector<int> alpha(static_cast<std::size_t>(w * h));
          const int level = static_cast<int>(rng() % 256);
          for (int i = 0; i < w * h; ++i) {
            for (int c = 0; c < 3; ++c)
              b.mPixels[i * 4 + c] = static_cast<std::uint8_t>(rng());
            alpha[i] = uniform ? level : static_cast<int>(rng() % 256);
            b.mPixels[i * 4 + 3] = static_cast<std::uint8_t>(alpha[i]);
          }
          const std::vector<std::uint8_t> before = b.mPixels;
          IShadow shadow;
          shadow.mBlurSize = blur;
          g->ApplyLayerDropShadow(layer, shadow);
          ASSERT_EQ(g->mLastMask.size(), before.size());

          // A back end storing rows bottom-up gets the result top row first.
          std::vector<int> expect = NaiveBlur(alpha, w, h, ReferenceKernel(blur));
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
              const int src = flipped ? (h - 1 - y) * w + x : y * w + x;
              const std::size_t i = static_cast<std::size_t>(y * w + x) * 4;
              ASSERT_EQ(g->mLastMask[i + 3], expect[src])
                << "flipped " << flipped << " blur " << blur << " " << w << "x" << h << " at " << x << "," << y;
              for (int c = 0; c < 3; ++c)
                ASSERT_EQ(g->mLastMask[i + c], before[i + c]);
            }
        }
}

TEST_F(ShadowBlur, BlursWiderThanTheLongestKernelBlurAsItDoes)
{
  // Below, at and past the longest kernel, whose taps would overflow an int
  // when squared and the pixel sums when added.
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float blur;
    float extent; // the kernel's extent x that blurs
  } rows[] = {{3e4f, 30001.f}, {32767.f, 32768.f}, {5e4f, 32768.f}, {1e9f, 32768.f}, {inf, 32768.f}};
  std::mt19937 rng(99);
  for (const auto& r : rows) {
    const int w = 7, h = 5;
    ILayerPtr layer = MakeLayer(w, h);
    TestBitmap& b = Pixels(layer);
    std::vector<int> alpha(static_cast<std::size_t>(w * h));
    for (int i = 0; i < w * h; ++i) {
      alpha[i] = static_cast<int>(rng() % 256);
      b.mPixels[i * 4 + 3] = static_cast<std::uint8_t>(alpha[i]);
    }
    IShadow shadow;
    shadow.mBlurSize = r.blur;
    g->ApplyLayerDropShadow(layer, shadow);
    ASSERT_EQ(g->mLastMask.size(), static_cast<std::size_t>(w * h * 4)) << r.blur;
    std::vector<std::uint8_t> k(static_cast<std::size_t>(std::ceil(r.extent)));
    unsigned norm = 0;
    ASSERT_EQ(MakeBlurKernel(r.extent, k.data(), static_cast<int>(k.size()), norm), static_cast<int>(k.size()));
    const std::vector<int> expect = NaiveBlur(alpha, w, h, std::vector<int>(k.begin(), k.end()));
    for (int i = 0; i < w * h; ++i)
      ASSERT_EQ(g->mLastMask[static_cast<std::size_t>(i) * 4 + 3], expect[i]) << r.blur << " at " << i;
  }
}

TEST_F(ShadowBlur, ZeroSizedOrUnreadableLayerIsLeftAlone)
{
  for (const IRECT r : {IRECT(0, 0, 0, 10), IRECT(5, 5, 5, 5), IRECT(0, 0, 10, 0)}) {
    g->StartLayer(nullptr, r);
    ILayerPtr layer = g->EndLayer();
    g->TakeLog();
    g->ApplyLayerDropShadow(layer, IShadow());
    EXPECT_EQ(g->TakeLog(), Log{});
  }
  ILayerPtr none;
  g->ApplyLayerDropShadow(none, IShadow());
  EXPECT_EQ(g->TakeLog(), Log{});
}

TEST_F(ShadowBlur, ShadowLiesUnderTheContentOffsetAndColoured)
{
  // An opaque white square in a transparent 40 x 40 layer; a red shadow 6
  // points down and right.
  ILayerPtr layer = MakeLayer(40, 40);
  TestBitmap& b = Pixels(layer);
  for (int y = 10; y < 22; ++y)
    for (int x = 10; x < 22; ++x)
      std::fill(b.At(x, y), b.At(x, y) + 4, 255);
  IShadow shadow;
  shadow.mPattern = IPattern(COLOR_RED);
  shadow.mBlurSize = 2.f;
  shadow.mXOffset = shadow.mYOffset = 6.f;
  shadow.mOpacity = 1.f;
  g->ApplyLayerDropShadow(layer, shadow);

  RGBAImage out{40, 40, b.mPixels};
  EXPECT_TRUE(WritePNG(std::string(VORELLE_TEST_OUTPUT_DIR) + "/drop_shadow.png", out));
  const auto px = [&](int x, int y) { return std::vector<int>(b.At(x, y), b.At(x, y) + 4); };
  EXPECT_EQ(px(15, 15), (std::vector<int>{255, 255, 255, 255})); // content on top
  EXPECT_EQ(px(25, 25), (std::vector<int>{255, 0, 0, 255}));     // deep inside the shadow
  EXPECT_EQ(px(2, 2)[3], 0);                                     // far from both
  EXPECT_GT(px(28, 20)[3], 0);                                   // blurred edge fades
  EXPECT_LT(px(28, 20)[3], 255);

  // Without the foreground only the shadow remains.
  for (int y = 10; y < 22; ++y)
    for (int x = 10; x < 22; ++x)
      std::fill(b.At(x, y), b.At(x, y) + 4, 255);
  shadow.mDrawForeground = false;
  g->ApplyLayerDropShadow(layer, shadow);
  EXPECT_EQ(px(11, 11)[3], 0);
  EXPECT_EQ(px(25, 25), (std::vector<int>{255, 0, 0, 255}));
}
