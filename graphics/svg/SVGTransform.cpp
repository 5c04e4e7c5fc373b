// The transform-list syntax of transform and gradientTransform.
#include <cmath>
#include <cstring>
#include <numbers>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

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
  AffineIdentity(t);
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
    AffineIdentity(m);
    if (na > 1) {
      m[4] = -a[1];
      m[5] = -a[2];
    }
    const float rot[6] = {std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0.0f, 0.0f};
    AffineMultiply(m, rot);
    if (na > 1) {
      const float back[6] = {1.0f, 0.0f, 0.0f, 1.0f, a[1], a[2]};
      AffineMultiply(m, back);
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
  AffineIdentity(xform);
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
      AffinePremultiply(xform, t);
    }
    str += len;
  }
}

} // namespace plugin::igraphics
