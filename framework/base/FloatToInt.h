#pragma once
// Float to integer without undefined behaviour: the value is truncated toward
// zero as a cast does, a value past the integer's range gives the nearest end
// of that range, and NaN gives the value the caller names. Drawing values come
// from layouts and parameters unchecked, so every conversion below the
// drawing interface goes through here. Pure; any thread.
#include <concepts>
#include <limits>

namespace plugin {

template <std::integral I, std::floating_point F> constexpr I FloatToInt(F v, I ifNaN = 0) noexcept
{
  if (v != v)
    return ifNaN;
  // Both ends are powers of two (or zero) and so exact in any float type.
  constexpr F lo = static_cast<F>(std::numeric_limits<I>::min());
  constexpr F pastHi = static_cast<F>(std::numeric_limits<I>::max() / 2 + 1) * F(2);
  if (v <= lo)
    return std::numeric_limits<I>::min();
  if (v >= pastHi)
    return std::numeric_limits<I>::max();
  return static_cast<I>(v);
}

} // namespace plugin
