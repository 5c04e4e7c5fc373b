// The renderer's shaders: one vertex function and two fragment functions,
// with and without antialiased stroke coverage. Colours come out
// premultiplied; the pipelines blend with premultiplied factors.
#include <metal_stdlib>
using namespace metal;

struct Vertex {
  float2 pos [[attribute(0)]];
  float2 tcoord [[attribute(1)]];
};

struct RasterizerData {
  float4 pos [[position]];
  float2 fpos;    // position in view units
  float2 ftcoord;
};

struct Uniforms {
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

// View units, y downwards, to clip space.
vertex RasterizerData vertexShader(Vertex vert [[stage_in]], constant float2& viewSize [[buffer(1)]]) {
  RasterizerData out;
  out.ftcoord = vert.tcoord;
  out.fpos = vert.pos;
  out.pos = float4(2.0f * vert.pos.x / viewSize.x - 1.0f, 1.0f - 2.0f * vert.pos.y / viewSize.y, 0.0f, 1.0f);
  return out;
}

// Signed distance to a box of half size ext with corners rounded by rad.
static float roundedBoxDistance(float2 pt, float2 ext, float rad) {
  const float2 inner = ext - float2(rad, rad);
  const float2 d = abs(pt) - inner;
  return min(max(d.x, d.y), 0.0f) + length(max(d, 0.0f)) - rad;
}

// 1 inside the scissor, fading over one fringe at its edges.
static float scissorMask(constant Uniforms& u, float2 p) {
  float2 sc = abs((u.scissorMat * float3(p, 1.0f)).xy) - u.scissorExt;
  sc = float2(0.5f, 0.5f) - sc * u.scissorScale;
  return saturate(sc.x) * saturate(sc.y);
}

// Across the stroke u runs 0..1 (1/2 on the centre line); v fades the caps.
static float strokeMask(constant Uniforms& u, float2 ftcoord) {
  return min(1.0f, (1.0f - abs(ftcoord.x * 2.0f - 1.0f)) * u.strokeMult) * min(1.0f, ftcoord.y);
}

// Texels as premultiplied colour, whatever the texture holds.
static float4 texel(constant Uniforms& u, texture2d<float> tex, sampler smp, float2 coord) {
  float4 c = tex.sample(smp, coord);
  if (u.texType == 1) c = float4(c.xyz * c.w, c.w);
  if (u.texType == 2) c = float4(c.x);
  return c;
}

static float4 shade(RasterizerData in, constant Uniforms& u, texture2d<float> tex, sampler smp, float coverage) {
  const float scissor = scissorMask(u, in.fpos);
  if (u.type == 0) {  // gradient or solid colour
    const float2 pt = (u.paintMat * float3(in.fpos, 1.0f)).xy;
    const float d = saturate((roundedBoxDistance(pt, u.extent, u.radius) + u.feather * 0.5f) / u.feather);
    return mix(u.innerColor, u.outerColor, d) * (coverage * scissor);
  }
  if (u.type == 1) {  // image pattern
    const float2 pt = (u.paintMat * float3(in.fpos, 1.0f)).xy / u.extent;
    return texel(u, tex, smp, pt) * u.innerColor * (coverage * scissor);
  }
  // textured triangles (text)
  return texel(u, tex, smp, in.ftcoord) * u.innerColor * scissor;
}

fragment float4 fragmentShaderAA(RasterizerData in [[stage_in]], constant Uniforms& u [[buffer(0)]],
                                 texture2d<float> tex [[texture(0)]], sampler smp [[sampler(0)]]) {
  const float coverage = strokeMask(u, in.ftcoord);
  if (coverage < u.strokeThr) discard_fragment();
  return shade(in, u, tex, smp, coverage);
}

fragment float4 fragmentShader(RasterizerData in [[stage_in]], constant Uniforms& u [[buffer(0)]],
                               texture2d<float> tex [[texture(0)]], sampler smp [[sampler(0)]]) {
  return shade(in, u, tex, smp, 1.0f);
}
