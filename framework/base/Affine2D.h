#pragma once
// 2-D affine transforms as six numbers t[0..5]: a point (x, y) maps to
// (x t0 + y t2 + t4, x t1 + y t3 + t5), a vector the same without t4, t5.
// The same code serves float (SVG parser, vector engine) and double
// (IMatrix). Pure functions; any thread.

#include <cmath>

namespace plugin {

template <class T> void AffineIdentity(T* t)
{
  t[0] = T(1);
  t[1] = T(0);
  t[2] = T(0);
  t[3] = T(1);
  t[4] = T(0);
  t[5] = T(0);
}

// t becomes t followed by s (s applies to what t gives).
template <class T> void AffineMultiply(T* t, const T* s)
{
  const T t0 = t[0] * s[0] + t[1] * s[2];
  const T t2 = t[2] * s[0] + t[3] * s[2];
  const T t4 = t[4] * s[0] + t[5] * s[2] + s[4];
  t[1] = t[0] * s[1] + t[1] * s[3];
  t[3] = t[2] * s[1] + t[3] * s[3];
  t[5] = t[4] * s[1] + t[5] * s[3] + s[5];
  t[0] = t0;
  t[2] = t2;
  t[4] = t4;
}

// t becomes s followed by t (s applies first).
template <class T> void AffinePremultiply(T* t, const T* s)
{
  T r[6] = {s[0], s[1], s[2], s[3], s[4], s[5]};
  AffineMultiply(r, t);
  for (int i = 0; i < 6; i++)
    t[i] = r[i];
}

// inv = the inverse of t, computed in double. A determinant within 1e-6 of
// zero, or one that is not finite, gives the identity and false.
template <class T> bool AffineInverse(T* inv, const T* t)
{
  const double det = static_cast<double>(t[0]) * t[3] - static_cast<double>(t[2]) * t[1];
  if (!(det < -1e-6 || det > 1e-6) || !std::isfinite(det)) {
    AffineIdentity(inv);
    return false;
  }
  const double invdet = 1.0 / det;
  inv[0] = static_cast<T>(t[3] * invdet);
  inv[2] = static_cast<T>(-t[2] * invdet);
  inv[4] = static_cast<T>((static_cast<double>(t[2]) * t[5] - static_cast<double>(t[3]) * t[4]) * invdet);
  inv[1] = static_cast<T>(-t[1] * invdet);
  inv[3] = static_cast<T>(t[0] * invdet);
  inv[5] = static_cast<T>((static_cast<double>(t[1]) * t[4] - static_cast<double>(t[0]) * t[5]) * invdet);
  return true;
}

template <class T> void AffinePoint(T* dx, T* dy, T x, T y, const T* t)
{
  *dx = x * t[0] + y * t[2] + t[4];
  *dy = x * t[1] + y * t[3] + t[5];
}

template <class T> void AffineVector(T* dx, T* dy, T x, T y, const T* t)
{
  *dx = x * t[0] + y * t[2];
  *dy = x * t[1] + y * t[3];
}

} // namespace plugin
