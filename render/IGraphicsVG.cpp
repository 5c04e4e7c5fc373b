// Frames, paths, paints, text and the primitives the engine draws directly.

#include "IGraphicsVG.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <numbers>

#include "FloatToInt.h"
#include "FontDataCache.h"
#include "VGText.h"
#include "MVG.h"

namespace plugin::igraphics {

namespace {

// Composite operation 0: source-over.
constexpr int kSourceOver = VG_SOURCE_OVER;
// Join codes in the order of the core's miter, round, bevel.
constexpr int kJoins[3] = {VG_MITER, VG_ROUND, VG_BEVEL};
// Blend methods from default to destination-atop are the engine's composite
// operations of the same number.
constexpr int kFirstCompositeBlend = kBlendDefault;
constexpr int kLastCompositeBlend = kBlendDestAtop;
// The fast drop shadow starts at half-transparent black (128 of 255).
constexpr float kFastShadowAlpha = 128.f / 255.f;
// Dashes one dotted call may draw: far more than any screen shows, and a
// bound on the work a tiny dash on a huge line would ask for.
constexpr int kMaxDashes = 4096;

// Whole pixels of a size, truncated; what is not a number is no size.
float WholeSize(float v) { return static_cast<float>(FloatToInt<int>(v)); }

} // namespace

IGraphicsVG::IGraphicsVG(IGEditorDelegate& dlg, int w, int h, int fps, float scale) : IGraphics(dlg, w, h, fps, scale)
{
  FontDataCache::AddUser();
}

IGraphicsVG::~IGraphicsVG()
{
  {
    // The destructor alone holds two locks: the font-data cache, then the stack.
    std::lock_guard<std::recursive_mutex> fonts(FontDataCache::Storage().mMutex);
    FontDataCache::RemoveUser();
    ClearFBOStack();
  }
  std::lock_guard<std::recursive_mutex> lock(mBitmapCache.mMutex);
  mBitmapCache.Empty();
}

float IGraphicsVG::FrameW() const { return WholeSize(static_cast<float>(Width()) * GetDrawScale()); }

float IGraphicsVG::FrameH() const { return WholeSize(static_cast<float>(Height()) * GetDrawScale()); }

void IGraphicsVG::BeginFrame()
{
  mInDraw = true;
  IGraphics::BeginFrame();
  if (!mVG)
    return;
  mvgBindFramebuffer(mMainFBO);
  vgBeginFrame(mVG, FrameW(), FrameH(), GetScreenScale());
}

void IGraphicsVG::OnViewInitialized(void* layer)
{
  mVG = mvgCreateContext(static_cast<CAMetalLayer*>(layer), VG_ANTIALIAS | VG_TRIPLE_BUFFER);
  SetContextReady(false);
  if (mVG)
    SetContextReady(true);
}

void IGraphicsVG::OnViewDestroyed()
{
  RemoveAllControls();
  std::lock_guard<std::recursive_mutex> lock(mBitmapCache.mMutex);
  mBitmapCache.Empty();
  mvgDeleteFramebuffer(mMainFBO);
  mMainFBO = nullptr;
  // Layers freed while the view went may still wait for a frame that never ends.
  ClearFBOStack();
  if (mVG)
    mvgDeleteContext(mVG);
  mVG = nullptr;
}

void IGraphicsVG::EndFrame()
{
  if (mVG) {
    const float w = FrameW(), h = FrameH();
    vgEndFrame(mVG);
    mvgBindFramebuffer(nullptr);
    vgBeginFrame(mVG, w, h, GetScreenScale());
    if (mMainFBO) {
      const VGpaint paint = vgImagePattern(mVG, 0, 0, w, h, 0, mMainFBO->image, 1);
      vgSave(mVG);
      vgResetTransform(mVG);
      vgBeginPath(mVG);
      vgRect(mVG, 0, 0, w, h);
      vgFillPaint(mVG, paint);
      vgFill(mVG);
      vgRestore(mVG);
    }
    vgEndFrame(mVG);
  }
  mInDraw = false;
  ClearFBOStack();
}

void IGraphicsVG::BeginTargetFrame()
{
  if (mLayers.empty()) {
    mvgBindFramebuffer(mMainFBO);
    vgBeginFrame(mVG, FrameW(), FrameH(), GetScreenScale());
    return;
  }
  const ILayer* layer = mLayers.top();
  auto* bitmap = static_cast<Bitmap*>(layer->mBitmap.get());
  mvgBindFramebuffer(bitmap ? bitmap->GetFBO() : nullptr);
  const IRECT& r = layer->mRECT;
  // A layer that got no framebuffer (an empty or inverted rectangle) must not
  // draw into whatever is bound: its frame is empty, and the engine drops it.
  const float s = bitmap && bitmap->GetBitmap() != 0 ? GetDrawScale() : 0.f;
  vgBeginFrame(mVG, r.W() * s, r.H() * s, GetScreenScale());
}

void IGraphicsVG::UpdateLayer()
{
  if (!mVG)
    return;
  vgEndFrame(mVG);
  BeginTargetFrame();
}

void IGraphicsVG::DrawResize()
{
  ActivateDrawContext();
  mvgDeleteFramebuffer(mMainFBO);
  mMainFBO = nullptr;
  if (mVG) {
    const float r = GetScreenScale();
    mMainFBO = mvgCreateFramebuffer(mVG, FloatToInt<int>(FrameW() * r), FloatToInt<int>(FrameH() * r), 0);
  }
  DeactivateDrawContext();
}

bool IGraphicsVG::BitmapExtSupported(const char* ext)
{
  char lower[32] = {};
  for (int i = 0; ext && ext[i] && i < 31; ++i)
    lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(ext[i])));
  return std::strstr(lower, "png") || std::strstr(lower, "jpg") || std::strstr(lower, "jpeg");
}

// ---- Paints -----------------------------------------------------------------

VGcolor IGraphicsVG::ToColor(const IColor& c, const IBlend* blend) const
{
  const float w = blend ? blend->mWeight : 1.f;
  return vgRGBAf(c.R / 255.f, c.G / 255.f, c.B / 255.f, c.A * w / 255.f);
}

void IGraphicsVG::SetBlend(const IBlend* blend)
{
  if (!blend) {
    vgGlobalCompositeOperation(mVG, kSourceOver);
    return;
  }
  const int m = blend->mMethod;
  if (m >= kFirstCompositeBlend && m <= kLastCompositeBlend)
    vgGlobalCompositeOperation(mVG, m);
  else if (m == kBlendAdd)
    vgGlobalCompositeBlendFunc(mVG, VG_SRC_ALPHA, VG_DST_ALPHA);
  else if (m == kBlendXOR)
    vgGlobalCompositeOperation(mVG, VG_XOR);
}

VGpaint IGraphicsVG::ToPaint(const IPattern& p, const IBlend* blend, bool& solid)
{
  VGpaint paint{};
  const IColor first = p.mNStops > 0 ? p.mStops[0].mColor : IColor();
  const IMatrix& m = p.mTransform;
  const double det = m.mXX * m.mYY - m.mYX * m.mXY;
  // A singular matrix has no inverse: the gradient degenerates to its first colour.
  solid = p.mType == kSolidPattern || p.mNStops < 1 || det == 0.0 || !std::isfinite(det);
  if (solid) {
    paint.innerColor = paint.outerColor = ToColor(first, blend);
    return paint;
  }
  const double d = 1.0 / det;
  const double ixx = m.mYY * d, iyx = -m.mYX * d, ixy = -m.mXY * d, iyy = m.mXX * d;
  const double itx = -m.mTX * ixx - m.mTY * ixy, ity = -m.mTX * iyx - m.mTY * iyy;
  const VGcolor inner = ToColor(first, blend);
  const VGcolor outer = ToColor(p.mStops[p.mNStops - 1].mColor, blend);
  const auto f = [](double v) { return static_cast<float>(v); };
  if (p.mType == kLinearPattern)
    return vgLinearGradient(mVG, f(itx), f(ity), f(itx + ixy), f(ity + iyy), inner, outer);
  // The unit circle's image keeps its size under rotation and mirroring; the
  // inverse's xx entry alone does not (0 at a quarter turn, negative mirrored).
  const double radius = std::sqrt(std::fabs(d));
  return vgRadialGradient(mVG, f(itx), f(ity), f(p.mStops[0].mOffset * radius), f(radius), inner, outer);
}

// ---- Paths --------------------------------------------------------------------

void IGraphicsVG::PathClear() { vgBeginPath(mVG); }
void IGraphicsVG::PathClose() { vgClosePath(mVG); }

void IGraphicsVG::PathArc(float cx, float cy, float r, float a1, float a2, int winding)
{
  const auto rad = [](float a) { return (a - 90.f) / 180.f * std::numbers::pi_v<float>; };
  vgArc(mVG, cx, cy, r, rad(a1), rad(a2), winding == 0 ? VG_CW : VG_CCW);
}

void IGraphicsVG::PathMoveTo(float x, float y) { vgMoveTo(mVG, x, y); }
void IGraphicsVG::PathLineTo(float x, float y) { vgLineTo(mVG, x, y); }
void IGraphicsVG::PathSetWinding(int clockwise) { vgPathWinding(mVG, clockwise ? VG_HOLE : VG_SOLID); }

void IGraphicsVG::PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2)
{
  vgBezierTo(mVG, c1x, c1y, c2x, c2y, x2, y2);
}

void IGraphicsVG::PathQuadraticBezierTo(float cx, float cy, float x2, float y2) { vgQuadTo(mVG, cx, cy, x2, y2); }

void IGraphicsVG::PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                             const IBlend* blend)
{
  if (options.mCapOption >= 0 && options.mCapOption < 3)
    vgLineCap(mVG, options.mCapOption);
  if (options.mJoinOption >= 0 && options.mJoinOption < 3)
    vgLineJoin(mVG, kJoins[options.mJoinOption]);
  vgMiterLimit(mVG, options.mMiterLimit);
  vgStrokeWidth(mVG, thickness);
  bool solid = false;
  const VGpaint paint = ToPaint(pattern, blend, solid);
  if (solid)
    vgStrokeColor(mVG, paint.innerColor);
  else
    vgStrokePaint(mVG, paint);
  vgPathWinding(mVG, VG_SOLID);
  SetBlend(blend);
  vgStroke(mVG);
  vgGlobalCompositeOperation(mVG, kSourceOver);
  if (!options.mPreserve)
    vgBeginPath(mVG);
}

void IGraphicsVG::PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend)
{
  if (options.mFillRule == kFillWinding)
    vgPathWinding(mVG, VG_SOLID);
  else if (options.mFillRule == kFillEvenOdd)
    vgPathWinding(mVG, VG_HOLE);
  bool solid = false;
  const VGpaint paint = ToPaint(pattern, blend, solid);
  if (solid)
    vgFillColor(mVG, paint.innerColor);
  else
    vgFillPaint(mVG, paint);
  SetBlend(blend);
  vgFill(mVG);
  vgGlobalCompositeOperation(mVG, kSourceOver);
  if (!options.mPreserve)
    vgBeginPath(mVG);
}

void IGraphicsVG::PathTransformSetMatrix(const IMatrix& m)
{
  float ox = 0.f, oy = 0.f;
  if (!mLayers.empty()) {
    ox = -mLayers.top()->mRECT.L;
    oy = -mLayers.top()->mRECT.T;
  }
  const float s = GetDrawScale();
  vgResetTransform(mVG);
  vgScale(mVG, s, s);
  vgTranslate(mVG, ox, oy);
  const auto f = [](double v) { return static_cast<float>(v); };
  vgTransform(mVG, f(m.mXX), f(m.mYX), f(m.mXY), f(m.mYY), f(m.mTX), f(m.mTY));
}

void IGraphicsVG::SetClipRegion(const IRECT& r) { vgScissor(mVG, r.L, r.T, r.W(), r.H()); }

// ---- Primitives ------------------------------------------------------------------

void IGraphicsVG::DrawBitmap(const IBitmap& bitmap, const IRECT& dest, int srcX, int srcY, const IBlend* blend)
{
  // A bitmap without an image (a layer over an empty area) has nothing to draw.
  const APIBitmap* api = bitmap.GetAPIBitmap();
  if (!api || api->GetBitmap() == 0)
    return;
  const float ps = api->GetScale() * api->GetDrawScale();
  if (ps <= 0.f)
    return;
  VGpaint paint{};
  paint.xform[0] = paint.xform[3] = 1.f / ps;
  paint.xform[4] = dest.L - static_cast<float>(srcX);
  paint.xform[5] = dest.T - static_cast<float>(srcY);
  paint.extent[0] = static_cast<float>(bitmap.W()) * api->GetScale();
  paint.extent[1] = static_cast<float>(bitmap.H()) * api->GetScale();
  paint.innerColor = paint.outerColor = vgRGBAf(1, 1, 1, blend ? blend->mWeight : 1.f);
  paint.image = static_cast<int>(api->GetBitmap());
  vgBeginPath(mVG);
  vgRect(mVG, dest.L, dest.T, dest.W(), dest.H());
  vgFillPaint(mVG, paint);
  SetBlend(blend);
  vgFill(mVG);
  vgGlobalCompositeOperation(mVG, kSourceOver);
  vgBeginPath(mVG);
}

void IGraphicsVG::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                                 float thickness, float dashLen)
{
  PathMoveTo(x1, y1);
  if (dashLen > 0.f) {
    const float n = std::round(std::hypot(x2 - x1, y2 - y1) / dashLen);
    // Beyond the cap only the first dashes are drawn.
    const int count = std::min(FloatToInt<int>(n), kMaxDashes);
    if (count >= 2) {
      const float step = 1.f / n;
      for (int i = 1; i < count; i += 2) {
        const float t = static_cast<float>(i) * step;
        PathLineTo(x1 + (x2 - x1) * t, y1 + (y2 - y1) * t);
        PathMoveTo(x1 + (x2 - x1) * (t + step), y1 + (y2 - y1) * (t + step));
      }
    }
  } else
    PathLineTo(x2, y2);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphicsVG::DrawDottedRect(const IColor& color, const IRECT& r, const IBlend* blend, float thickness,
                                 float dashLen)
{
  if (!(dashLen > 0.f)) {
    PathRect(r);
    PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
    return;
  }
  const int nx = std::min(FloatToInt<int>(std::ceil(r.W() / (2.f * dashLen))), kMaxDashes / 4);
  const int ny = std::min(FloatToInt<int>(std::ceil(r.H() / (2.f * dashLen))), kMaxDashes / 4);
  PathMoveTo(r.L, r.T);
  // One edge: dashes from (x, y) along (dx, dy), the running coordinate clamped to the rect.
  float x = r.L, y = r.T;
  const auto edge = [&](int n, float dx, float dy) {
    for (int i = 0; i < n; ++i) {
      x = std::clamp(x + dx * dashLen, r.L, r.R);
      y = std::clamp(y + dy * dashLen, r.T, r.B);
      PathLineTo(x, y);
      x = std::clamp(x + dx * dashLen, r.L, r.R);
      y = std::clamp(y + dy * dashLen, r.T, r.B);
      PathMoveTo(x, y);
    }
  };
  edge(nx, 1, 0);
  edge(ny, 0, 1);
  edge(nx, -1, 0);
  edge(ny, 0, -1);
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphicsVG::DrawFastDropShadow(const IRECT& inner, const IRECT& outer, float xyDrop, float roundness, float blur,
                                     const IBlend* blend)
{
  const float w = blend ? blend->mWeight : 1.f;
  const VGpaint paint = vgBoxGradient(mVG, inner.L + xyDrop, inner.T + xyDrop, inner.W(), inner.H(), roundness, blur,
                                      vgRGBAf(0, 0, 0, kFastShadowAlpha * w), vgRGBAf(0, 0, 0, 0));
  vgBeginPath(mVG);
  vgRect(mVG, outer.L, outer.T, outer.W(), outer.H());
  vgFillPaint(mVG, paint);
  vgGlobalCompositeOperation(mVG, kSourceOver);
  vgFill(mVG);
  vgBeginPath(mVG);
}

// ---- Text ------------------------------------------------------------------------

void IGraphicsVG::PrepareText(const IText& text, const char* str, IRECT& r, float& x, float& y)
{
  vgFontBlur(mVG, 0);
  vgFontSize(mVG, text.mSize);
  vgFontFace(mVG, text.mFont);
  int align = 0;
  switch (text.mAlign) {
  case kAlignNear:
    align = VG_ALIGN_LEFT;
    x = r.L;
    break;
  case kAlignCenter:
    align = VG_ALIGN_CENTER;
    x = r.MW();
    break;
  case kAlignFar:
    align = VG_ALIGN_RIGHT;
    x = r.R;
    break;
  }
  switch (text.mVAlign) {
  case kVAlignTop:
    align |= VG_ALIGN_TOP;
    y = r.T;
    break;
  case kVAlignMiddle:
    align |= VG_ALIGN_MIDDLE;
    y = r.MH();
    break;
  case kVAlignBottom:
    align |= VG_ALIGN_BOTTOM;
    y = r.B;
    break;
  }
  vgTextAlign(mVG, align);
  float b[4] = {};
  vgTextBounds(mVG, x, y, str, nullptr, b);
  r = IRECT(b[0], b[1], b[2], b[3]);
}

float IGraphicsVG::DoMeasureText(const IText& text, const char* str, IRECT& bounds)
{
  if (!mVG)
    return 0.f;
  const IRECT original = bounds;
  float x = 0.f, y = 0.f;
  PrepareText(text, str, bounds, x, y);
  DoMeasureTextRotation(text, original, bounds);
  return bounds.W();
}

void IGraphicsVG::DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend)
{
  IRECT measured = bounds;
  float x = 0.f, y = 0.f;
  PrepareText(text, str, measured, x, y);
  PathTransformSave();
  if (text.mAngle != 0.f) {
    double tx = 0.0, ty = 0.0;
    IRECT rotated = measured;
    CalculateTextRotation(text, bounds, rotated, tx, ty);
    PathTransformTranslate(static_cast<float>(tx), static_cast<float>(ty));
    PathTransformRotate(text.mAngle);
  }
  vgFillColor(mVG, ToColor(text.mFGColor, blend));
  SetBlend(blend);
  vgText(mVG, x, y, str, nullptr);
  vgGlobalCompositeOperation(mVG, kSourceOver);
  PathTransformRestore();
}

} // namespace plugin::igraphics
