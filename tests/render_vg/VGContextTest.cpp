// Context life cycle, frames, the state stack and transforms.
#include <gtest/gtest.h>

#include <cstdint>

#include "AllocationCounter.h"
#include "VGTestContext.h"

namespace vgtest {
namespace {

using K = ECall;

TEST(VGContext, CallbacksRunInTheOrderOfCreateBeginEndAndDelete)
{
  VGRecordingRenderer rec;
  VGparams params = rec.Params();
  VGcontext* ctx = vgCreateInternal(&params);
  ASSERT_NE(ctx, nullptr);
  EXPECT_EQ(vgInternalParams(ctx)->userPtr, &rec);
  vgBeginFrame(ctx, 650, 470, 2.0f);
  vgCancelFrame(ctx);
  vgBeginFrame(ctx, 650, 470, 2.0f);
  vgEndFrame(ctx);
  vgDeleteInternal(ctx);

  const std::vector<ECall> expected = {K::Create,   K::CreateTexture, K::Viewport,      K::Cancel,
                                       K::Viewport, K::Flush,         K::DeleteTexture, K::Delete};
  EXPECT_EQ(rec.Kinds(), expected);
  const RecordedCall& atlas = rec.calls[1];
  EXPECT_EQ(atlas.type, VG_TEXTURE_ALPHA);
  EXPECT_EQ(atlas.w, 512);
  EXPECT_EQ(atlas.h, 512);
  EXPECT_EQ(rec.calls[2].width, 650.0f);
  EXPECT_EQ(rec.calls[2].ratio, 2.0f);
  EXPECT_EQ(rec.calls[6].image, atlas.image);
  EXPECT_TRUE(rec.textures.empty());
}

// Each failure point: the context is null, the renderer is told to delete
// exactly once, and (under the sanitizer) nothing is freed twice or leaked.
TEST(VGContext, AFailedCreationReleasesEverythingOnce)
{
  struct Case {
    const char* what;
    bool failCreate;
    int failTexture;
    size_t allocLimit;
    int creates;
  };
  const Case cases[] = {
    {"renderer set-up fails", true, 0, SIZE_MAX, 1},
    {"atlas texture fails", false, 1, SIZE_MAX, 1},
    {"context record cannot be allocated", false, 0, sizeof(VGcontext) - 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VGRecordingRenderer rec;
    rec.failCreate = c.failCreate;
    rec.failTextureFrom = c.failTexture;
    VGparams params = rec.Params();
    VGcontext* ctx = nullptr;
    {
      testsupport::ScopedAllocationLimit limit(c.allocLimit);
      ctx = vgCreateInternal(&params);
    }
    EXPECT_EQ(ctx, nullptr);
    EXPECT_EQ(rec.Count(K::Create), c.creates);
    // The record itself missing: nothing to release, no renderer call at all.
    EXPECT_EQ(rec.deleted, c.allocLimit < sizeof(VGcontext) ? 0 : 1);
    EXPECT_EQ(rec.Count(K::DeleteTexture), 0);
  }
}

TEST_F(VGTest, BeginFrameSetsTolerancesFromTheRatioAndDropsSavedStates)
{
  for (int i = 0; i < 5; i++) {
    vgSave(ctx);
    vgStrokeWidth(ctx, 3.0f + i);
    vgTranslate(ctx, 4, 5);
  }
  vgBeginFrame(ctx, 100, 100, 2.0f);
  EXPECT_FLOAT_EQ(ctx->tessTol, 0.125f);
  EXPECT_FLOAT_EQ(ctx->distTol, 0.005f);
  EXPECT_FLOAT_EQ(ctx->fringeWidth, 0.5f);
  EXPECT_EQ(ctx->devicePxRatio, 2.0f);
  EXPECT_EQ(ctx->nstates, 1);

  const VGstate* s = State();
  EXPECT_EQ(s->strokeWidth, 1.0f);
  EXPECT_EQ(s->miterLimit, 10.0f);
  EXPECT_EQ(s->lineJoin, VG_MITER);
  EXPECT_EQ(s->lineCap, VG_BUTT);
  EXPECT_EQ(s->shapeAntiAlias, 1);
  EXPECT_EQ(s->alpha, 1.0f);
  EXPECT_EQ(s->compositeOperation.srcRGB, VG_ONE);
  EXPECT_EQ(s->compositeOperation.dstAlpha, VG_ONE_MINUS_SRC_ALPHA);
  EXPECT_EQ(s->xform[4], 0.0f);
  EXPECT_EQ(s->scissor.extent[0], -1.0f);
  EXPECT_EQ(s->fill.innerColor.r, 1.0f);
  EXPECT_EQ(s->stroke.innerColor.r, 0.0f);
  EXPECT_EQ(s->stroke.innerColor.a, 1.0f);
  EXPECT_EQ(s->fill.feather, 1.0f);
  EXPECT_EQ(s->fontSize, 16.0f);
  EXPECT_EQ(s->lineHeight, 1.0f);
  EXPECT_EQ(s->textAlign, 65);
  EXPECT_EQ(s->fontId, 0);
}

TEST_F(VGTest, FortySavesStopAtThirtyTwoStatesAndFortyRestoresAtOne)
{
  for (int i = 0; i < 40; i++)
    vgSave(ctx);
  EXPECT_EQ(ctx->nstates, 32);
  for (int i = 0; i < 40; i++)
    vgRestore(ctx);
  EXPECT_EQ(ctx->nstates, 1);
}

TEST_F(VGTest, RestoreAfterASaveRefusedAtAFullStackPopsNothing)
{
  for (int i = 1; i < 31; i++)
    vgSave(ctx);
  vgStrokeWidth(ctx, 5.0f);
  vgSave(ctx); // the 32nd state
  vgStrokeWidth(ctx, 7.0f);
  vgSave(ctx); // refused
  vgStrokeWidth(ctx, 9.0f);
  vgRestore(ctx); // matches the refused save
  EXPECT_EQ(ctx->nstates, 32);
  EXPECT_EQ(State()->strokeWidth, 9.0f);
  vgRestore(ctx); // matches the 32nd
  EXPECT_EQ(ctx->nstates, 31);
  EXPECT_EQ(State()->strokeWidth, 5.0f);
}

TEST(VGTransform, InverseOfSingularAndRegularMatrices)
{
  struct Case {
    float t[6];
    float inv[6];
    int ok;
  };
  const Case cases[] = {
    {{1, 0, 0, 0, 5, 5}, {1, 0, 0, 1, 0, 0}, 0},
    {{2, 0, 0, 4, 10, 20}, {0.5f, 0, 0, 0.25f, -5, -5}, 1},
    {{1e-4f, 0, 0, 1e-3f, 0, 0}, {1, 0, 0, 1, 0, 0}, 0}, // det 1e-7: below the threshold
  };
  for (const Case& c : cases) {
    float inv[6];
    EXPECT_EQ(vgTransformInverse(inv, c.t), c.ok);
    for (int i = 0; i < 6; i++)
      EXPECT_FLOAT_EQ(inv[i], c.inv[i]) << i;
  }
  // A rotation with translation: the inverse maps every image point back.
  float t[6], inv[6];
  vgTransformRotate(t, 0.7f);
  t[4] = 3;
  t[5] = -8;
  ASSERT_EQ(vgTransformInverse(inv, t), 1);
  float x, y, bx, by;
  vgTransformPoint(&x, &y, t, 11, -4);
  vgTransformPoint(&bx, &by, inv, x, y);
  EXPECT_NEAR(bx, 11, 1e-5);
  EXPECT_NEAR(by, -4, 1e-5);
}

TEST_F(VGTest, StateOperationsApplyToUserCoordinatesFirst)
{
  vgTranslate(ctx, 10, 0);
  vgScale(ctx, 2, 2);
  float t[6], x, y;
  vgCurrentTransform(ctx, t);
  vgTransformPoint(&x, &y, t, 1, 1);
  EXPECT_FLOAT_EQ(x, 12);
  EXPECT_FLOAT_EQ(y, 2);
  vgCurrentTransform(ctx, nullptr);

  // Rotation by 90 degrees after the translation: (1, 0) turns to (0, 1) first.
  vgResetTransform(ctx);
  vgTranslate(ctx, 5, 5);
  vgRotate(ctx, vgDegToRad(90));
  vgCurrentTransform(ctx, t);
  vgTransformPoint(&x, &y, t, 1, 0);
  EXPECT_NEAR(x, 5, 1e-6);
  EXPECT_NEAR(y, 6, 1e-6);

  EXPECT_FLOAT_EQ(vgRadToDeg(vgDegToRad(33)), 33);
}

TEST_F(VGTest, EndFrameKeepsOnlyTheNewestAtlasImageInEntryZero)
{
  auto make = [&](int size) { return rec.RenderCreateTexture(&rec, VG_TEXTURE_ALPHA, size, size, 0, nullptr); };
  // Entry 0 already holds the 512 image made with the context.
  ctx->fontImages[1] = make(1024);
  ctx->fontImages[2] = make(2048);
  ctx->fontImageIdx = 2;
  const int first = ctx->fontImages[0], second = ctx->fontImages[1], newest = ctx->fontImages[2];
  rec.Clear();
  vgEndFrame(ctx);

  EXPECT_EQ(ctx->fontImages[0], newest);
  EXPECT_EQ(ctx->fontImages[1], 0);
  EXPECT_EQ(ctx->fontImages[2], 0);
  EXPECT_EQ(ctx->fontImages[3], 0);
  EXPECT_EQ(ctx->fontImageIdx, 0);
  EXPECT_EQ(rec.calls.front().kind, K::Flush);
  EXPECT_EQ(rec.Count(K::DeleteTexture), 2);
  EXPECT_EQ(rec.FindTexture(first), nullptr);
  EXPECT_EQ(rec.FindTexture(second), nullptr);

  // An older image as large as the newest stays, behind it.
  const int big = make(2048);
  ctx->fontImages[1] = big;
  ctx->fontImages[0] = make(512);
  ctx->fontImages[2] = newest;
  ctx->fontImageIdx = 2;
  const int small = ctx->fontImages[0];
  vgEndFrame(ctx);
  EXPECT_EQ(ctx->fontImages[0], newest);
  EXPECT_EQ(ctx->fontImages[1], big);
  EXPECT_EQ(ctx->fontImages[2], 0);
  EXPECT_EQ(rec.FindTexture(small), nullptr);
}

} // namespace
} // namespace vgtest
