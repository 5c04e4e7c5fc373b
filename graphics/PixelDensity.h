#pragma once
// The order in which pixel densities of an image are tried for a target
// density T: T, then 4 down to T + 1 (when T is below 4), then T - 1 down
// to 1. Nothing is tried for T below 1.

namespace plugin::igraphics {

// The density after current in the order for target; below 1 ends it.
constexpr int NextPixelDensity(int current, int target)
{
  if (current == target && target < 4)
    return 4;
  if (current == target + 1)
    return target - 1;
  return current - 1;
}

} // namespace plugin::igraphics
