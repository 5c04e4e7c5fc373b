// Back-end bitmaps and their cache, layer framebuffers with deferred
// deletion, layer pixels, the shadow-mask step and fonts.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FloatToInt.h"
#include "FontDataCache.h"
#include "IGraphicsVG.h"
#include "VGText.h"
#include "MVG.h"

namespace plugin::igraphics {

namespace {

// A resource scale stored as a whole number never below 1: a bitmap's size in
// points divides by it.
int WholeScale(double scale) { return std::max(1, FloatToInt<int>(scale)); }

// Bytes of w x h four-byte pixels; -1 for none, or for more than a buffer
// holds (a layer too large for a framebuffer keeps its saturated size).
long long PixelBytes(int w, int h)
{
  if (w <= 0 || h <= 0 || w > INT32_MAX / 4 / h)
    return -1;
  return 4LL * w * h;
}

} // namespace

// ---- Bitmap -------------------------------------------------------------------

IGraphicsVG::Bitmap::Bitmap(VGcontext* ctx, int image, bool shared, double scale) : mVG(ctx), mShared(shared)
{
  int w = 0, h = 0;
  if (ctx && image > 0)
    vgImageSize(ctx, image, &w, &h);
  SetBitmap(static_cast<std::uintptr_t>(image), w, h, static_cast<float>(scale), 1.f);
}

IGraphicsVG::Bitmap::Bitmap(IGraphicsVG* owner, VGcontext* ctx, int w, int h, float scale, float drawScale)
: mOwner(owner), mVG(ctx)
{
  mFBO = ctx ? mvgCreateFramebuffer(ctx, w, h, 0) : nullptr;
  if (mFBO) {
    mvgBindFramebuffer(mFBO);
    mvgClearWithColor(ctx, vgRGBAf(0, 0, 0, 0));
    // An empty frame makes the clear happen now.
    vgBeginFrame(ctx, static_cast<float>(w), static_cast<float>(h), 1.f);
    vgEndFrame(ctx);
  }
  SetBitmap(static_cast<std::uintptr_t>(mFBO ? mFBO->image : 0), w, h, scale, drawScale);
}

IGraphicsVG::Bitmap::Bitmap(VGcontext* ctx, int w, int h, const unsigned char* pixels, float scale, float drawScale)
: mVG(ctx)
{
  const int image = ctx ? vgCreateImageRGBA(ctx, w, h, 0, pixels) : 0;
  SetBitmap(static_cast<std::uintptr_t>(image), w, h, scale, drawScale);
}

IGraphicsVG::Bitmap::~Bitmap()
{
  if (mShared)
    return;
  if (mFBO) {
    if (mOwner)
      mOwner->DeleteFBO(mFBO);
    else
      mvgDeleteFramebuffer(mFBO);
  } else if (mVG && GetBitmap() != 0)
    vgDeleteImage(mVG, static_cast<int>(GetBitmap()));
}

// ---- Framebuffer deletion -----------------------------------------------------

void IGraphicsVG::DeleteFBO(MVGframebuffer* fb)
{
  if (!fb)
    return;
  std::lock_guard<std::recursive_mutex> lock(mFBOMutex);
  if (mInDraw)
    mDeferredFBOs.push_back(fb);
  else
    mvgDeleteFramebuffer(fb);
}

void IGraphicsVG::ClearFBOStack()
{
  std::lock_guard<std::recursive_mutex> lock(mFBOMutex);
  while (!mDeferredFBOs.empty()) {
    mvgDeleteFramebuffer(mDeferredFBOs.back());
    mDeferredFBOs.pop_back();
  }
}

int IGraphicsVG::NDeferredFBOs()
{
  std::lock_guard<std::recursive_mutex> lock(mFBOMutex);
  return static_cast<int>(mDeferredFBOs.size());
}

int IGraphicsVG::NCachedBitmaps()
{
  std::lock_guard<std::recursive_mutex> lock(mBitmapCache.mMutex);
  return mBitmapCache.Size();
}

// ---- Loading --------------------------------------------------------------------

IBitmap IGraphicsVG::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale)
{
  if (!name)
    return IBitmap();
  if (targetScale == 0)
    targetScale = WholeScale(GetScreenScale());
  std::lock_guard<std::recursive_mutex> lock(mBitmapCache.mMutex);
  APIBitmap* api = mBitmapCache.Find(name, targetScale);
  if (!api) {
    const char* dot = std::strrchr(name, '.');
    const char* ext = dot ? dot + 1 : name;
    UT_String path;
    int sourceScale = 0;
    const int location = SearchImageResource(name, ext, path, targetScale, sourceScale);
    if (location <= 0 || !BitmapExtSupported(ext))
      return IBitmap();
    // A lower density found for this target was cached under its own scale.
    api = mBitmapCache.Find(name, sourceScale);
    if (!api) {
      api = LoadAPIBitmap(path.Get(), sourceScale, location, ext);
      if (!api || api->GetBitmap() == 0) {
        delete api;
        return IBitmap();
      }
      mBitmapCache.Add(api, name, sourceScale);
    }
  }
  return IBitmap(api, nStates, framesAreHorizontal, name);
}

IBitmap IGraphicsVG::LoadBitmapFromData(const char* name, const void* data, int dataSize, int nStates,
                                        bool framesAreHorizontal, int /*targetScale*/)
{
  if (!name)
    return IBitmap();
  const char* dot = std::strrchr(name, '.');
  if (!BitmapExtSupported(dot ? dot + 1 : name))
    return IBitmap();
  std::lock_guard<std::recursive_mutex> lock(mBitmapCache.mMutex);
  APIBitmap* api = mBitmapCache.Find(name, 1);
  if (!api && data && dataSize > 0)
    api = LoadAPIBitmapFromData(name, data, dataSize, 1);
  if (!api || api->GetBitmap() == 0)
    return IBitmap();
  return IBitmap(api, nStates, framesAreHorizontal, name);
}

APIBitmap* IGraphicsVG::LoadAPIBitmap(const char* path, int scale, int location, const char* /*ext*/)
{
  int image = 0;
  if (location == 1 && mVG) {
    ActivateDrawContext();
    image = vgCreateImage(mVG, path, 0);
    DeactivateDrawContext();
  }
  return new Bitmap(mVG, image, location == 3, scale);
}

APIBitmap* IGraphicsVG::LoadAPIBitmapFromData(const char* name, const void* data, int dataSize, int scale)
{
  std::lock_guard<std::recursive_mutex> lock(mBitmapCache.mMutex);
  if (APIBitmap* cached = mBitmapCache.Find(name, scale))
    return cached;
  int image = 0;
  if (mVG && data && dataSize > 0) {
    ActivateDrawContext();
    image = vgCreateImageMem(mVG, 0, static_cast<unsigned char*>(const_cast<void*>(data)), dataSize);
    DeactivateDrawContext();
  }
  auto* bitmap = new Bitmap(mVG, image, false, scale);
  mBitmapCache.Add(bitmap, name, scale);
  return bitmap;
}

APIBitmap* IGraphicsVG::CreateAPIBitmap(int width, int height, float scale, double drawScale, bool)
{
  if (mInDraw && mVG)
    vgEndFrame(mVG);
  auto* bitmap =
    new Bitmap(this, mVG, width, height, static_cast<float>(WholeScale(scale)), static_cast<float>(drawScale));
  // Drawing goes on where it was: into the open layer, if any.
  if (mInDraw && mVG)
    BeginTargetFrame();
  return bitmap;
}

// ---- Layer pixels ------------------------------------------------------------------

void IGraphicsVG::GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data)
{
  if (!layer || !layer->mBitmap || !mVG)
    return;
  const APIBitmap& b = *layer->mBitmap;
  const long long n = PixelBytes(b.GetWidth(), b.GetHeight());
  if (n < 0)
    return;
  data.Resize(static_cast<int>(n));
  if (data.GetSize() < n)
    return;
  // Pushing and popping ends the frame, so the layer's drawing has landed.
  PushLayer(layer.get());
  mvgReadPixels(mVG, static_cast<int>(b.GetBitmap()), 0, 0, b.GetWidth(), b.GetHeight(), data.Get());
  PopLayer();
}

void IGraphicsVG::ReplaceLayerBitmapData(ILayerPtr& layer, const RawBitmapData& data)
{
  if (!layer || !layer->mBitmap || !mVG)
    return;
  const APIBitmap& b = *layer->mBitmap;
  const long long n = PixelBytes(b.GetWidth(), b.GetHeight());
  if (n < 0 || data.GetSize() < n)
    return;
  Bitmap pixels(mVG, b.GetWidth(), b.GetHeight(), data.Get(), static_cast<float>(WholeScale(b.GetScale())),
                b.GetDrawScale());
  const IBitmap bitmap(&pixels, 1, false);
  PushLayer(layer.get());
  DrawBitmap(bitmap, layer->mRECT, 0, 0, nullptr);
  PopLayer();
}

void IGraphicsVG::ApplyShadowMask(ILayerPtr& layer, RawBitmapData& mask, const IShadow& shadow)
{
  if (!layer || !layer->mBitmap || !mVG)
    return;
  const APIBitmap& b = *layer->mBitmap;
  const int w = b.GetWidth(), h = b.GetHeight();
  const long long n = PixelBytes(w, h);
  if (n < 0 || mask.GetSize() < n)
    return;
  const IRECT bounds = layer->mRECT;

  if (!shadow.mDrawForeground) {
    PushLayer(layer.get());
    vgGlobalCompositeBlendFunc(mVG, VG_ZERO, VG_ZERO);
    PathRect(bounds);
    vgFillColor(mVG, vgRGBAf(0, 0, 0, 0));
    vgFill(mVG);
    vgGlobalCompositeOperation(mVG, VG_SOURCE_OVER);
    vgBeginPath(mVG);
    PopLayer();
  }

  Bitmap maskImage(mVG, w, h, mask.Get(), static_cast<float>(WholeScale(b.GetScale())), b.GetDrawScale());
  const IBitmap maskBitmap(&maskImage, 1, false);
  ILayer shadowLayer(std::unique_ptr<APIBitmap>(CreateAPIBitmap(w, h, b.GetScale(), b.GetDrawScale())), bounds, nullptr,
                     IRECT());
  const IBitmap shadowBitmap(shadowLayer.mBitmap.get(), 1, false);

  PathTransformSave();
  PushLayer(layer.get());
  PushLayer(&shadowLayer);
  DrawBitmap(maskBitmap, bounds, 0, 0, nullptr);
  PathRect(bounds);
  PathTransformTranslate(-shadow.mXOffset, -shadow.mYOffset);
  const IBlend sourceIn{kBlendSourceIn, 1.f};
  PathFill(shadow.mPattern, IFillOptions(), &sourceIn);
  PopLayer();
  const IBlend behind{kBlendDestOver, std::clamp(shadow.mOpacity, 0.f, 1.f)};
  IRECT moved = bounds;
  moved.Translate(shadow.mXOffset, shadow.mYOffset);
  DrawBitmap(shadowBitmap, moved, 0, 0, &behind);
  PopLayer();
  PathTransformRestore();
}

// ---- Fonts ------------------------------------------------------------------------

bool IGraphicsVG::LoadAPIFont(const char* fontID, const PlatformFontPtr& font)
{
  if (!fontID || !mVG)
    return false;
  StaticStorage<IFontData>& cache = FontDataCache::Storage();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  const auto add = [&](const IFontData& data) {
    return vgCreateFontMemAtIndex(mVG, fontID, const_cast<unsigned char*>(data.Get()), data.GetSize(), 0,
                                  data.GetFaceIdx()) != -1;
  };
  if (const IFontData* cached = cache.Find(fontID, 1.0))
    return add(*cached);
  IFontDataPtr data = font ? font->GetFontData() : nullptr;
  if (!data || !data->IsValid() || !add(*data))
    return false;
  cache.Add(data.release(), fontID, 1.0);
  return true;
}

} // namespace plugin::igraphics
