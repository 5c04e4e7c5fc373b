#include "CFRuntime.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace standin::cf;

struct __CFBoolean final : Object {
  explicit __CFBoolean(bool v) : Object(kBooleanTypeID), value(v) { MakeConstant(); }
  std::string Describe() const override { return value ? "true" : "false"; }
  bool value;
};

namespace {

// The integer d is, when it is exactly one that 64 bits hold; a cast outside
// that range would be undefined.
bool ExactInteger(double d, SInt64& out)
{
  if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0) || d != std::trunc(d))
    return false;
  out = SInt64(d);
  return true;
}

// d rounded to float as IEEE arithmetic does, infinity past the largest
// float, without an out-of-range conversion.
float ToFloat(double d)
{
  constexpr double kRoundsToInfinity = 0x1.ffffffp127; // halfway past FLT_MAX
  if (d >= kRoundsToInfinity)
    return std::numeric_limits<float>::infinity();
  if (d <= -kRoundsToInfinity)
    return -std::numeric_limits<float>::infinity();
  return float(d);
}

} // namespace

// Integers are kept exactly in 64 bits, floating values as double.
struct __CFNumber final : Object {
  __CFNumber(CFNumberType t, bool isFloat, SInt64 i, double d)
  : Object(kNumberTypeID), type(t), isFloat(isFloat), integer(i), real(d)
  {
  }

  double AsDouble() const { return isFloat ? real : double(integer); }

  bool Equal(const Object& other) const override
  {
    const auto& o = static_cast<const __CFNumber&>(other);
    if (!isFloat && !o.isFloat)
      return integer == o.integer;
    if (isFloat && o.isFloat)
      return real == o.real;
    // Mixed: equal only when the float is exactly that integer.
    SInt64 i;
    return ExactInteger(isFloat ? real : o.real, i) && i == (isFloat ? o.integer : integer);
  }
  CFHashCode Hash() const override
  {
    if (!isFloat)
      return CFHashCode(integer);
    // A float equal to an integer hashes as that integer.
    const double d = real;
    SInt64 i;
    if (ExactInteger(d, i))
      return CFHashCode(i);
    CFHashCode h;
    std::memcpy(&h, &d, sizeof h);
    return h;
  }
  std::string Describe() const override
  {
    if (!isFloat)
      return std::to_string(integer);
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", real);
    return text;
  }

  CFNumberType type;
  bool isFloat;
  SInt64 integer;
  double real;
};

namespace {

__CFNumber* Num(CFTypeRef n) { return As<__CFNumber>(n, kNumberTypeID); }

bool IsFloatType(CFNumberType t)
{
  return t == kCFNumberFloat32Type || t == kCFNumberFloat64Type || t == kCFNumberFloatType ||
         t == kCFNumberDoubleType || t == kCFNumberCGFloatType;
}

// Byte width of the C type behind a number type (LP64).
size_t Width(CFNumberType t)
{
  switch (t) {
  case kCFNumberSInt8Type:
  case kCFNumberCharType: return 1;
  case kCFNumberSInt16Type:
  case kCFNumberShortType: return 2;
  case kCFNumberSInt32Type:
  case kCFNumberIntType:
  case kCFNumberFloat32Type:
  case kCFNumberFloatType: return 4;
  default: return 8;
  }
}

bool ValidType(CFNumberType t) { return t >= kCFNumberSInt8Type && t <= kCFNumberMaxType; }

template <class T> bool StoreInteger(SInt64 v, void* out)
{
  const T narrowed = T(v);
  std::memcpy(out, &narrowed, sizeof(T));
  return SInt64(narrowed) == v;
}

} // namespace

const CFBooleanRef kCFBooleanTrue = new __CFBoolean(true);
const CFBooleanRef kCFBooleanFalse = new __CFBoolean(false);

CFTypeID CFBooleanGetTypeID(void) { return kBooleanTypeID; }
Boolean CFBooleanGetValue(CFBooleanRef boolean) { return As<__CFBoolean>(boolean, kBooleanTypeID)->value; }

CFTypeID CFNumberGetTypeID(void) { return kNumberTypeID; }

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr)
{
  if (!valuePtr || !ValidType(theType))
    return nullptr;
  if (IsFloatType(theType)) {
    double d;
    if (Width(theType) == 4) {
      float f;
      std::memcpy(&f, valuePtr, sizeof f);
      d = f;
    } else {
      std::memcpy(&d, valuePtr, sizeof d);
    }
    return new __CFNumber(theType, true, 0, d);
  }
  SInt64 v = 0;
  switch (Width(theType)) {
  case 1: v = *static_cast<const SInt8*>(valuePtr); break;
  case 2: {
    SInt16 x;
    std::memcpy(&x, valuePtr, 2);
    v = x;
    break;
  }
  case 4: {
    SInt32 x;
    std::memcpy(&x, valuePtr, 4);
    v = x;
    break;
  }
  default: std::memcpy(&v, valuePtr, 8); break;
  }
  return new __CFNumber(theType, false, v, 0.0);
}

CFNumberType CFNumberGetType(CFNumberRef number) { return Num(number)->type; }
CFIndex CFNumberGetByteSize(CFNumberRef number) { return CFIndex(Width(Num(number)->type)); }
Boolean CFNumberIsFloatType(CFNumberRef number) { return Num(number)->isFloat; }

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr)
{
  const __CFNumber* n = Num(number);
  if (!valuePtr || !ValidType(theType))
    return false;
  if (IsFloatType(theType)) {
    // Exact only when the stored value comes back unchanged: an integer
    // near the 64-bit ends rounds to 2^63, which no cast may take back.
    const double d = n->AsDouble();
    SInt64 back = 0;
    if (Width(theType) == 4) {
      const float f = ToFloat(d);
      std::memcpy(valuePtr, &f, sizeof f);
      if (!n->isFloat)
        return ExactInteger(double(f), back) && back == n->integer;
      return double(f) == d || std::isnan(d);
    }
    std::memcpy(valuePtr, &d, sizeof d);
    return n->isFloat || (ExactInteger(d, back) && back == n->integer);
  }
  SInt64 v = n->integer;
  bool exact = true;
  if (n->isFloat) {
    const double d = n->real;
    const bool fits = d >= -9223372036854775808.0 && d < 9223372036854775808.0;
    v = fits ? SInt64(d) : (d > 0 ? std::numeric_limits<SInt64>::max() : std::numeric_limits<SInt64>::min());
    if (std::isnan(d))
      v = 0;
    exact = fits && double(v) == d;
  }
  switch (Width(theType)) {
  case 1: return StoreInteger<SInt8>(v, valuePtr) && exact;
  case 2: return StoreInteger<SInt16>(v, valuePtr) && exact;
  case 4: return StoreInteger<SInt32>(v, valuePtr) && exact;
  default: return StoreInteger<SInt64>(v, valuePtr) && exact;
  }
}

CFComparisonResult CFNumberCompare(CFNumberRef number, CFNumberRef otherNumber, void*)
{
  const __CFNumber* a = Num(number);
  const __CFNumber* b = Num(otherNumber);
  if (!a->isFloat && !b->isFloat) {
    return a->integer < b->integer ? kCFCompareLessThan
                                   : (a->integer > b->integer ? kCFCompareGreaterThan : kCFCompareEqualTo);
  }
  const double x = a->AsDouble();
  const double y = b->AsDouble();
  return x < y ? kCFCompareLessThan : (x > y ? kCFCompareGreaterThan : kCFCompareEqualTo);
}
