#pragma once
// The fragment functions' uniform record as the CPU writes it: 176 bytes,
// 3x3 matrices as three columns of four floats (the GPU's float3 padding).

#include <cstddef>

enum { MVG_SHADER_FILLGRAD = 0, MVG_SHADER_FILLIMG = 1, MVG_SHADER_IMG = 2 };

struct MVGfragUniforms {
  float scissorMat[12];
  float paintMat[12];
  float innerColor[4];
  float outerColor[4];
  float scissorExt[2];
  float scissorScale[2];
  float extent[2];
  float radius;
  float feather;
  float strokeMult;
  float strokeThr;
  int texType;
  int type;
};
static_assert(sizeof(MVGfragUniforms) == 176);
static_assert(offsetof(MVGfragUniforms, innerColor) == 96);
static_assert(offsetof(MVGfragUniforms, texType) == 168);

// Slot stride in the uniform buffer.
constexpr int MVG_FRAG_SIZE = 256;
