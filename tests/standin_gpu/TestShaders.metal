// Small shaders of the tests, in the shading language.
#include <metal_stdlib>
using namespace metal;

struct TestVertex {
  float4 pos [[attribute(0)]];
  float2 uv [[attribute(1)]];
  float4 colour [[attribute(2)]];
};

struct TestVaryings {
  float4 position [[position]];
  float4 colour;
  float2 uv;
  float2 spare;
};

// Positions in pixels of a target of viewSize, y downwards.
vertex TestVaryings pixelVertex(TestVertex in [[stage_in]], constant float2& viewSize [[buffer(1)]]) {
  TestVaryings out;
  out.position = float4(2.0f * in.pos.x / viewSize.x - 1.0f, 1.0f - 2.0f * in.pos.y / viewSize.y, 0.0f, 1.0f);
  out.colour = in.colour;
  out.uv = in.uv;
  return out;
}

// Positions already in clip space.
vertex TestVaryings clipVertex(TestVertex in [[stage_in]]) {
  TestVaryings out;
  out.position = in.pos;
  out.colour = in.colour;
  out.uv = in.uv;
  return out;
}

fragment float4 solidFragment(TestVaryings in [[stage_in]]) { return in.colour; }

fragment float4 texturedFragment(TestVaryings in [[stage_in]], texture2d<float> tex [[texture(0)]],
                                 sampler smp [[sampler(0)]]) {
  return tex.sample(smp, in.uv);
}

// Discards where the colour's alpha is below one half.
fragment float4 discardFragment(TestVaryings in [[stage_in]]) {
  if (in.colour.a < 0.5f) discard_fragment();
  return float4(in.colour.rgb, 1.0f);
}

// The window position as colour: x / 255 in red, y / 255 in green.
fragment float4 positionFragment(TestVaryings in [[stage_in]]) {
  return float4(in.position.x / 255.0f, in.position.y / 255.0f, 0.0f, 1.0f);
}
