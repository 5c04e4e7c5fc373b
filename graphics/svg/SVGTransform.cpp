// Affine transforms of the SVG parser and the transform-list syntax.
#include <cmath>
#include <cstring>

#include "SVGParserState.h"

namespace plugin::igraphics {

void svgXformSetIdentity(float* t)
{
  t[0] = 1.0f;
  t[1] = 0.0f;
  t[2] = 0.0f;
  t[3] = 1.0f;
  t[4] = 0.0f;
  t[5] = 0.0f;
}

void svgXformMultiply(float* t, const float* s)
{
  const float t0 = t[0] * s[0] + t[1] * s[2];
  const float t2 = t[2] * s[0] + t[3] * s[2];
  const float t4 = t[4] * s[0] + t[5] * s[2] + s[4];
  t[1] = t[0] * s[1] + t[1] * s[3];
  t[3] = t[2] * s[1] + t[3] * s[3];
  t[5] = t[4] * s[1] + t[5] * s[3] + s[5];
  t[0] = t0;
  t[2] = t2;
  t[4] = t4;
}

void svgXformPremultiply(float* t, const float* s)
{
  float s2[6];
  std::memcpy(s2, s, sizeof(s2));
  svgXformMultiply(s2, t);
  std::memcpy(t, s2, sizeof(s2));
}

void svgXformInverse(float* inv, const float* t)
{
  const double det = static_cast<double>(t[0]) * t[3] - static_cast<double>(t[2]) * t[1];
  // Near-singular (or non-finite) matrices invert to the identity.
  if (!(det < -1e-6 || det > 1e-6) || !std::isfinite(det)) {
    svgXformSetIdentity(inv);
    return;
  }
  const double invdet = 1.0 / det;
  inv[0] = static_cast<float>(t[3] * invdet);
  inv[2] = static_cast<float>(-t[2] * invdet);
  inv[4] = static_cast<float>((static_cast<double>(t[2]) * t[5] - static_cast<double>(t[3]) * t[4]) * invdet);
  inv[1] = static_cast<float>(-t[1] * invdet);
  inv[3] = static_cast<float>(t[0] * invdet);
  inv[5] = static_cast<float>((static_cast<double>(t[1]) * t[4] - static_cast<double>(t[0]) * t[5]) * invdet);
}

void svgXformPoint(float* dx, float* dy, float x, float y, const float* t)
{
  *dx = x * t[0] + y * t[2] + t[4];
  *dy = x * t[1] + y * t[3] + t[5];
}

void svgXformVec(float* dx, float* dy, float x, float y, const float* t)
{
  *dx = x * t[0] + y * t[2];
  *dy = x * t[1] + y * t[3];
}

namespace {

constexpr float kPi = 3.1415927f;

// Reads the numbers between the '(' and ')' following str; stores at most
// maxNa of them but counts all. Returns the characters consumed up to the
// ')', or 0 when the parentheses are missing.
int ParseTransformArgs(const char* str, float* args, int maxNa, int* na)
{
  *na = 0;
  const char* ptr = std::strchr(str, '(');
  if (!ptr)
    return 0;
  const char* end = std::strchr(ptr, ')');
  if (!end)
    return 0;
  while (ptr < end) {
    if (*ptr == '-' || *ptr == '+' || *ptr == '.' || (*ptr >= '0' && *ptr <= '9')) {
      char item[64];
      ptr = svgScanNumber(ptr, item);
      if (*na < maxNa)
        args[*na] = static_cast<float>(svgParseNumber(item));
      (*na)++;
    } else {
      ptr++;
    }
  }
  return static_cast<int>(end - str);
}

struct TransformFunction {
  const char* name;
  int counts[2]; // accepted numbers of arguments (0 = unused slot)
};

const TransformFunction kFunctions[] = {
  {"matrix", {6, 0}}, {"translate", {1, 2}}, {"scale", {1, 2}},
  {"rotate", {1, 3}}, {"skewX", {1, 0}},     {"skewY", {1, 0}},
};

void MakeTransform(float* t, int fn, const float* a, int na)
{
  svgXformSetIdentity(t);
  switch (fn) {
  case 0: std::memcpy(t, a, 6 * sizeof(float)); break;
  case 1:
    t[4] = a[0];
    t[5] = na > 1 ? a[1] : 0.0f;
    break;
  case 2:
    t[0] = a[0];
    t[3] = na > 1 ? a[1] : a[0];
    break;
  case 3: {
    const float r = a[0] / 180.0f * kPi;
    float m[6];
    svgXformSetIdentity(m);
    if (na > 1) {
      m[4] = -a[1];
      m[5] = -a[2];
    }
    const float rot[6] = {std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0.0f, 0.0f};
    svgXformMultiply(m, rot);
    if (na > 1) {
      const float back[6] = {1.0f, 0.0f, 0.0f, 1.0f, a[1], a[2]};
      svgXformMultiply(m, back);
    }
    std::memcpy(t, m, sizeof(m));
    break;
  }
  case 4: t[2] = std::tan(a[0] / 180.0f * kPi); break;
  case 5: t[1] = std::tan(a[0] / 180.0f * kPi); break;
  default: break;
  }
}

} // namespace

void svgParseTransform(float* xform, const char* str)
{
  svgXformSetIdentity(xform);
  while (*str) {
    int fn = -1;
    for (int i = 0; i < static_cast<int>(sizeof(kFunctions) / sizeof(kFunctions[0])); i++) {
      const size_t n = std::strlen(kFunctions[i].name);
      if (std::strncmp(str, kFunctions[i].name, n) == 0) {
        fn = i;
        break;
      }
    }
    if (fn < 0) {
      str++;
      continue;
    }
    float args[6] = {};
    int na = 0;
    const int len = ParseTransformArgs(str, args, 6, &na);
    if (len == 0) {
      str++;
      continue;
    }
    // A function with a number count it does not take is ignored.
    if (na == kFunctions[fn].counts[0] || (na != 0 && na == kFunctions[fn].counts[1])) {
      float t[6];
      MakeTransform(t, fn, args, na);
      svgXformPremultiply(xform, t);
    }
    str += len;
  }
}

} // namespace plugin::igraphics
