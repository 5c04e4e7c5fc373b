// How shader functions reach the GPU stand-in. Shader source compiles as
// C++ (see <metal_stdlib>); the code that links it registers each stage
// function under the name a library's data lists, with a small adapter
// that binds the function's arguments from what the pipeline provides
// (after the shader source, <standin/MetalShadingEnd.h> gives the language's
// keywords back to C++):
//
//   static RasterizerData vs(const standin::metal::VertexInput& in) {
//     Vertex v{in.attribute(0).xy, in.attribute(1).xy};
//     return vertexShader(v, in.buffer<float2>(1));
//   }
//   static float4 fs(const RasterizerData& r, const standin::metal::FragmentInput& in) {
//     return fragmentShader(r, in.buffer<Uniforms>(0), in.texture(0), in.sampler(0));
//   }
//   static const standin::metal::ShaderRegistration shaders[] = {
//     standin::metal::VertexShader<RasterizerData, vs>("vertexShader", offsetof(RasterizerData, pos)),
//     standin::metal::FragmentShader<RasterizerData, fs>("fragmentShader")};
//
// The vertex function's result is the varyings record: floats only, with
// the clip-space position (float4) at the given byte offset. The rasteriser
// interpolates every float of it and hands the fragment function the record
// with the position replaced by the window position (pixel centre x, y,
// depth, 1/w). A fragment function discards with discard_fragment().
// Registrations are process-wide, by name; a later one replaces an earlier
// one, and a registration object unregisters its name when it goes (so a
// module that is unloaded takes its functions with it).
#pragma once

#include <standin/MetalShading.h>

#include <cstddef>
#include <cstring>
#include <string>

#pragma GCC visibility push(default)
namespace standin::metal {

// What a vertex function may read.
struct VertexInput {
  unsigned vertexId;
  const ::metal::float4* attributes; // by attribute index, widened with (0, 0, 0, 1)
  const void* const* buffers;        // vertex buffers at their offsets, by index (null: unbound)
  ::metal::float4 attribute(int index) const { return attributes[index]; }
  template <class T> const T& buffer(int index) const { return *static_cast<const T*>(buffers[index]); }
};

// What a fragment function may read besides its varyings.
struct FragmentInput {
  ::metal::float4 position; // pixel centre x, y in the target, depth, 1/w
  bool frontFacing;
  const void* const* buffers;  // fragment buffers at their offsets, by index
  const void* const* textures; // by index (null: none bound)
  const void* const* samplers; // by index (null: the default sampler)
  template <class T> const T& buffer(int index) const { return *static_cast<const T*>(buffers[index]); }
  ::metal::texture2d<float> texture(int index) const { return {textures[index]}; }
  ::metal::sampler sampler(int index) const { return {samplers[index]}; }
};

// The generic forms the pipeline calls.
using VertexFunction = void (*)(const VertexInput& input, float* varyings);
// A discard is recorded by the stage that runs the function, not returned.
using FragmentFunction = void (*)(const FragmentInput& input, const float* varyings, ::metal::float4& colour);

void RegisterVertexFunction(const char* name, VertexFunction function, unsigned varyingFloats, unsigned positionFloat);
void RegisterFragmentFunction(const char* name, FragmentFunction function, unsigned varyingFloats);
void UnregisterShaderFunction(const char* name);

// Unregisters its name when destroyed.
class ShaderRegistration {
public:
  explicit ShaderRegistration(std::string name) : mName(std::move(name)) {}
  ShaderRegistration(ShaderRegistration&& other) noexcept : mName(std::move(other.mName)) { other.mName.clear(); }
  ShaderRegistration(const ShaderRegistration&) = delete;
  ShaderRegistration& operator=(const ShaderRegistration&) = delete;
  ~ShaderRegistration()
  {
    if (!mName.empty())
      UnregisterShaderFunction(mName.c_str());
  }

private:
  std::string mName;
};

namespace detail {
// Flattened: the shader's own functions are inlined into the adapter, as a
// shader compiler would, so a fragment costs one indirect call.
template <class Out, Out (*Fn)(const VertexInput&)>
[[gnu::flatten]] void VertexAdapter(const VertexInput& input, float* varyings)
{
  const Out out = Fn(input);
  std::memcpy(varyings, &out, sizeof(Out));
}
template <class In, ::metal::float4 (*Fn)(const In&, const FragmentInput&)>
[[gnu::flatten]] void FragmentAdapter(const FragmentInput& input, const float* varyings, ::metal::float4& colour)
{
  colour = Fn(*reinterpret_cast<const In*>(varyings), input);
}
} // namespace detail

template <class Out, Out (*Fn)(const VertexInput&)>
ShaderRegistration VertexShader(const char* name, std::size_t positionOffset)
{
  static_assert(sizeof(Out) % sizeof(float) == 0, "varyings are floats");
  RegisterVertexFunction(name, &detail::VertexAdapter<Out, Fn>, unsigned(sizeof(Out) / sizeof(float)),
                         unsigned(positionOffset / sizeof(float)));
  return ShaderRegistration(name);
}

template <class In, ::metal::float4 (*Fn)(const In&, const FragmentInput&)>
ShaderRegistration FragmentShader(const char* name)
{
  static_assert(sizeof(In) % sizeof(float) == 0, "varyings are floats");
  RegisterFragmentFunction(name, &detail::FragmentAdapter<In, Fn>, unsigned(sizeof(In) / sizeof(float)));
  return ShaderRegistration(name);
}

// The data of a library listing these function names ("MTLB", the names
// NUL-terminated, an empty name), for newLibraryWithData.
std::string LibraryData(std::initializer_list<const char*> functionNames);

} // namespace standin::metal
#pragma GCC visibility pop
