// Path building: the command buffer each shape appends.
#include <gtest/gtest.h>

#include <vector>

#include "VGTestContext.h"

namespace vgtest {
namespace {

class VGPathTest : public VGTest {
protected:
  std::vector<float> Commands() const { return {ctx->commands, ctx->commands + ctx->ncommands}; }
  // The command codes in order.
  std::vector<int> Codes() const
  {
    std::vector<int> codes;
    const int sizes[] = {3, 3, 7, 1, 2};
    for (int i = 0; i < ctx->ncommands;) {
      const int code = static_cast<int>(ctx->commands[i]);
      codes.push_back(code);
      i += (code >= 0 && code <= 4) ? sizes[code] : 1;
    }
    return codes;
  }
  int Count(int code) const
  {
    int n = 0;
    for (int c : Codes())
      n += c == code;
    return n;
  }
};

TEST_F(VGPathTest, ShapesAppendTheirCommandsTransformedAtAppendTime)
{
  vgBeginPath(ctx);
  vgTranslate(ctx, 10, 0);
  vgRect(ctx, 1, 2, 3, 4);
  vgResetTransform(ctx);
  const std::vector<float> rect = {0, 11, 2, 1, 11, 6, 1, 14, 6, 1, 14, 2, 3};
  EXPECT_EQ(Commands(), rect);

  vgTranslate(ctx, 0, 100);
  vgLineTo(ctx, 7, 8);
  EXPECT_EQ(ctx->commandx, 7.0f); // user space, before the transform
  EXPECT_EQ(ctx->commandy, 8.0f);
  EXPECT_EQ(ctx->commands[15], 108.0f);
  vgPathWinding(ctx, VG_HOLE);
  vgClosePath(ctx);
  EXPECT_EQ(ctx->commandx, 7.0f);
  EXPECT_EQ(ctx->ncommands, 19);
  EXPECT_EQ(ctx->commands[17], 2.0f);
  vgResetTransform(ctx);

  vgBeginPath(ctx);
  vgEllipse(ctx, 0, 0, 4, 2);
  EXPECT_EQ(ctx->ncommands, 32);
  EXPECT_EQ(Codes(), (std::vector<int>{0, 2, 2, 2, 2, 3}));
  EXPECT_FLOAT_EQ(ctx->commands[5], 2 * 0.5522848f); // first control point y
}

TEST_F(VGPathTest, QuadToStartsFromTheLastPointEvenAcrossBeginPath)
{
  vgBeginPath(ctx);
  vgMoveTo(ctx, 3, 3);
  vgBeginPath(ctx);
  vgQuadTo(ctx, 6, 0, 9, 3);
  const std::vector<float> want = {2, 3 + 2.0f / 3 * 3, 3 - 2.0f / 3 * 3, 9 - 2.0f / 3 * 3, 3 - 2.0f / 3 * 3, 9, 3};
  ASSERT_EQ(ctx->ncommands, 7);
  for (int i = 0; i < 7; i++)
    EXPECT_NEAR(ctx->commands[i], want[i], 1e-5f) << i;
}

TEST_F(VGPathTest, ArcSegmentCounts)
{
  struct Case {
    float a0, a1;
    int dir;
    int beziers;
    float sweep;
  };
  const Case cases[] = {
    {0, 2 * VG_PI, VG_CW, 4, 2 * VG_PI},
    {0, 0.1f, VG_CW, 1, 0.1f},
    {0, 20, VG_CW, 4, 2 * VG_PI},             // clamped to a full circle
    {0, VG_PI / 2, VG_CCW, 3, -1.5f * VG_PI}, // the long way round
    {0, -20, VG_CCW, 4, -2 * VG_PI},
    {VG_PI, 0, VG_CW, 2, VG_PI}, // a negative difference wraps to a half turn
  };
  for (const Case& c : cases) {
    vgBeginPath(ctx);
    vgArc(ctx, 0, 0, 10, c.a0, c.a1, c.dir);
    const std::vector<int> codes = Codes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], VG_MOVETO);
    EXPECT_EQ(Count(VG_BEZIERTO), c.beziers) << c.a0 << " " << c.a1;
    // The arc ends at a1 on the circle (a full turn ends where it began).
    const float ex = ctx->commands[ctx->ncommands - 2], ey = ctx->commands[ctx->ncommands - 1];
    EXPECT_NEAR(ex, 10 * std::cos(c.a0 + c.sweep), 1e-3);
    EXPECT_NEAR(ey, 10 * std::sin(c.a0 + c.sweep), 1e-3);
  }
  // With a command already present the arc joins it with a line.
  vgBeginPath(ctx);
  vgMoveTo(ctx, 0, 0);
  vgArc(ctx, 0, 0, 10, 0, 1, VG_CW);
  EXPECT_EQ(Codes()[1], VG_LINETO);
}

TEST_F(VGPathTest, RoundedRectangles)
{
  vgBeginPath(ctx);
  vgRoundedRectVarying(ctx, 0, 0, 20, 10, 0.05f, 0.05f, 0.05f, -3);
  EXPECT_EQ(ctx->ncommands, 13);

  vgBeginPath(ctx);
  vgRoundedRect(ctx, 0, 0, 20, 10, 50);
  ASSERT_EQ(ctx->ncommands, 44);
  EXPECT_EQ(ctx->commands[2], 5.0f);   // move-to (x, y + ryTL)
  EXPECT_EQ(ctx->commands[34], 10.0f); // last line-to: x + rxTL
  EXPECT_EQ(ctx->commands[14], 10.0f); // bottom line-to: x + w - rxBR
  // The corner's control points sit 1 - 0.5522848 of a radius from the corner.
  EXPECT_FLOAT_EQ(ctx->commands[8], 10 - 5 * (1 - 0.5522848f));
  EXPECT_FLOAT_EQ(ctx->commands[9], 10 * (1 - 0.5522848f));

  // Negative sizes draw mirrored: the radii take the sign.
  vgBeginPath(ctx);
  vgRoundedRect(ctx, 0, 0, -20, -10, 4);
  EXPECT_EQ(ctx->commands[2], -4.0f);
}

TEST_F(VGPathTest, ArcToDegenerateCases)
{
  vgBeginPath(ctx);
  vgArcTo(ctx, 1, 1, 2, 2, 5); // empty buffer
  EXPECT_EQ(ctx->ncommands, 0);

  struct Case {
    const char* what;
    float x1, y1, x2, y2, r;
  };
  const Case lines[] = {
    {"collinear", 5, 0, 10, 0, 3},
    {"corner on the start", 0, 0, 10, 10, 3},
    {"end on the corner", 5, 5, 5, 5, 3},
    {"radius below tolerance", 5, 0, 5, 5, 0.001f},
  };
  for (const Case& c : lines) {
    vgBeginPath(ctx);
    vgMoveTo(ctx, 0, 0);
    vgArcTo(ctx, c.x1, c.y1, c.x2, c.y2, c.r);
    EXPECT_EQ(Commands(), (std::vector<float>{0, 0, 0, 1, c.x1, c.y1})) << c.what;
  }

  // A right-angle corner: a line to the tangent point, then a quarter arc.
  vgBeginPath(ctx);
  vgMoveTo(ctx, 0, 0);
  vgArcTo(ctx, 10, 0, 10, 10, 4);
  EXPECT_EQ(Codes(), (std::vector<int>{0, 1, 2}));
  EXPECT_NEAR(ctx->commands[4], 6, 1e-4);
  EXPECT_NEAR(ctx->commands[ctx->ncommands - 2], 10, 1e-4);
  EXPECT_NEAR(ctx->commands[ctx->ncommands - 1], 4, 1e-4);
}

// Two unit directions whose float dot product rounds to just above 1.
TEST_F(VGPathTest, ArcToWithADotRoundedPastOneDrawsALine)
{
  const float x0 = -0x1.29801cp+6f, y0 = -0x1.3c4494p+5f;
  const float x1 = 0x1.8f3b8p+6f, y1 = -0x1.1a9864p+6f;
  const float x2 = 0x1.2a9972p+6f, y2 = -0x1.089d58p+6f;
  vgBeginPath(ctx);
  vgMoveTo(ctx, x0, y0);
  vgArcTo(ctx, x1, y1, x2, y2, 5);
  for (int i = 0; i < ctx->ncommands; i++)
    EXPECT_TRUE(std::isfinite(ctx->commands[i])) << i;
  EXPECT_EQ(Commands(), (std::vector<float>{0, x0, y0, 1, x1, y1}));
}

} // namespace
} // namespace vgtest
