#pragma once
// 2-D affine transform: (x, y) -> (XX·x + XY·y + TX, YX·x + YY·y + TY).
// Every operation composes on the right: it applies to points before the
// existing transform. Angles in degrees, positive turns clockwise on screen.

#include <cmath>
#include <numbers>

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
    const double xx = c * mXX + s * mXY, yx = c * mYX + s * mYY;
    const double xy = c * mXY - s * mXX, yy = c * mYY - s * mYX;
    mXX = xx;
    mYX = yx;
    mXY = xy;
    mYY = yy;
    return *this;
  }

  IMatrix& Skew(float xDegrees, float yDegrees)
  {
    const double toRad = std::numbers::pi / 180.0;
    return Transform(IMatrix(1.0, std::tan(yDegrees * toRad), std::tan(xDegrees * toRad), 1.0, 0.0, 0.0));
  }

  IMatrix& Transform(const IMatrix& m)
  {
    const IMatrix p = *this;
    mXX = p.mXX * m.mXX + p.mXY * m.mYX;
    mYX = p.mYX * m.mXX + p.mYY * m.mYX;
    mXY = p.mXX * m.mXY + p.mXY * m.mYY;
    mYY = p.mYX * m.mXY + p.mYY * m.mYY;
    mTX = p.mXX * m.mTX + p.mXY * m.mTY + p.mTX;
    mTY = p.mYX * m.mTX + p.mYY * m.mTY + p.mTY;
    return *this;
  }

  void TransformPoint(double& x, double& y) const
  {
    const double nx = mXX * x + mXY * y + mTX;
    const double ny = mYX * x + mYY * y + mTY;
    x = nx;
    y = ny;
  }
};

} // namespace plugin::igraphics
