#pragma once
// Rectangle in editor points (origin top left, y down). No L <= R invariant:
// the all-zero rect is the one "empty" value and contains/intersects nothing.

#include <algorithm>
#include <cmath>

namespace plugin::igraphics {

struct IRECT {
  float L = 0.f, T = 0.f, R = 0.f, B = 0.f;

  constexpr IRECT() = default;
  constexpr IRECT(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}
  // A rect at a point: zero size, anchors text at (x, y).
  constexpr IRECT(float x, float y) : L(x), T(y), R(x), B(y) {}

  constexpr float W() const { return R - L; }
  constexpr float H() const { return B - T; }
  constexpr float MW() const { return (L + R) * 0.5f; }
  constexpr float MH() const { return (T + B) * 0.5f; }
  constexpr float Area() const { return W() * H(); }

  constexpr bool Empty() const { return L == 0.f && T == 0.f && R == 0.f && B == 0.f; }

  constexpr bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  constexpr bool operator!=(const IRECT& o) const { return !(*this == o); }

  // Right/bottom comparisons admit equality, left/top ones do not.
  constexpr bool Intersects(const IRECT& r) const
  {
    return !Empty() && !r.Empty() && R >= r.L && L < r.R && B >= r.T && T < r.B;
  }

  constexpr IRECT Intersect(const IRECT& r) const
  {
    if (!Intersects(r))
      return IRECT();
    return IRECT(std::max(L, r.L), std::max(T, r.T), std::min(R, r.R), std::min(B, r.B));
  }

  constexpr IRECT Union(const IRECT& r) const
  {
    if (Empty())
      return r;
    if (r.Empty())
      return *this;
    return IRECT(std::min(L, r.L), std::min(T, r.T), std::max(R, r.R), std::max(B, r.B));
  }

  constexpr void Translate(float x, float y)
  {
    L += x;
    R += x;
    T += y;
    B += y;
  }

  constexpr bool Contains(const IRECT& s) const
  {
    return !Empty() && !s.Empty() && s.L >= L && s.R <= R && s.T >= T && s.B <= B;
  }

  // Left and top inclusive; the empty rect contains no point.
  constexpr bool Contains(float x, float y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }

  constexpr IRECT GetPadded(float d) const { return IRECT(L - d, T - d, R + d, B + d); }

  // Outward alignment to the pixel grid of scale s.
  IRECT GetPixelAligned(float s) const
  {
    const float inv = 1.f / s;
    return IRECT(std::floor(L * s) * inv, std::floor(T * s) * inv, std::ceil(R * s) * inv, std::ceil(B * s) * inv);
  }

  // Same rect moved so that its top-left is (x, y).
  constexpr IRECT GetMovedTo(float x, float y) const { return IRECT(x, y, x + W(), y + H()); }

  // Stacked in one column or side by side in one row, touching or overlapping.
  static constexpr bool Mergeable(const IRECT& a, const IRECT& b)
  {
    if (a.Empty() || b.Empty())
      return true;
    if (a.L == b.L && a.R == b.R) {
      if ((a.T >= b.T && a.T <= b.B) || (b.T >= a.T && b.T <= a.B))
        return true;
    }
    if (a.T == b.T && a.B == b.B)
      return (a.L >= b.L && a.L <= b.R) || (b.L >= a.L && b.L <= a.R);
    return false;
  }
};

} // namespace plugin::igraphics
