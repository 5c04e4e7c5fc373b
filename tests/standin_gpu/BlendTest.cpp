// Every blend factor and operation on a known source and destination,
// against the blend equation written out here.
#include "GpuTestKit.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gputest;

namespace {

const double kSrc[4] = {0.6, 0.2, 0.4, 0.5};
const uint8_t kDstBytes[4] = {51, 204, 25, 64};

// The factor for channel c (3 = alpha) as the platform documents it.
double FactorValue(MTLBlendFactor f, int c, const double* s, const double* d)
{
  switch (f) {
  case MTLBlendFactorZero: return 0;
  case MTLBlendFactorOne: return 1;
  case MTLBlendFactorSourceColor: return s[c];
  case MTLBlendFactorOneMinusSourceColor: return 1 - s[c];
  case MTLBlendFactorSourceAlpha: return s[3];
  case MTLBlendFactorOneMinusSourceAlpha: return 1 - s[3];
  case MTLBlendFactorDestinationColor: return d[c];
  case MTLBlendFactorOneMinusDestinationColor: return 1 - d[c];
  case MTLBlendFactorDestinationAlpha: return d[3];
  case MTLBlendFactorOneMinusDestinationAlpha: return 1 - d[3];
  case MTLBlendFactorSourceAlphaSaturated: return c == 3 ? 1 : std::min(s[3], 1 - d[3]);
  }
  return NAN;
}

std::array<uint8_t, 4> Draw(Gpu& gpu, const PipelineOptions& o)
{
  MTLRenderPipelineState* pipeline = gpu.Pipeline(o);
  MTLTexture* target = gpu.Texture(o.color, 4, 4);
  const MTLClearColor dst = {kDstBytes[0] / 255.0, kDstBytes[1] / 255.0, kDstBytes[2] / 255.0, kDstBytes[3] / 255.0};
  const std::array<float, 4> src = {float(kSrc[0]), float(kSrc[1]), float(kSrc[2]), float(kSrc[3])};
  gpu.Pass(target, nullptr, MTLLoadActionClear, dst, [&](MTLRenderCommandEncoder* e) {
    e->setRenderPipelineState(pipeline);
    gpu.BindVertices(e, {V(0, 0, src), V(0, 4, src), V(4, 0, src), V(4, 4, src)}, target);
    e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, 0, 4);
  });
  return Pixel(target, 2, 2);
}

} // namespace

TEST(Blend, EachFactorAsSourceAndAsDestinationFactorOfColourAndAlpha)
{
  Gpu gpu;
  double d[4];
  for (int c = 0; c < 4; ++c)
    d[c] = kDstBytes[c] / 255.0;
  for (MTLBlendFactor f = MTLBlendFactorZero; f <= MTLBlendFactorSourceAlphaSaturated; ++f) {
    for (bool asSource : {true, false}) {
      // The factor under test on one side, a different fixed factor on the
      // other and for alpha, so that separate alpha is checked too.
      PipelineOptions o;
      o.blending = true;
      o.srcRGB = asSource ? f : MTLBlendFactorOne;
      o.dstRGB = asSource ? MTLBlendFactorOne : f;
      o.srcA = asSource ? MTLBlendFactorOneMinusDestinationAlpha : f;
      o.dstA = asSource ? f : MTLBlendFactorSourceAlpha;
      const std::array<uint8_t, 4> got = Draw(gpu, o);
      for (int c = 0; c < 4; ++c) {
        const MTLBlendFactor sf = c < 3 ? o.srcRGB : o.srcA, df = c < 3 ? o.dstRGB : o.dstA;
        const double v =
          std::clamp(kSrc[c] * FactorValue(sf, c, kSrc, d) + d[c] * FactorValue(df, c, kSrc, d), 0.0, 1.0);
        EXPECT_NEAR(got[size_t(c)], v * 255.0, 0.51 + 1e-9)
          << "factor " << f << (asSource ? " as source" : " as destination") << ", channel " << c;
      }
    }
  }
}

TEST(Blend, OperationsCombineTheWeightedTerms)
{
  Gpu gpu;
  double d[4];
  for (int c = 0; c < 4; ++c)
    d[c] = kDstBytes[c] / 255.0;
  struct Case {
    MTLBlendOperation op;
    double (*apply)(double s, double d);
  } cases[] = {
    {MTLBlendOperationAdd, [](double s, double d) { return s + d * 0.5; }},
    {MTLBlendOperationSubtract, [](double s, double d) { return s - d * 0.5; }},
    {MTLBlendOperationReverseSubtract, [](double s, double d) { return d * 0.5 - s; }},
    {MTLBlendOperationMin, [](double s, double d) { return std::min(s, d); }}, // factors unused
    {MTLBlendOperationMax, [](double s, double d) { return std::max(s, d); }},
  };
  for (const Case& c : cases) {
    PipelineOptions o;
    o.blending = true;
    o.srcRGB = o.srcA = MTLBlendFactorOne;
    o.dstRGB = o.dstA = MTLBlendFactorSourceAlpha; // 0.5
    o.rgbOp = o.alphaOp = c.op;
    const std::array<uint8_t, 4> got = Draw(gpu, o);
    for (int ch = 0; ch < 4; ++ch)
      EXPECT_NEAR(got[size_t(ch)], std::clamp(c.apply(kSrc[ch], d[ch]), 0.0, 1.0) * 255.0, 0.51) << "op " << c.op;
  }
}

TEST(Blend, OneChannelTargetsBlendRedAgainstAnOpaqueDestination)
{
  Gpu gpu;
  PipelineOptions o;
  o.color = MTLPixelFormatR8Unorm;
  o.blending = true;
  o.srcRGB = o.srcA = MTLBlendFactorOne;
  o.dstRGB = o.dstA = MTLBlendFactorOneMinusDestinationAlpha; // destination alpha reads as 1
  const std::array<uint8_t, 4> got = Draw(gpu, o);
  EXPECT_EQ(got[0], 153); // 0.6 only
}
