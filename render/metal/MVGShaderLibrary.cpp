// The shader library the renderer loads: here the stand-in's library data
// naming the three functions, which this file registers from the shader
// source compiled as C++. On the platform the compiled library takes the
// place of the data and the registrations go.
#include <standin/MetalShaderRegistry.h>

#include "shaders/Shaders.metal"
#include <standin/MetalShadingEnd.h>

#include <cstdint>

namespace {

using standin::metal::FragmentInput;
using standin::metal::VertexInput;

RasterizerData VertexStage(const VertexInput& in)
{
  return vertexShader(Vertex{in.attribute(0).xy, in.attribute(1).xy}, in.buffer<float2>(1));
}
float4 FragmentStageAA(const RasterizerData& r, const FragmentInput& in)
{
  return fragmentShaderAA(r, in.buffer<Uniforms>(0), in.texture(0), in.sampler(0));
}
float4 FragmentStage(const RasterizerData& r, const FragmentInput& in)
{
  return fragmentShader(r, in.buffer<Uniforms>(0), in.texture(0), in.sampler(0));
}

const standin::metal::ShaderRegistration gShaders[] = {
  standin::metal::VertexShader<RasterizerData, VertexStage>("vertexShader", offsetof(RasterizerData, pos)),
  standin::metal::FragmentShader<RasterizerData, FragmentStageAA>("fragmentShaderAA"),
  standin::metal::FragmentShader<RasterizerData, FragmentStage>("fragmentShader"),
};

// The library bytes with their length stored right after them. The literal's
// own terminating NUL is the empty name that ends the list.
#pragma pack(push, 1)
struct EmbeddedLibrary {
  char bytes[sizeof("MTLB"
                    "vertexShader\0"
                    "fragmentShaderAA\0"
                    "fragmentShader\0")];
  uint32_t length;
};
#pragma pack(pop)
constexpr EmbeddedLibrary kLibrary = {"MTLB"
                                      "vertexShader\0"
                                      "fragmentShaderAA\0"
                                      "fragmentShader\0",
                                      uint32_t(sizeof(EmbeddedLibrary::bytes))};

} // namespace

void mvgLinkShaders() { (void)gShaders; }

const unsigned char* mvgShaderLibraryBytes(uint32_t* length)
{
  *length = kLibrary.length;
  return reinterpret_cast<const unsigned char*>(kLibrary.bytes);
}
