// Values a layout or a parameter at its extreme may hand the engine (NaN,
// infinity, 1e30, zero and negative sizes and scales): what cannot be drawn
// is dropped, the rest of the frame is drawn, and nothing converts a float
// that does not fit into an integer (the sanitizer build stops on that).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FontFiles.h"
#include "VGTestContext.h"
#include "VGText.h"

namespace vgtest {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class VGExtremeTest : public VGTest {
protected:
  void SetUp() override
  {
    VGTest::SetUp();
    font = vgCreateFont(ctx, "dejavu", kDejaVuPath);
    ASSERT_EQ(font, 0);
  }
  // A plain square and a line of text: what must still be drawn after a bad call.
  void GoodCalls()
  {
    vgBeginPath(ctx);
    vgRect(ctx, 10, 10, 20, 20);
    vgFillColor(ctx, vgRGB(255, 0, 0));
    vgFill(ctx);
    vgFontFaceId(ctx, font);
    vgFontSize(ctx, 20);
    vgText(ctx, 50, 50, "ok", nullptr);
  }
  int font = -1;
};

TEST_F(VGExtremeTest, CallsThatCannotBeDrawnAreDroppedAndTheRestIsDrawn)
{
  // Each bad call is an arc, a stroke or a line of text with one value at its extreme.
  enum Kind { kArc, kStroke, kText };
  const struct {
    const char* what;
    Kind kind;
    float a, b;    // arc angles; stroke width; text position
    float sx, sy;  // scale of the stroke or text
    float spacing; // letter spacing of the text
    int option;    // arc direction, stroke cap and join, or text alignment
  } table[] = {
    {"arc with NaN angles", kArc, kNaN, kNaN, 1, 1, 0, VG_CW},
    {"arc with infinite end angle", kArc, 0, kInf, 1, 1, 0, VG_CCW},
    {"stroke of NaN width", kStroke, kNaN, 0, 1, 1, 0, VG_MITER},
    {"round stroke at a NaN scale", kStroke, 1, 0, kNaN, kNaN, 0, VG_ROUND},
    {"text at a NaN scale", kText, 0, 0, kNaN, 1, 0, 0},
    {"text at scale zero", kText, 0, 0, 0, 0, 0, 0},
    {"text with infinite letter spacing", kText, 0, 20, 1, 1, kInf, 0},
    {"text at x = -1e30", kText, -1e30f, 20, 1, 1, 0, 0},
    {"text at an infinite x", kText, kInf, 20, 1, 1, 0, 0},
    {"text at y = +1e30", kText, 10, 1e30f, 1, 1, 0, VG_ALIGN_CENTER | VG_ALIGN_MIDDLE},
  };
  auto bad = [this](const auto& row) {
    vgSave(ctx);
    vgScale(ctx, row.sx, row.sy);
    vgBeginPath(ctx);
    if (row.kind == kArc) {
      vgArc(ctx, 50, 50, 10, row.a, row.b, row.option);
      vgStroke(ctx);
      vgFill(ctx);
    } else if (row.kind == kStroke) {
      vgLineCap(ctx, row.option == VG_ROUND ? VG_ROUND : VG_BUTT);
      vgLineJoin(ctx, row.option);
      vgMoveTo(ctx, 0, 0);
      vgLineTo(ctx, 30, 30);
      vgLineTo(ctx, 0, 30);
      vgStrokeWidth(ctx, row.a);
      vgStroke(ctx);
    } else {
      vgFontFaceId(ctx, font);
      vgTextLetterSpacing(ctx, row.spacing);
      if (row.option)
        vgTextAlign(ctx, row.option);
      vgText(ctx, row.a, row.b, "AVAV bad", nullptr);
    }
    vgRestore(ctx);
  };
  for (const auto& row : table) {
    vgBeginFrame(ctx, 100, 100, 1);
    rec.Clear();
    bad(row);
    GoodCalls();
    // The good square and text arrive whole after the bad call.
    const RecordedCall* fill = rec.Last(ECall::Fill);
    ASSERT_NE(fill, nullptr) << row.what;
    EXPECT_FLOAT_EQ(fill->bounds[0], 10) << row.what;
    EXPECT_FLOAT_EQ(fill->bounds[3], 30) << row.what;
    const RecordedCall* text = rec.Last(ECall::Triangles);
    ASSERT_NE(text, nullptr) << row.what;
    EXPECT_EQ(text->nverts, 12) << row.what;
    // Nothing of the bad call reaches the renderer as a point off the plane.
    for (const VGvertex& v : rec.verts)
      ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y)) << row.what;
    vgEndFrame(ctx);
  }
}

TEST_F(VGExtremeTest, TextLargerThanTheLargestAtlasLeavesTheAtlasAlone)
{
  // No glyph of 3,000 pixels fits a 2,048-pixel atlas image: nothing is made
  // for it, and text of a usual size still draws after it.
  vgFontFaceId(ctx, font);
  vgFontSize(ctx, 3000);
  for (int i = 0; i < 3; i++)
    vgText(ctx, 0, 0, "AV", nullptr);
  EXPECT_EQ(rec.Count(ECall::CreateTexture), 0);
  EXPECT_EQ(ctx->fontImageIdx, 0);
  GoodCalls();
  ASSERT_NE(rec.Last(ECall::Triangles), nullptr);
  EXPECT_EQ(rec.Last(ECall::Triangles)->nverts, 12);
}

TEST_F(VGExtremeTest, FramesAtAScaleOfZeroOrLessOrOfNoSizeDrawNothing)
{
  const struct {
    const char* what;
    float w, h, ratio;
  } table[] = {
    {"ratio 0", 100, 100, 0},
    {"negative ratio", 100, 100, -2},
    {"NaN ratio", 100, 100, kNaN},
    {"NaN height", 100, kNaN, 1},
    {"negative width (an inverted layer)", -40, 100, 1},
    {"empty", 0, 0, 1},
    {"infinite width", kInf, 100, 1},
    {"wider than any target", 1e30f, 100, 2},
  };
  for (const auto& row : table) {
    vgBeginFrame(ctx, row.w, row.h, row.ratio);
    // Tolerances stay usable, whatever the ratio was.
    EXPECT_TRUE(std::isfinite(ctx->tessTol) && ctx->tessTol > 0) << row.what;
    EXPECT_TRUE(std::isfinite(ctx->fringeWidth) && ctx->fringeWidth > 0) << row.what;
    rec.Clear();
    GoodCalls();
    vgStrokeWidth(ctx, 3);
    vgStroke(ctx);
    EXPECT_EQ(rec.Count(ECall::Fill) + rec.Count(ECall::Stroke) + rec.Count(ECall::Triangles), 0) << row.what;
    vgEndFrame(ctx);
  }
  // The next good frame draws again.
  vgBeginFrame(ctx, 100, 100, 2);
  rec.Clear();
  GoodCalls();
  EXPECT_EQ(rec.Count(ECall::Fill), 1);
  EXPECT_EQ(rec.Count(ECall::Triangles), 1);
}

TEST_F(VGExtremeTest, HugeStrokesAndTolerancesKeepTheirVertexCountBounded)
{
  // A round-capped stroke at a tiny tolerance (a huge device ratio) and one
  // whose transform makes it enormous: divisions are capped per curve.
  vgBeginFrame(ctx, 1, 1, 30000);
  rec.Clear();
  vgLineCap(ctx, VG_ROUND);
  vgLineJoin(ctx, VG_ROUND);
  vgStrokeWidth(ctx, 1e6f);
  vgBeginPath(ctx);
  vgMoveTo(ctx, 0, 0);
  vgLineTo(ctx, 0.5f, 0.5f);
  vgLineTo(ctx, 0, 1);
  vgStroke(ctx);
  const RecordedCall* stroke = rec.Last(ECall::Stroke);
  ASSERT_NE(stroke, nullptr);
  EXPECT_LT(rec.Path(*stroke, 0).nstroke, 4000);
}

TEST_F(VGExtremeTest, EveryAtlasImageLeavingItsSlotIsDeleted)
{
  // Spares kept past the current entry by an earlier frame, and a frame that
  // grew into one of them: each image ends in a slot or deleted, none lost.
  auto make = [&](int w, int h) { return rec.RenderCreateTexture(&rec, VG_TEXTURE_ALPHA, w, h, 0, nullptr); };
  const int a = ctx->fontImages[0];
  const int b = make(2048, 2048), c = make(2048, 2048), d = make(1024, 1024);
  ctx->fontImages[1] = b;
  ctx->fontImages[2] = c;
  ctx->fontImages[3] = d;
  ctx->fontImageIdx = 1;
  vgEndFrame(ctx);
  EXPECT_EQ(ctx->fontImageIdx, 0);
  EXPECT_EQ(ctx->fontImages[0], b);
  for (int image : {a, c, d}) {
    bool inSlot = false;
    for (int slot : ctx->fontImages)
      inSlot |= slot == image;
    // A smaller image is deleted; one as large as the newest may stay as a spare.
    EXPECT_NE(inSlot, rec.FindTexture(image) == nullptr) << image;
  }
  EXPECT_EQ(rec.FindTexture(a), nullptr);
  EXPECT_EQ(rec.FindTexture(d), nullptr);
}

} // namespace
} // namespace vgtest
