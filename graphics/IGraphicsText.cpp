// Text drawing and measuring over the back end, the rotation helpers its
// rotated text uses, and the two-stage font loading.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "IGraphics.h"

namespace plugin::igraphics {

void IGraphics::DrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend)
{
  if (!str || str[0] == '\0')
    return;
  DoDrawText(text, str, bounds, blend);
}

void IGraphics::DrawTextAt(const IText& text, const char* str, float x, float y, const IBlend* blend)
{
  DrawText(text, str, IRECT(x, y), blend);
}

void IGraphics::CalculateTextRotation(const IText& text, const IRECT& bounds, IRECT& rect, double& tx, double& ty)
{
  if (text.mAngle == 0.f)
    return;
  const float a = text.mAngle / 180.f * std::numbers::pi_v<float>;
  const double s = std::sin(static_cast<double>(a)), c = std::cos(static_cast<double>(a));
  const double xs[4] = {rect.L, rect.L, rect.R, rect.R};
  const double ys[4] = {rect.T, rect.B, rect.T, rect.B};
  // Min and max over all four corners: a zero-sized rect still has a place.
  double l = 0, t = 0, r = 0, b = 0;
  for (int i = 0; i < 4; ++i) {
    const double x = xs[i] * c - ys[i] * s;
    const double y = xs[i] * s + ys[i] * c;
    l = i ? std::min(l, x) : x;
    r = i ? std::max(r, x) : x;
    t = i ? std::min(t, y) : y;
    b = i ? std::max(b, y) : y;
  }
  rect = IRECT(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));

  switch (text.mAlign) {
  case kAlignNear: tx = bounds.L - rect.L; break;
  case kAlignCenter: tx = (bounds.L + bounds.R) * 0.5 - (rect.L + rect.R) * 0.5; break;
  case kAlignFar: tx = bounds.R - rect.R; break;
  default: break;
  }
  switch (text.mVAlign) {
  case kVAlignTop: ty = bounds.T - rect.T; break;
  case kVAlignMiddle: ty = (bounds.T + bounds.B) * 0.5 - (rect.T + rect.B) * 0.5; break;
  case kVAlignBottom: ty = bounds.B - rect.B; break;
  default: break;
  }
}

void IGraphics::DoMeasureTextRotation(const IText& text, const IRECT& bounds, IRECT& rect)
{
  double tx = 0.0, ty = 0.0;
  CalculateTextRotation(text, bounds, rect, tx, ty);
  rect.Translate(static_cast<float>(tx), static_cast<float>(ty));
}

float IGraphics::MeasureText(const IText& text, const char* str, IRECT& bounds)
{
  if (!str || str[0] == '\0')
    return 0.f;
  return DoMeasureText(text, str, bounds);
}

namespace {

// The platform font lives only for the load; the back end keeps what it needs.
template <class LoadPlatform> bool LoadFontWith(IGraphics& g, const char* fontID, LoadPlatform loadPlatform)
{
  const PlatformFontPtr font = loadPlatform();
  if (!font || !g.LoadAPIFont(fontID, font))
    return false;
  g.CachePlatformFont(fontID, font);
  return true;
}

} // namespace

bool IGraphics::LoadFont(const char* fontID, const char* fileNameOrResID)
{
  return LoadFontWith(*this, fontID, [&] { return LoadPlatformFont(fontID, fileNameOrResID); });
}

bool IGraphics::LoadFontFromData(const char* fontID, void* pData, int dataSize)
{
  return LoadFontWith(*this, fontID, [&] { return LoadPlatformFontFromData(fontID, pData, dataSize); });
}

bool IGraphics::LoadFontByName(const char* fontID, const char* fontName, ETextStyle style)
{
  return LoadFontWith(*this, fontID, [&] { return LoadPlatformFontByName(fontID, fontName, style); });
}

} // namespace plugin::igraphics
