// The shading language's types and functions in C++, so that shader source
// written for the GPU compiles here too: float2/3/4 with the usual swizzles,
// float2x2/3x3/4x4 (column-major, float3 padded to 16 bytes as on the GPU),
// texture2d and sampler bound by the pipeline, and the common built-ins.
// Shader files include <metal_stdlib>, which adds the language's keywords;
// C++ code that follows shader source includes <standin/MetalShadingEnd.h>.
#pragma once

#include <cmath>
#include <cstdint>

namespace metal {

typedef unsigned int uint;
typedef unsigned short ushort;
typedef unsigned char uchar;
typedef float half; // computed in single precision here

namespace detail {
// A read/write view of some components of a vector, as v.xy or v.rgb.
template <class V, int... I> struct Swizzle {
  operator V() const
  {
    const float* e = reinterpret_cast<const float*>(this);
    return V(e[I]...);
  }
  Swizzle& operator=(const V& v)
  {
    float* e = reinterpret_cast<float*>(this);
    int k = 0;
    ((e[I] = v[k++]), ...);
    return *this;
  }
};
} // namespace detail

struct float2;
struct float3;
struct float4;

struct float2 {
  union {
    struct {
      float x, y;
    };
    struct {
      float r, g;
    };
    detail::Swizzle<float2, 1, 0> yx;
  };
  float2() : x(0), y(0) {}
  explicit float2(float s) : x(s), y(s) {}
  float2(float a, float b) : x(a), y(b) {}
  float& operator[](int i) { return (&x)[i]; }
  float operator[](int i) const { return (&x)[i]; }
};

struct alignas(16) float3 {
  union {
    struct {
      float x, y, z;
    };
    struct {
      float r, g, b;
    };
    detail::Swizzle<float2, 0, 1> xy;
    detail::Swizzle<float2, 0, 1> rg;
    detail::Swizzle<float2, 1, 2> yz;
  };
  float3() : x(0), y(0), z(0) {}
  explicit float3(float s) : x(s), y(s), z(s) {}
  float3(float a, float b, float c) : x(a), y(b), z(c) {}
  float3(float2 ab, float c) : x(ab.x), y(ab.y), z(c) {}
  float3(float a, float2 bc) : x(a), y(bc.x), z(bc.y) {}
  float& operator[](int i) { return (&x)[i]; }
  float operator[](int i) const { return (&x)[i]; }
};

struct alignas(16) float4 {
  union {
    struct {
      float x, y, z, w;
    };
    struct {
      float r, g, b, a;
    };
    detail::Swizzle<float2, 0, 1> xy;
    detail::Swizzle<float2, 2, 3> zw;
    detail::Swizzle<float2, 0, 1> rg;
    detail::Swizzle<float3, 0, 1, 2> xyz;
    detail::Swizzle<float3, 0, 1, 2> rgb;
    detail::Swizzle<float4, 2, 1, 0, 3> bgra;
  };
  float4() : x(0), y(0), z(0), w(0) {}
  explicit float4(float s) : x(s), y(s), z(s), w(s) {}
  float4(float a, float b, float c, float d) : x(a), y(b), z(c), w(d) {}
  float4(float2 ab, float c, float d) : x(ab.x), y(ab.y), z(c), w(d) {}
  float4(float2 ab, float2 cd) : x(ab.x), y(ab.y), z(cd.x), w(cd.y) {}
  float4(float3 abc, float d) : x(abc.x), y(abc.y), z(abc.z), w(d) {}
  float& operator[](int i) { return (&x)[i]; }
  float operator[](int i) const { return (&x)[i]; }
};

// Packed forms for buffers: no padding, float alignment.
struct packed_float2 {
  float x, y;
  operator float2() const { return float2(x, y); }
};
struct packed_float3 {
  float x, y, z;
  operator float3() const { return float3(x, y, z); }
};
struct packed_float4 {
  float x, y, z, w;
  operator float4() const { return float4(x, y, z, w); }
};

struct uint2 {
  uint x, y;
  uint2() : x(0), y(0) {}
  uint2(uint a, uint b) : x(a), y(b) {}
};

// ---- Component-wise arithmetic and built-ins ------------------------------
// Written once per vector type through a local macro, so that swizzles
// convert implicitly at the call.

#define STANDIN_MSL_VECTOR_OPS(V, N)                                                                                   \
  inline V operator+(V a, V b)                                                                                         \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] += b[i];                                                                                                    \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator-(V a, V b)                                                                                         \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] -= b[i];                                                                                                    \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator*(V a, V b)                                                                                         \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] *= b[i];                                                                                                    \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator/(V a, V b)                                                                                         \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] /= b[i];                                                                                                    \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator*(V a, float s)                                                                                     \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] *= s;                                                                                                       \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator*(float s, V a) { return a * s; }                                                                   \
  inline V operator/(V a, float s)                                                                                     \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] /= s;                                                                                                       \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator+(V a, float s)                                                                                     \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] += s;                                                                                                       \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator+(float s, V a) { return a + s; }                                                                   \
  inline V operator-(V a, float s)                                                                                     \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] -= s;                                                                                                       \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator-(float s, V a)                                                                                     \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = s - a[i];                                                                                                 \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V operator-(V a)                                                                                              \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = -a[i];                                                                                                    \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V& operator+=(V& a, V b) { return a = a + b; }                                                                \
  inline V& operator-=(V& a, V b) { return a = a - b; }                                                                \
  inline V& operator*=(V& a, V b) { return a = a * b; }                                                                \
  inline V& operator*=(V& a, float s) { return a = a * s; }                                                            \
  inline V& operator/=(V& a, float s) { return a = a / s; }                                                            \
  inline V abs(V a)                                                                                                    \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = std::fabs(a[i]);                                                                                          \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V floor(V a)                                                                                                  \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = std::floor(a[i]);                                                                                         \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V ceil(V a)                                                                                                   \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = std::ceil(a[i]);                                                                                          \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V sqrt(V a)                                                                                                   \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = std::sqrt(a[i]);                                                                                          \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V fract(V a)                                                                                                  \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = fract(a[i]);                                                                                              \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V min(V a, V b)                                                                                               \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = min(a[i], b[i]);                                                                                          \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V max(V a, V b)                                                                                               \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      a[i] = max(a[i], b[i]);                                                                                          \
    return a;                                                                                                          \
  }                                                                                                                    \
  inline V min(V a, float b) { return min(a, V(b)); }                                                                  \
  inline V max(V a, float b) { return max(a, V(b)); }                                                                  \
  inline V clamp(V x, V lo, V hi) { return min(max(x, lo), hi); }                                                      \
  inline V clamp(V x, float lo, float hi) { return min(max(x, V(lo)), V(hi)); }                                        \
  inline V saturate(V x) { return clamp(x, 0.0f, 1.0f); }                                                              \
  inline V mix(V a, V b, float t) { return a + (b - a) * t; }                                                          \
  inline V mix(V a, V b, V t) { return a + (b - a) * t; }                                                              \
  inline V step(V edge, V x)                                                                                           \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      x[i] = step(edge[i], x[i]);                                                                                      \
    return x;                                                                                                          \
  }                                                                                                                    \
  inline V smoothstep(float e0, float e1, V x)                                                                         \
  {                                                                                                                    \
    for (int i = 0; i < N; ++i)                                                                                        \
      x[i] = smoothstep(e0, e1, x[i]);                                                                                 \
    return x;                                                                                                          \
  }                                                                                                                    \
  inline float dot(V a, V b)                                                                                           \
  {                                                                                                                    \
    float s = 0;                                                                                                       \
    for (int i = 0; i < N; ++i)                                                                                        \
      s += a[i] * b[i];                                                                                                \
    return s;                                                                                                          \
  }                                                                                                                    \
  inline float length(V a) { return std::sqrt(dot(a, a)); }                                                            \
  inline float distance(V a, V b) { return length(a - b); }                                                            \
  inline V normalize(V a) { return a / length(a); }

inline float min(float a, float b) { return b < a ? b : a; }
inline float max(float a, float b) { return a < b ? b : a; }
inline float clamp(float x, float lo, float hi) { return min(max(x, lo), hi); }
inline float saturate(float x) { return clamp(x, 0.0f, 1.0f); }
inline float mix(float a, float b, float t) { return a + (b - a) * t; }
inline float step(float edge, float x) { return x < edge ? 0.0f : 1.0f; }
inline float smoothstep(float e0, float e1, float x)
{
  const float t = clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
  return t * t * (3.0f - 2.0f * t);
}
inline float fract(float x) { return x - std::floor(x); }
inline float sign(float x) { return x > 0 ? 1.0f : (x < 0 ? -1.0f : 0.0f); }
inline float rsqrt(float x) { return 1.0f / std::sqrt(x); }
using std::abs;
using std::ceil;
using std::cos;
using std::exp;
using std::floor;
using std::fmod;
using std::pow;
using std::sin;
using std::sqrt;

STANDIN_MSL_VECTOR_OPS(float2, 2)
STANDIN_MSL_VECTOR_OPS(float3, 3)
STANDIN_MSL_VECTOR_OPS(float4, 4)
#undef STANDIN_MSL_VECTOR_OPS

// ---- Matrices (columns) ---------------------------------------------------

template <class Column, int N> struct Matrix {
  Column columns[N];
  Column& operator[](int i) { return columns[i]; }
  const Column& operator[](int i) const { return columns[i]; }
};
struct float2x2 : Matrix<float2, 2> {
  float2x2() = default;
  float2x2(float2 a, float2 b) : Matrix{{a, b}} {}
};
struct float3x3 : Matrix<float3, 3> {
  float3x3() = default;
  float3x3(float3 a, float3 b, float3 c) : Matrix{{a, b, c}} {}
};
struct float4x4 : Matrix<float4, 4> {
  float4x4() = default;
  float4x4(float4 a, float4 b, float4 c, float4 d) : Matrix{{a, b, c, d}} {}
};
inline float2 operator*(const float2x2& m, float2 v) { return m[0] * v.x + m[1] * v.y; }
inline float3 operator*(const float3x3& m, float3 v) { return m[0] * v.x + m[1] * v.y + m[2] * v.z; }
inline float4 operator*(const float4x4& m, float4 v) { return m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3] * v.w; }

// ---- Textures and samplers ------------------------------------------------

enum class access { sample, read, write, read_write };

// A sampler as bound to the fragment stage (nil: the default sampler).
struct sampler {
  const void* handle = nullptr;
};

// An explicit level of detail for sample().
struct level {
  explicit level(float l) : lod(l) {}
  float lod;
};

} // namespace metal

#pragma GCC visibility push(default)
namespace standin::metal {
// Filtered sample at normalised coordinates; (0, 0, 0, 0) without a texture.
::metal::float4 SampleTexture(const void* texture, const void* sampler, float s, float t, float lod);
// One texel (format-converted) of a level; zero outside it.
::metal::float4 ReadTexture(const void* texture, unsigned x, unsigned y, unsigned lod);
unsigned TextureWidth(const void* texture, unsigned lod);
unsigned TextureHeight(const void* texture, unsigned lod);
// Marks the fragment being run on this thread as discarded.
void DiscardFragment();
} // namespace standin::metal
#pragma GCC visibility pop

namespace metal {

// A texture as bound to the fragment stage; components come back as
// float4 whatever the storage order (one-channel formats give (r, 0, 0, 1)).
template <class T, access A = access::sample> struct texture2d {
  const void* handle = nullptr;
  float4 sample(sampler s, float2 coord) const
  {
    return standin::metal::SampleTexture(handle, s.handle, coord.x, coord.y, 0.0f);
  }
  float4 sample(sampler s, float2 coord, level l) const
  {
    return standin::metal::SampleTexture(handle, s.handle, coord.x, coord.y, l.lod);
  }
  float4 read(uint2 coord, uint lod = 0) const { return standin::metal::ReadTexture(handle, coord.x, coord.y, lod); }
  uint get_width(uint lod = 0) const { return standin::metal::TextureWidth(handle, lod); }
  uint get_height(uint lod = 0) const { return standin::metal::TextureHeight(handle, lod); }
};

// The stage that runs the fragment keeps the flag: shader code is built
// into loaded modules, whose own thread-local storage, first touched on a
// band thread, some runtimes mishandle.
inline void discard_fragment() { standin::metal::DiscardFragment(); }

} // namespace metal
