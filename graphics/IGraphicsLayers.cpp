// Offscreen layers, the clip rule and the software drop shadow.

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "FloatToInt.h"
#include "APIBitmap.h"
#include "GaussianBlur.h"
#include "IControl.h"
#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

// A one-frame bitmap view of a layer's pixels, in points.
IBitmap LayerView(const ILayer& layer) { return IBitmap(layer.mBitmap.get(), 1, false); }

// A layer made for a NaN, inverted or empty area has a bitmap without pixels.
bool HasPixels(const ILayerPtr& layer)
{
  return layer && layer->mBitmap && layer->mBitmap->GetWidth() > 0 && layer->mBitmap->GetHeight() > 0;
}

} // namespace

void IGraphics::StartLayer(IControl* control, const IRECT& r, bool cacheable)
{
  const float s = GetTotalScale();
  const IRECT aligned = r.GetPixelAligned(s);
  // Whole points first, then pixels. A NaN, inverted or empty area gets a
  // bitmap without pixels, which draws nothing; one too large saturates and is
  // the back end's to refuse.
  const int w = std::max(0, FloatToInt<int>(std::ceil(std::ceil(aligned.W()) * s)));
  const int h = std::max(0, FloatToInt<int>(std::ceil(std::ceil(aligned.H()) * s)));
  std::unique_ptr<APIBitmap> bitmap(CreateAPIBitmap(w, h, mScreenScale, mDrawScale, cacheable));
  PushLayer(new ILayer(std::move(bitmap), aligned, control, control ? control->GetRECT() : IRECT()));
}

ILayerPtr IGraphics::EndLayer() { return ILayerPtr(PopLayer()); }

void IGraphics::ResumeLayer(ILayerPtr& layer)
{
  if (layer)
    PushLayer(layer.release());
}

void IGraphics::PushLayer(ILayer* layer)
{
  mLayers.push(layer);
  UpdateLayer();
  PathTransformReset();
  PathClipRegion(layer->mRECT);
  PathClear();
}

ILayer* IGraphics::PopLayer()
{
  ILayer* layer = nullptr;
  if (!mLayers.empty()) {
    layer = mLayers.top();
    mLayers.pop();
  }
  UpdateLayer();
  PathTransformReset();
  PathClipRegion();
  PathClear();
  return layer;
}

bool IGraphics::CheckLayer(const ILayerPtr& layer)
{
  if (!layer || !layer->mBitmap)
    return false;
  if (layer->mControl && layer->mControl->GetRECT() != layer->mControlRECT) {
    layer->mControlRECT = layer->mControl->GetRECT();
    layer->mInvalid = true;
  }
  if (layer->mInvalid)
    return false;
  return layer->mBitmap->GetDrawScale() == mDrawScale && layer->mBitmap->GetScale() == mScreenScale;
}

void IGraphics::DrawLayer(const ILayerPtr& layer, const IBlend* blend)
{
  if (!HasPixels(layer))
    return;
  PathTransformSave();
  mTransform = IMatrix();
  PathTransformSetMatrix(mTransform);
  DrawBitmap(LayerView(*layer), layer->mRECT, 0, 0, blend);
  PathTransformRestore();
}

void IGraphics::DrawFittedLayer(const ILayerPtr& layer, const IRECT& bounds, const IBlend* blend)
{
  if (!HasPixels(layer))
    return;
  const IRECT& r = layer->mRECT;
  if (r.W() <= 0.f || r.H() <= 0.f)
    return;
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(bounds.W() / r.W(), bounds.H() / r.H());
  DrawBitmap(LayerView(*layer), IRECT(0.f, 0.f, r.W(), r.H()), 0, 0, blend);
  PathTransformRestore();
}

void IGraphics::DrawRotatedLayer(const ILayerPtr& layer, double angle)
{
  if (!HasPixels(layer))
    return;
  PathTransformSave();
  mTransform = IMatrix();
  PathTransformSetMatrix(mTransform);
  DrawRotatedBitmap(LayerView(*layer), layer->mRECT.MW(), layer->mRECT.MH(), angle, nullptr);
  PathTransformRestore();
}

void IGraphics::PathClipRegion(const IRECT r)
{
  const IRECT area = mLayers.empty() ? mClipRECT : mLayers.top()->mRECT;
  const IRECT clip = r.Empty() ? area : r.Intersect(area);
  // The clip is given untransformed; the current transform is unchanged.
  PathTransformSetMatrix(IMatrix());
  SetClipRegion(clip);
  PathTransformSetMatrix(mTransform);
}

void IGraphics::ApplyLayerDropShadow(ILayerPtr& layer, const IShadow& shadow)
{
  if (!layer || !layer->mBitmap)
    return;
  const APIBitmap& bitmap = *layer->mBitmap;
  const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
  if (w <= 0 || h <= 0)
    return;
  RawBitmapData P(4096), Q(4096), K(4096);
  GetLayerBitmapData(layer, P);
  // Anything but exactly w x h four-byte pixels cannot be walked safely.
  if (P.GetSize() == 0 || static_cast<long long>(P.GetSize()) != 4LL * w * h)
    return;
  if (Q.Resize(P.GetSize()) == nullptr || Q.GetSize() != P.GetSize())
    return;
  const bool flipped = FlippedBitmap();
  const int rowBytes = P.GetSize() / h;
  const int colBytes = P.GetSize() / w;

  // Kernels longer than the sums allow are cut to that length: so wide a
  // blur has all but faded the shadow anyway.
  const float x = std::min(std::max(shadow.mBlurSize * bitmap.GetScale() * bitmap.GetDrawScale() + 1.f, 1.f),
                           static_cast<float>(kMaxBlurTaps));
  const int taps = FloatToInt<int>(std::ceil(x));
  if (taps < 1 || K.Resize(taps) == nullptr || K.GetSize() != taps)
    return;
  unsigned norm = 0;
  const int n = MakeBlurKernel(x, K.Get(), taps, norm);
  if (n < 1)
    return;

  const int a = AlphaChannelIndex();
  if (a < 0 || a > 3)
    return;
  std::uint8_t* p = P.Get();
  const std::uint8_t* in = flipped ? p + a + static_cast<std::ptrdiff_t>(h - 1) * rowBytes : p + a;
  GaussianBlurSwap(Q.Get() + a, in, K.Get(), w, h, colBytes, flipped ? -rowBytes : rowBytes, n, norm);
  GaussianBlurSwap(p + a, Q.Get() + a, K.Get(), h, w, rowBytes, colBytes, n, norm);
  ApplyShadowMask(layer, P, shadow);
}

} // namespace plugin::igraphics
