// Shaders of the rasteriser benchmark, shaped like a vector renderer's:
// a scissor mask, a gradient or solid paint, an antialias fringe, and a
// glyph path reading an alpha texture.
#include <metal_stdlib>
using namespace metal;

struct BenchVertex {
  float2 pos [[attribute(0)]];
  float2 tcoord [[attribute(1)]];
};

struct BenchVaryings {
  float4 position [[position]];
  float2 fpos;
  float2 ftcoord;
};

struct BenchUniforms {
  float3x3 scissorMat;
  float3x3 paintMat;
  float4 innerColor;
  float4 outerColor;
  float2 scissorExt;
  float2 scissorScale;
  float2 extent;
  float radius;
  float feather;
  float strokeMult;
  float strokeThr;
  int texType;
  int type;
};

vertex BenchVaryings benchVertex(BenchVertex in [[stage_in]], constant float2& viewSize [[buffer(1)]]) {
  BenchVaryings out;
  out.ftcoord = in.tcoord;
  out.fpos = in.pos;
  out.position = float4(2.0f * in.pos.x / viewSize.x - 1.0f, 1.0f - 2.0f * in.pos.y / viewSize.y, 0.0f, 1.0f);
  return out;
}

float benchScissorMask(constant BenchUniforms& u, float2 p) {
  float2 sc = (abs((u.scissorMat * float3(p, 1.0f)).xy) - u.scissorExt);
  sc = float2(0.5f) - sc * u.scissorScale;
  return clamp(sc.x, 0.0f, 1.0f) * clamp(sc.y, 0.0f, 1.0f);
}

fragment float4 benchFragment(BenchVaryings in [[stage_in]], constant BenchUniforms& u [[buffer(0)]],
                              texture2d<float> tex [[texture(0)]], sampler smp [[sampler(0)]]) {
  const float scissor = benchScissorMask(u, in.fpos);
  const float strokeAlpha = min(1.0f, (1.0f - abs(in.ftcoord.x * 2.0f - 1.0f)) * u.strokeMult) * min(1.0f, in.ftcoord.y);
  if (strokeAlpha < u.strokeThr) discard_fragment();
  if (u.type == 0) {
    const float2 pt = (u.paintMat * float3(in.fpos, 1.0f)).xy;
    const float d = clamp((pt.y + u.feather * 0.5f) / u.feather, 0.0f, 1.0f);
    return mix(u.innerColor, u.outerColor, d) * (strokeAlpha * scissor);
  }
  const float2 pt = (u.paintMat * float3(in.fpos, 1.0f)).xy / u.extent;
  const float4 c = tex.sample(smp, pt);
  return float4(c.x) * u.innerColor * scissor;
}
