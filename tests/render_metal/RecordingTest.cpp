// What the renderer records for the engine's calls: vertex and index
// layout, the uniform records byte for byte, blend factors, dropped calls.
#include <cmath>
#include <cstring>

#include "MetalTestKit.h"

namespace {

class Recording : public mvgtest::MetalFixture {
protected:
  void Begin(int flags = VG_ANTIALIAS)
  {
    ASSERT_NE(Open(64, 64, flags), nullptr);
    p = vgInternalParams(ctx);
    p->renderViewport(p->userPtr, 64, 64, 1);
  }
  MVGbuffers_vVorelle3_au* set() const { return renderer()->buffers; }
  const uint8_t* Record(int offset) const { return set()->uniforms + offset; }
  VGparams* p = nullptr;
};

VGpaint SolidPaint(VGcolor c)
{
  VGpaint paint{};
  vgTransformIdentity(paint.xform);
  paint.extent[0] = paint.extent[1] = 0;
  paint.radius = 0;
  paint.feather = 1;
  paint.innerColor = paint.outerColor = c;
  return paint;
}
VGscissor NoScissor()
{
  VGscissor s{};
  vgTransformIdentity(s.xform);
  s.extent[0] = s.extent[1] = -1;
  return s;
}
const VGcompositeOperationState kOver = {VG_ONE, VG_ONE_MINUS_SRC_ALPHA, VG_ONE, VG_ONE_MINUS_SRC_ALPHA};

// A record built field by field at the documented offsets.
struct Expected {
  uint8_t bytes[176] = {};
  void F(int offset, float v) { std::memcpy(bytes + offset, &v, 4); }
  void I(int offset, int v) { std::memcpy(bytes + offset, &v, 4); }
  // Columns (a, b, 0), (c, d, 0), (e, f, 1), each padded to four floats.
  void Affine(int offset, float a, float b, float c, float d, float e, float f)
  {
    const float cols[12] = {a, b, 0, 0, c, d, 0, 0, e, f, 1, 0};
    for (int i = 0; i < 12; ++i)
      F(offset + 4 * i, cols[i]);
  }
  void Colour(int offset, float r, float g, float b, float a)
  {
    F(offset, r), F(offset + 4, g), F(offset + 8, b), F(offset + 12, a);
  }
};

void ExpectRecord(const uint8_t* got, const Expected& want, const char* what)
{
  for (int i = 0; i < 176; i += 4) {
    float g, w;
    std::memcpy(&g, got + i, 4), std::memcpy(&w, want.bytes + i, 4);
    if (i >= 168) {
      EXPECT_EQ(std::memcmp(got + i, want.bytes + i, 4), 0) << what << " at byte " << i;
    } else {
      EXPECT_NEAR(g, w, 1e-5f * std::max(1.0f, std::fabs(w))) << what << " at byte " << i;
    }
  }
}

TEST_F(Recording, UniformRecordsEqualHandBuiltBytes)
{
  Begin(VG_ANTIALIAS | VG_STENCIL_STROKES);
  const int alphaImage = p->renderCreateTexture(p->userPtr, VG_TEXTURE_ALPHA, 4, 4, 0, nullptr);
  const int straightImage = p->renderCreateTexture(p->userPtr, VG_TEXTURE_RGBA, 4, 4, VG_IMAGE_FLIPY, nullptr);
  const int premulImage = p->renderCreateTexture(p->userPtr, VG_TEXTURE_RGBA, 4, 4, VG_IMAGE_PREMULTIPLIED, nullptr);

  VGvertex tri[3] = {{0, 0, 0, 0}, {10, 0, 1, 0}, {0, 10, 0, 1}};
  VGpath path{};
  path.fill = tri, path.nfill = 3, path.convex = 1;
  path.stroke = tri, path.nstroke = 3;

  // Solid fill, scissor off.
  {
    VGpaint paint = SolidPaint(vgRGBAf(1, 0.5f, 0.25f, 0.5f));
    VGscissor sc = NoScissor();
    p->renderFill(p->userPtr, &paint, kOver, &sc, 0.5f, nullptr, &path, 1);
    Expected e;
    e.Affine(48, 1, 0, 0, 1, 0, 0);
    e.Colour(96, 0.5f, 0.25f, 0.125f, 0.5f), e.Colour(112, 0.5f, 0.25f, 0.125f, 0.5f);
    e.F(128, 1), e.F(132, 1), e.F(136, 1), e.F(140, 1);
    e.F(156, 1);
    e.F(160, (0.5f * 0.5f + 0.5f * 0.5f) / 0.5f), e.F(164, -1);
    ExpectRecord(Record(set()->calls[0].uniformOffset), e, "solid fill");
  }
  // Gradient paint through a scaled, moved scissor and paint transform.
  {
    VGpaint paint = SolidPaint(vgRGBAf(0, 0, 1, 1));
    paint.outerColor = vgRGBAf(1, 1, 1, 0.25f);
    const float xf[6] = {2, 0, 0, 4, 10, 20};
    std::memcpy(paint.xform, xf, sizeof(xf));
    paint.extent[0] = 30, paint.extent[1] = 40, paint.radius = 5, paint.feather = 7;
    VGscissor sc{};
    const float sxf[6] = {0, 2, -2, 0, 8, 6}; // a quarter turn, scaled by 2
    std::memcpy(sc.xform, sxf, sizeof(sxf));
    sc.extent[0] = 12, sc.extent[1] = 9;
    p->renderStroke(p->userPtr, &paint, kOver, &sc, 1.0f, 3.0f, &path, 1);
    Expected e;
    e.Affine(0, 0, -0.5f, 0.5f, 0, -3, 4);
    e.Affine(48, 0.5f, 0, 0, 0.25f, -5, -5);
    e.Colour(96, 0, 0, 1, 1), e.Colour(112, 0.25f, 0.25f, 0.25f, 0.25f);
    e.F(128, 12), e.F(132, 9), e.F(136, 2), e.F(140, 2);
    e.F(144, 30), e.F(148, 40), e.F(152, 5), e.F(156, 7);
    e.F(160, 2), e.F(164, -1);
    const int at = set()->calls[1].uniformOffset;
    ExpectRecord(Record(at), e, "gradient stroke");
    e.F(164, 1.0f - 0.5f / 255.0f);
    ExpectRecord(Record(at + 256), e, "second stencil-stroke record");
  }
  // Image paints: texture types, a flipped image, a singular transform.
  struct ImageCase {
    int image;
    int texType;
    bool singular;
  } cases[] = {{alphaImage, 2, false}, {straightImage, 1, false}, {premulImage, 0, true}};
  for (const ImageCase& k : cases) {
    VGpaint paint = SolidPaint(vgRGBAf(1, 1, 1, 1));
    paint.image = k.image;
    paint.extent[0] = 16, paint.extent[1] = 8;
    const float xf[6] = {1, 0, 0, 1, 4, 2};
    const float singular[6] = {1, 2, 2, 4, 4, 2};
    std::memcpy(paint.xform, k.singular ? singular : xf, sizeof(xf));
    VGscissor sc = NoScissor();
    p->renderTriangles(p->userPtr, &paint, kOver, &sc, tri, 3, 1.0f);
    Expected e;
    if (k.singular)
      e.Affine(48, 1, 0, 0, 1, 0, 0);
    else if (k.image == straightImage)
      e.Affine(48, 1, 0, 0, -1, -4, 10); // y -> 8 - y, then moved by (4, 2)
    else
      e.Affine(48, 1, 0, 0, 1, -4, -2);
    e.Colour(96, 1, 1, 1, 1), e.Colour(112, 1, 1, 1, 1);
    e.F(128, 1), e.F(132, 1), e.F(136, 1), e.F(140, 1);
    e.F(144, 16), e.F(148, 8);
    e.F(160, 1), e.F(164, -1);
    e.I(168, k.texType), e.I(172, 2);
    ExpectRecord(Record(set()->calls[set()->ncalls - 1].uniformOffset), e, "image triangles");
  }
  EXPECT_EQ(set()->nuniforms, 1 + 2 + 3);
  p->renderCancel(p->userPtr);
}

TEST_F(Recording, FillLayoutFollowsPathsAndCoverQuad)
{
  Begin();
  VGvertex quad[4] = {{0, 0, 0, 0}, {8, 0, 0, 0}, {8, 8, 0, 0}, {0, 8, 0, 0}};
  VGvertex ring[4] = {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}, {4, 4, 4, 4}};
  VGpaint paint = SolidPaint(vgRGBAf(1, 0, 0, 1));
  VGscissor sc = NoScissor();
  const float bounds[4] = {-1, -2, 9, 10};

  VGpath one{};
  one.fill = quad, one.nfill = 4, one.stroke = ring, one.nstroke = 4, one.convex = 1;
  p->renderFill(p->userPtr, &paint, kOver, &sc, 1, bounds, &one, 1);
  const MVGcall c0 = set()->calls[0];
  EXPECT_EQ(c0.type, MVG_CALL_CONVEXFILL);
  EXPECT_EQ(c0.triangleCount, 0);
  EXPECT_EQ(c0.indexCount, 6);
  EXPECT_EQ(c0.strokeOffset, 4 + 1);
  EXPECT_EQ(c0.strokeCount, 4);
  const uint32_t fan[6] = {0, 1, 2, 0, 2, 3};
  EXPECT_EQ(std::memcmp(set()->indexes, fan, sizeof(fan)), 0);

  // Two convex paths, the second too small to fill: a stencilled fill.
  VGpath two[2] = {one, one};
  two[1].nfill = 2;
  p->renderFill(p->userPtr, &paint, kOver, &sc, 1, bounds, two, 2);
  const MVGcall c1 = set()->calls[1];
  const int base = 4 + 6; // after the first call's fill and strip
  EXPECT_EQ(c1.type, MVG_CALL_FILL);
  EXPECT_EQ(c1.indexOffset, 6);
  EXPECT_EQ(c1.indexCount, 6);
  EXPECT_EQ(c1.triangleOffset, base + 4);
  EXPECT_EQ(c1.triangleCount, 4);
  const VGvertex cover[4] = {{9, 10, 0.5f, 1}, {9, -2, 0.5f, 1}, {-1, 10, 0.5f, 1}, {-1, -2, 0.5f, 1}};
  EXPECT_EQ(std::memcmp(&set()->verts[c1.triangleOffset], cover, sizeof(cover)), 0);
  EXPECT_EQ(c1.strokeOffset, base + 8 + 1);
  EXPECT_EQ(c1.strokeCount, 12 - 2);
  // The strip: each path's ends doubled.
  const VGvertex* strip = &set()->verts[c1.strokeOffset - 1];
  const float xs[12] = {1, 1, 2, 3, 4, 4, 1, 1, 2, 3, 4, 4};
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(strip[i].x, xs[i]) << i;

  // Three strokes of four vertices: 18 strip vertices; none: -2.
  VGpath three[3] = {one, one, one};
  p->renderStroke(p->userPtr, &paint, kOver, &sc, 1, 2, three, 3);
  EXPECT_EQ(set()->calls[2].strokeCount, 16);
  VGpath bare{};
  p->renderStroke(p->userPtr, &paint, kOver, &sc, 1, 2, &bare, 1);
  EXPECT_EQ(set()->calls[3].strokeCount, -2);
  EXPECT_EQ(set()->nverts, base + 8 + 12 + 18);
  p->renderCancel(p->userPtr);
}

TEST_F(Recording, BlendFlagsMapToMetalFactors)
{
  const struct {
    int flag;
    MTLBlendFactor factor;
  } table[] = {{VG_ZERO, 0},
               {VG_ONE, 1},
               {VG_SRC_COLOR, 2},
               {VG_ONE_MINUS_SRC_COLOR, 3},
               {VG_DST_COLOR, 6},
               {VG_ONE_MINUS_DST_COLOR, 7},
               {VG_SRC_ALPHA, 4},
               {VG_ONE_MINUS_SRC_ALPHA, 5},
               {VG_DST_ALPHA, 8},
               {VG_ONE_MINUS_DST_ALPHA, 9},
               {VG_SRC_ALPHA_SATURATE, 10}};
  for (const auto& row : table) {
    MVGblend b{};
    EXPECT_TRUE(mvgBlendCompositeOperation({row.flag, VG_ONE, VG_ZERO, row.flag}, &b));
    EXPECT_EQ(b.srcRGB, row.factor);
    EXPECT_EQ(b.dstRGB, MTLBlendFactorOne);
    EXPECT_EQ(b.srcAlpha, MTLBlendFactorZero);
    EXPECT_EQ(b.dstAlpha, row.factor);
  }
  for (int bad : {0, 3, 2048, -1}) {
    MVGblend b{};
    EXPECT_FALSE(mvgBlendCompositeOperation({VG_ONE, VG_ONE, bad, VG_ONE}, &b));
    EXPECT_EQ(b.srcRGB, MTLBlendFactorOne);
    EXPECT_EQ(b.dstRGB, MTLBlendFactorOneMinusSourceAlpha);
    EXPECT_EQ(b.srcAlpha, MTLBlendFactorOne);
    EXPECT_EQ(b.dstAlpha, MTLBlendFactorOneMinusSourceAlpha);
  }
}

TEST_F(Recording, CallsThatCannotDrawAreDropped)
{
  Begin();
  VGvertex tri[3] = {{0, 0, 0, 0}, {10, 0, 1, 0}, {0, 10, 0, 1}};
  VGpath path{};
  path.fill = tri, path.nfill = 3, path.convex = 1;
  VGscissor sc = NoScissor();
  VGpaint missing = SolidPaint(vgRGBAf(1, 1, 1, 1));
  missing.image = 77; // no such image
  p->renderFill(p->userPtr, &missing, kOver, &sc, 1, nullptr, &path, 1);
  p->renderStroke(p->userPtr, &missing, kOver, &sc, 1, 1, &path, 1);
  p->renderTriangles(p->userPtr, &missing, kOver, &sc, tri, 3, 1);
  VGpaint solid = SolidPaint(vgRGBAf(1, 1, 1, 1));
  p->renderTriangles(p->userPtr, &solid, kOver, &sc, tri, 0, 1); // text without glyphs
  EXPECT_EQ(set()->ncalls, 0);
  EXPECT_EQ(set()->nuniforms, 0);
  p->renderFlush(p->userPtr);
  EXPECT_TRUE(standin::GPUValidationErrors().empty());
  // No frame held: recording is refused rather than written anywhere.
  p->renderFill(p->userPtr, &solid, kOver, &sc, 1, nullptr, &path, 1);
  EXPECT_EQ(renderer()->buffers, nullptr);
}

} // namespace
