// Frames at sizes and scales nothing can be drawn at, a viewport smaller
// than the drawable, and the glyph atlas over many busy frames.
#include <cmath>
#include <limits>
#include <string>

#include "MetalTestCard.h"
#include "MetalTestKit.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class ExtremeFrames : public mvgtest::MetalFixture {
protected:
  void Square(float x, float y, float size, VGcolor c)
  {
    vgBeginPath(ctx);
    vgRect(ctx, x, y, size, size);
    vgFillColor(ctx, c);
    vgFill(ctx);
  }
  int LiveTextures()
  {
    int n = 0;
    for (const auto* t : renderer()->textures)
      n += t->id != 0;
    return n;
  }
  // Busy frames: small text from the glyph cache, and every burstEvery-th
  // frame a burst of large glyphs at a size never drawn before, enough to
  // fill the largest atlas image twice. The atlas images, the renderer's
  // textures and the platform's objects must stay as many as after the
  // first bursts.
  void ExpectFlatOver(int frames, int burstEvery)
  {
    const int font = vgCreateFont(ctx, "dejavu", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_EQ(font, 0);
    std::string burst;
    for (char c = '!'; c <= '~'; c++)
      burst += c;
    const int warmUp = 4 * burstEvery;
    int textures = 0;
    long objects = 0;
    for (int i = 0; i < frames; i++) {
      // As the view's timer does: what a frame autoreleases goes with it.
      NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
      vgBeginFrame(ctx, 16, 16, 1);
      vgFontFaceId(ctx, font);
      if (i % burstEvery == 0) {
        vgFontSize(ctx, 420.0f + float(i / burstEvery));
        vgText(ctx, 0, 14, burst.c_str(), nullptr);
        vgText(ctx, 0, 14, burst.c_str(), nullptr);
      } else {
        vgFontSize(ctx, 12.0f);
        vgText(ctx, 0, 14, "12.5 dB", nullptr);
      }
      vgEndFrame(ctx);
      pool->drain();
      if (i + 1 == warmUp) {
        standin::WaitForGPUIdle();
        textures = LiveTextures();
        objects = standin::LiveNSObjectCount();
      }
    }
    standin::WaitForGPUIdle();
    EXPECT_LE(LiveTextures(), textures);
    EXPECT_LE(LiveTextures(), 4); // the atlas slots
    EXPECT_LE(standin::LiveNSObjectCount(), objects);
  }
};

TEST_F(ExtremeFrames, FramesThatCannotBeDrawnAreDroppedAndTheNextOneDraws)
{
  ASSERT_NE(Open(16, 16), nullptr);
  const struct {
    const char* what;
    float w, h, ratio;
  } table[] = {
    {"NaN height", 16, kNaN, 1},    {"negative ratio", 16, 16, -1},  {"ratio 0", 16, 16, 0},
    {"inverted layer", -16, 16, 1}, {"infinite width", kInf, 16, 1}, {"huge width", 1e30f, 16, 1},
    {"huge height", 16, 1e30f, 1},  {"huge ratio", 16, 16, 1e30f},   {"4,294,967,232 pixels", 16, 16, 268435452.f},
  };
  for (const auto& row : table) {
    vgBeginFrame(ctx, row.w, row.h, row.ratio);
    Square(0, 0, 16, vgRGB(255, 0, 0));
    vgEndFrame(ctx);
    EXPECT_EQ(standin::PresentCount(layer), 0u) << row.what;
    EXPECT_EQ(standin::GPUValidationErrors(), std::vector<std::string>()) << row.what;
  }
  vgBeginFrame(ctx, 16, 16, 1);
  Square(4, 4, 8, vgRGB(0, 0, 255));
  vgEndFrame(ctx);
  const std::vector<uint8_t> shown = Shown();
  ASSERT_EQ(shown.size(), 16u * 16u * 4u);
  EXPECT_EQ(mvgtest::At(shown, 16, 8, 8), (std::array<int, 4>{0, 0, 255, 255}));
  EXPECT_EQ(standin::GPUValidationErrors(), std::vector<std::string>());
}

TEST_F(ExtremeFrames, AViewportSmallerThanTheDrawableGetsAStencilOfTheTargetsSize)
{
  // A concave shape (stencil fill) drawn into the top-left 24 x 24 of a
  // 40 x 40 drawable: an L of two squares, its notch left empty.
  ASSERT_NE(Open(40, 40), nullptr);
  mvgClearWithColor(ctx, vgRGB(255, 255, 255));
  vgBeginFrame(ctx, 24, 24, 1);
  vgBeginPath(ctx);
  vgMoveTo(ctx, 2, 2);
  vgLineTo(ctx, 12, 2);
  vgLineTo(ctx, 12, 12);
  vgLineTo(ctx, 22, 12);
  vgLineTo(ctx, 22, 22);
  vgLineTo(ctx, 2, 22);
  vgClosePath(ctx);
  vgFillColor(ctx, vgRGB(0, 0, 0));
  vgFill(ctx);
  vgEndFrame(ctx);
  const std::vector<uint8_t> shown = Shown();
  ASSERT_EQ(shown.size(), 40u * 40u * 4u);
  EXPECT_TRUE(mvgcard::WriteRGBAPng(shown, 40, 40, mvgtest::OutputPath("small_viewport_concave.png")));
  EXPECT_EQ(standin::GPUValidationErrors(), std::vector<std::string>());
  EXPECT_EQ(mvgtest::At(shown, 40, 6, 6)[0], 0);     // upper arm
  EXPECT_EQ(mvgtest::At(shown, 40, 18, 18)[0], 0);   // lower arm
  EXPECT_EQ(mvgtest::At(shown, 40, 18, 6)[0], 255);  // the notch
  EXPECT_EQ(mvgtest::At(shown, 40, 30, 30)[0], 255); // outside the viewport
}

} // namespace

TEST_F(ExtremeFrames, BusyTextFramesKeepLiveTexturesAndObjectsFlat)
{
  ASSERT_NE(Open(16, 16), nullptr);
  ExpectFlatOver(24, 2);
}

TEST_F(ExtremeFrames, TenThousandBusyTextFramesSoak)
{
  ASSERT_NE(Open(16, 16), nullptr);
  ExpectFlatOver(10000, 50);
}
