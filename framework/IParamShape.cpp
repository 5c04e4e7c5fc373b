// The three value-mapping shapes of IParam.
#include <algorithm>
#include <cmath>

#include "IParam.h"

namespace plugin {

namespace {
// Lower anchor of the exponential shape when min is not positive.
constexpr double kExpFloor = 1e-8;

// Position of value within min..max; 0 for a zero-width range.
double Fraction(double value, const IParam& param)
{
  const double range = param.GetRange();
  return range > 0.0 ? (value - param.GetMin()) / range : 0.0;
}
} // namespace

double IParam::ShapeLinear::NormalizedToValue(double normalized, const IParam& param) const
{
  return param.GetMin() + param.GetRange() * normalized;
}

double IParam::ShapeLinear::ValueToNormalized(double value, const IParam& param) const
{
  return Fraction(value, param);
}

IParam::EDisplayType IParam::ShapePowCurve::GetDisplayType() const
{
  if (mExponent > 2.5)
    return kDisplayCubed;
  if (mExponent > 1.5)
    return kDisplaySquared;
  if (mExponent < 0.4)
    return kDisplayCubeRoot;
  if (mExponent < 2.0 / 3.0)
    return kDisplaySquareRoot;
  return kDisplayLinear;
}

double IParam::ShapePowCurve::NormalizedToValue(double normalized, const IParam& param) const
{
  return param.GetMin() + param.GetRange() * std::pow(normalized, mExponent);
}

double IParam::ShapePowCurve::ValueToNormalized(double value, const IParam& param) const
{
  // Below min the root of a negative number is not a number: clamp first.
  return std::pow(std::max(Fraction(value, param), 0.0), 1.0 / mExponent);
}

void IParam::ShapeExp::Init(const IParam& param)
{
  const double anchor = param.GetMin() > 0.0 ? param.GetMin() : kExpFloor;
  mAdd = std::log(anchor);
  mMul = param.GetMax() > anchor ? std::log(param.GetMax() / anchor) : 0.0;
}

double IParam::ShapeExp::NormalizedToValue(double normalized, const IParam&) const
{
  return std::exp(normalized * mMul + mAdd);
}

double IParam::ShapeExp::ValueToNormalized(double value, const IParam&) const
{
  if (mMul == 0.0)
    return 0.0;
  // The logarithm is only defined above 0: clamp to the lower anchor.
  const double anchor = std::exp(mAdd);
  return (std::log(std::max(value, anchor)) - mAdd) / mMul;
}

} // namespace plugin
