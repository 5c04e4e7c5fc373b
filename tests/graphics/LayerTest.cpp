// Layers: size and alignment, the stack's clip and transform rules, when a
// kept layer may be drawn again, and how layers are drawn back.

#include <algorithm>
#include <limits>

#include "EditorFixture.h"

using namespace testsupport;

namespace {

class Layers : public EditorFixture {
protected:
  void SetUp() override
  {
    EditorFixture::SetUp();
    g->mLogPaths = true;
  }
  // Clips and layer switches only.
  Log Steps()
  {
    Log out;
    for (const std::string& s : g->TakeLog())
      if (s.rfind("Clip", 0) == 0 || s.rfind("UpdateLayer", 0) == 0 || s.rfind("CreateAPIBitmap", 0) == 0)
        out.push_back(s);
    return out;
  }
};

} // namespace

TEST_F(Layers, LayerIsAlignedOutwardAndSizedInWholePointsThenPixels)
{
  struct Case {
    float screen;
    IRECT r;
    const char* bitmap;
    IRECT bounds;
  };
  const Case cases[] = {
    {2.f, IRECT(0.3f, 0.3f, 10.2f, 10.2f), "CreateAPIBitmap 22x22 scale 2 draw 1", IRECT(0, 0, 10.5f, 10.5f)},
    {1.f, IRECT(0.3f, 0.3f, 10.2f, 10.2f), "CreateAPIBitmap 11x11 scale 1 draw 1", IRECT(0, 0, 11, 11)},
    {1.f, IRECT(5, 5, 5, 5), "CreateAPIBitmap 0x0 scale 1 draw 1", IRECT(5, 5, 5, 5)},
  };
  for (const Case& c : cases) {
    g->SetScreenScale(c.screen);
    g->TakeLog();
    g->StartLayer(nullptr, c.r);
    const Log steps = Steps();
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps[0], c.bitmap);
    ILayerPtr layer = g->EndLayer();
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->mRECT, c.bounds);
    EXPECT_EQ(layer->mControl, nullptr);
    EXPECT_EQ(layer->mControlRECT, IRECT());
    EXPECT_FALSE(layer->mInvalid);
  }
}

TEST_F(Layers, NonFiniteInvertedOrEmptyAreasMakeLayersThatDrawNothing)
{
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  constexpr float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    IRECT r;
    const char* bitmap; // pixel sizes saturate at the largest int, 2147483647
  };
  const Case cases[] = {
    {"NaN left", IRECT(nan, 0, 10, 10), "CreateAPIBitmap 0x20 scale 2 draw 1"},
    {"NaN everywhere", IRECT(nan, nan, nan, nan), "CreateAPIBitmap 0x0 scale 2 draw 1"},
    {"infinite right", IRECT(0, 0, inf, 10), "CreateAPIBitmap 2.14748e+09x20 scale 2 draw 1"},
    {"infinite both ways", IRECT(-inf, -inf, inf, inf), "CreateAPIBitmap 2.14748e+09x2.14748e+09 scale 2 draw 1"},
    {"infinity to infinity", IRECT(inf, 0, inf, 10), "CreateAPIBitmap 0x20 scale 2 draw 1"},
    {"huge", IRECT(-1e30f, 0, 1e30f, 1e20f), "CreateAPIBitmap 2.14748e+09x2.14748e+09 scale 2 draw 1"},
    {"inverted", IRECT(10, 10, 0, -5), "CreateAPIBitmap 0x0 scale 2 draw 1"},
    {"inverted by a huge amount", IRECT(1e30f, 0, -1e30f, 10), "CreateAPIBitmap 0x20 scale 2 draw 1"},
    {"empty", IRECT(5, 5, 5, 20), "CreateAPIBitmap 0x30 scale 2 draw 1"},
  };
  g->SetScreenScale(2.f);
  for (const Case& c : cases) {
    g->TakeLog();
    g->StartLayer(nullptr, c.r);
    const Log steps = Steps();
    ASSERT_FALSE(steps.empty()) << c.what;
    EXPECT_EQ(steps[0], c.bitmap) << c.what;
    g->FillRect(IColor(255, 255, 0, 0), c.r);
    ILayerPtr layer = g->EndLayer();
    ASSERT_TRUE(layer) << c.what;
    EXPECT_EQ(g->NLayers(), 0) << c.what;
    g->TakeLog();
    g->DrawLayer(layer);
    g->DrawFittedLayer(layer, IRECT(0, 0, 40, 40));
    g->DrawRotatedLayer(layer, 30.0);
    IShadow shadow;
    shadow.mBlurSize = 3.f;
    g->ApplyLayerDropShadow(layer, shadow);
    for (const std::string& s : g->TakeLog())
      EXPECT_TRUE(s.rfind("DrawBitmap", 0) != 0 && s.rfind("ApplyShadowMask", 0) != 0) << c.what << ": " << s;
  }
}

TEST_F(Layers, PushAndPopResetTheTransformAndClipToTheCurrentArea)
{
  auto* c = Add("c", IRECT(0, 0, 100, 100));
  g->Tick(); // draws c: the control clip is its widened rect
  g->PathTransformTranslate(3, 4);
  g->TakeLog();
  g->StartLayer(c, IRECT(10, 10, 30, 30));
  // The layer's own bounds, although the control clip was larger; no transform.
  EXPECT_EQ(Steps(), (Log{"CreateAPIBitmap 20x20 scale 1 draw 1", "UpdateLayer 1", "Clip (10,10,30,30)"}));
  EXPECT_EQ(g->GetTransform(), IMatrix());

  struct Case {
    IRECT r;
    const char* clip;
  };
  const Case clips[] = {
    {IRECT(), "Clip (10,10,30,30)"}, // empty: the whole layer
    {IRECT(20, 20, 50, 50), "Clip (20,20,30,30)"},
    {IRECT(40, 40, 50, 50), "Clip (0,0,0,0)"}, // outside: nothing
  };
  g->PathTransformScale(2.f);
  for (const Case& k : clips) {
    g->TakeLog();
    g->PathClipRegion(k.r);
    // Given untransformed; the transform itself survives.
    EXPECT_EQ(g->TakeLog(), (Log{"Matrix 1 0 0 1 0 0", k.clip, "Matrix 2 0 0 2 0 0"}));
  }
  ILayerPtr layer = g->EndLayer();
  EXPECT_EQ(Steps(), (Log{"UpdateLayer 0", "Clip (-1,-1,101,101)"}));
  EXPECT_EQ(layer->mControlRECT, IRECT(0, 0, 100, 100));

  // An empty stack still resets the transform and the clip.
  g->PathTransformTranslate(5, 5);
  EXPECT_EQ(g->PopLayer(), nullptr);
  EXPECT_EQ(g->GetTransform(), IMatrix());
  EXPECT_EQ(g->mClip, IRECT(-1, -1, 101, 101));
  EXPECT_EQ(g->EndLayer(), nullptr);
}

TEST_F(Layers, ResumedLayerTakesTheOwnerAndGivesItBack)
{
  g->StartLayer(nullptr, IRECT(0, 0, 10, 10));
  ILayerPtr layer = g->EndLayer();
  ILayer* raw = layer.get();
  g->ResumeLayer(layer);
  EXPECT_EQ(layer, nullptr);
  EXPECT_EQ(g->NLayers(), 1);
  layer = g->EndLayer();
  EXPECT_EQ(layer.get(), raw);
  ILayerPtr none;
  g->ResumeLayer(none);
  EXPECT_EQ(g->NLayers(), 0);
}

TEST_F(Layers, KeptLayerIsValidUntilItsControlOrTheScalesChange)
{
  auto* c = Add("c", IRECT(0, 0, 20, 20));
  auto make = [&] {
    g->StartLayer(c, c->GetRECT());
    return g->EndLayer();
  };
  ILayerPtr layer = make();
  EXPECT_TRUE(g->CheckLayer(layer));

  c->SetRECT(IRECT(1, 0, 21, 20)); // moved
  EXPECT_FALSE(g->CheckLayer(layer));
  EXPECT_EQ(layer->mControlRECT, IRECT(1, 0, 21, 20));
  EXPECT_FALSE(g->CheckLayer(layer)); // stays invalid until replaced
  layer = make();
  EXPECT_TRUE(g->CheckLayer(layer));

  g->SetScreenScale(2.f);
  EXPECT_FALSE(g->CheckLayer(layer));
  layer = make();
  EXPECT_TRUE(g->CheckLayer(layer));
  g->Resize(400, 300, 1.5f);
  EXPECT_FALSE(g->CheckLayer(layer));

  ILayerPtr none;
  EXPECT_FALSE(g->CheckLayer(none));
  layer->mBitmap.reset();
  EXPECT_FALSE(g->CheckLayer(layer));
}

TEST_F(Layers, LayersDrawAtTheirBoundsFittedOrRotatedAndLeaveTheTransform)
{
  g->SetScreenScale(2.f);
  g->StartLayer(nullptr, IRECT(10, 20, 30, 30));
  ILayerPtr layer = g->EndLayer();
  g->PathTransformTranslate(7, 7);
  const IMatrix before = g->GetTransform();
  g->TakeLog();

  auto bitmapDraws = [&] {
    Log out;
    for (const std::string& s : g->TakeLog())
      if (s.rfind("DrawBitmap", 0) == 0 || s.rfind("Matrix", 0) == 0)
        out.push_back(s);
    return out;
  };
  g->DrawLayer(layer);
  // Untransformed at its bounds; a view of 40 x 20 pixels at scale 2.
  EXPECT_EQ(bitmapDraws(), (Log{"Matrix 1 0 0 1 0 0", "DrawBitmap  (10,20,30,30) src 0,0", "Matrix 1 0 0 1 7 7"}));
  EXPECT_EQ(g->GetTransform(), before);

  g->DrawFittedLayer(layer, IRECT(0, 0, 40, 5));
  EXPECT_EQ(bitmapDraws(), (Log{"Matrix 1 0 0 1 7 7", "Matrix 2 0 0 0.5 7 7", "DrawBitmap  (0,0,20,10) src 0,0",
                                "Matrix 1 0 0 1 7 7"}));
  g->DrawRotatedLayer(layer, 90.0);
  const Log rotated = bitmapDraws();
  ASSERT_EQ(rotated.size(), 6u) << ::testing::PrintToString(rotated);
  // About the layer's centre, untransformed (single-precision degrees).
  EXPECT_EQ(rotated[1], "Matrix 1 0 0 1 20 25");
  EXPECT_EQ(rotated[2], "Matrix -4.37114e-08 1 -1 -4.37114e-08 20 25");
  EXPECT_EQ(rotated[3], "DrawBitmap  (-10,-5,10,5) src 0,0");
  EXPECT_EQ(g->GetTransform(), before);
}

TEST_F(Layers, TransformsComposeOnTheRightAndRestoreOnlyWhatWasSaved)
{
  g->TakeLog();
  g->PathTransformRestore(); // nothing saved: nothing at all happens
  EXPECT_EQ(g->TakeLog(), Log{});
  g->PathTransformSave();
  g->PathTransformTranslate(10, 0);
  g->PathTransformSkew(45, 0);
  g->PathTransformMatrix(IMatrix(2, 0, 0, 1, 0, 3));
  double x = 1, y = 1;
  g->GetTransform().TransformPoint(x, y);
  // (1, 1) scaled to (2, 1), moved to (2, 4), sheared to (6, 4), then moved by 10.
  EXPECT_NEAR(x, 16.0, 1e-9);
  EXPECT_NEAR(y, 4.0, 1e-9);
  g->PathTransformRestore();
  EXPECT_EQ(g->GetTransform(), IMatrix());
  EXPECT_EQ(g->TakeLog().back(), "Matrix 1 0 0 1 0 0");
}
