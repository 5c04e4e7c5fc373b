#include <standin/MetalShaderRegistry.h>

#include "TestShaders.metal"
#include <standin/MetalShadingEnd.h>

namespace {
using standin::metal::FragmentInput;
using standin::metal::VertexInput;

TestVertex Fetch(const VertexInput& in) { return {in.attribute(0), in.attribute(1).xy, in.attribute(2)}; }
TestVaryings PixelVs(const VertexInput& in) { return pixelVertex(Fetch(in), in.buffer<float2>(1)); }
TestVaryings ClipVs(const VertexInput& in) { return clipVertex(Fetch(in)); }
float4 SolidFs(const TestVaryings& v, const FragmentInput&) { return solidFragment(v); }
float4 TexturedFs(const TestVaryings& v, const FragmentInput& in)
{
  return texturedFragment(v, in.texture(0), in.sampler(0));
}
float4 DiscardFs(const TestVaryings& v, const FragmentInput&) { return discardFragment(v); }
float4 PositionFs(const TestVaryings& v, const FragmentInput&) { return positionFragment(v); }

const standin::metal::ShaderRegistration gShaders[] = {
  standin::metal::VertexShader<TestVaryings, PixelVs>("pixelVertex", offsetof(TestVaryings, position)),
  standin::metal::VertexShader<TestVaryings, ClipVs>("clipVertex", offsetof(TestVaryings, position)),
  standin::metal::FragmentShader<TestVaryings, SolidFs>("solidFragment"),
  standin::metal::FragmentShader<TestVaryings, TexturedFs>("texturedFragment"),
  standin::metal::FragmentShader<TestVaryings, DiscardFs>("discardFragment"),
  standin::metal::FragmentShader<TestVaryings, PositionFs>("positionFragment"),
};
} // namespace
