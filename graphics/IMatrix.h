#pragma once
// 2-D affine transform: (x, y) -> (XX·x + XY·y + TX, YX·x + YY·y + TY).
// Every operation composes on the right: it applies to points before the
// existing transform. Angles in degrees, positive turns clockwise on screen.

#include <cmath>
#include <numbers>

#include "Affine2D.h"

namespace plugin::igraphics {

struct IMatrix {
  double mXX = 1.0, mYX = 0.0, mXY = 0.0, mYY = 1.0, mTX = 0.0, mTY = 0.0;

  constexpr IMatrix() = default;
  constexpr IMatrix(double xx, double yx, double xy, double yy, double tx, double ty)
  : mXX(xx), mYX(yx), mXY(xy), mYY(yy), mTX(tx), mTY(ty)
  {
  }

  constexpr bool operator==(const IMatrix&) const = default;

  IMatrix& Translate(float x, float y)
  {
    mTX = x * mXX + y * mXY + mTX;
    mTY = x * mYX + y * mYY + mTY;
    return *this;
  }

  IMatrix& Scale(float x, float y)
  {
    mXX *= x;
    mYX *= x;
    mXY *= y;
    mYY *= y;
    return *this;
  }

  IMatrix& Rotate(float degrees)
  {
    const float rad = degrees / 180.f * std::numbers::pi_v<float>;
    const double c = std::cos(static_cast<double>(rad));
    const double s = std::sin(static_cast<double>(rad));
    return Transform(IMatrix(c, s, -s, c, 0.0, 0.0));
  }

  IMatrix& Skew(float xDegrees, float yDegrees)
  {
    const double toRad = std::numbers::pi / 180.0;
    return Transform(IMatrix(1.0, std::tan(yDegrees * toRad), std::tan(xDegrees * toRad), 1.0, 0.0, 0.0));
  }

  // m applies first, then this transform.
  IMatrix& Transform(const IMatrix& m)
  {
    double t[6] = {mXX, mYX, mXY, mYY, mTX, mTY};
    const double s[6] = {m.mXX, m.mYX, m.mXY, m.mYY, m.mTX, m.mTY};
    AffinePremultiply(t, s);
    *this = IMatrix(t[0], t[1], t[2], t[3], t[4], t[5]);
    return *this;
  }

  void TransformPoint(double& x, double& y) const
  {
    const double t[6] = {mXX, mYX, mXY, mYY, mTX, mTY};
    AffinePoint(&x, &y, x, y, t);
  }
};

} // namespace plugin::igraphics
