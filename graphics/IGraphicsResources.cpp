// Loading bitmaps by name over pixel densities, SVG documents and raw
// resource files, through the two process-wide caches; background controls.

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

#include "FloatToInt.h"
#include "IControl.h"
#include "IGraphics.h"
#include "PixelDensity.h"
#include "PluginPaths.h"
#include "ResourceCaches.h"
#include "SVGParser.h"

namespace plugin::igraphics {

namespace {

// The name's extension from its last '.' inclusive, not looking past a
// folder separator; "" when there is none.
const char* DottedExtension(const char* name)
{
  for (const char* p = name + std::strlen(name); p > name;) {
    --p;
    if (*p == '/' || *p == '\\')
      break;
    if (*p == '.')
      return p;
  }
  return name + std::strlen(name);
}

// The text after the last '.', or the whole name when it has none.
const char* BareExtension(const char* name)
{
  const char* dot = std::strrchr(name, '.');
  return dot ? dot + 1 : name;
}

void FreeSVG(SVGImage* image) { svgDelete(image); }

// A found or newly loaded bitmap at the target scale. The newly loaded
// source goes when its scaled copy is made; a cached one stays.
IBitmap HandOutBitmap(IGraphics& graphics, APIBitmap* bitmap, std::unique_ptr<APIBitmap> loaded, const char* name,
                      int nStates, bool framesAreHorizontal, int targetScale)
{
  if (!bitmap)
    return IBitmap();
  if (bitmap->GetScale() != static_cast<float>(targetScale))
    return graphics.ScaleBitmap(IBitmap(bitmap, nStates, framesAreHorizontal, name), name, targetScale);
  if (loaded)
    graphics.RetainBitmap(IBitmap(loaded.release(), nStates, framesAreHorizontal, name), name);
  return IBitmap(bitmap, nStates, framesAreHorizontal, name);
}

} // namespace

int IGraphics::SearchImageResource(const char* name, const char* type, UT_String& result, int targetScale,
                                   int& sourceScale)
{
  if (targetScale < 1 || !name) {
    sourceScale = targetScale;
    return 0;
  }
  const char* ext = DottedExtension(name);
  const int baseLen = static_cast<int>(ext - name);
  // A growable string: the density digits may need more room than one.
  UT_String candidate;
  for (int s = targetScale; s >= 1; s = NextPixelDensity(s, targetScale)) {
    if (s == 1)
      candidate.Set(name);
    else {
      if (baseLen > 0)
        candidate.Set(name, baseLen);
      else
        candidate.Set("");
      candidate.AppendFormatted(32 + static_cast<int>(std::strlen(ext)), "@%dx%s", s, ext);
    }
    if (LocateResource(candidate.Get(), type, result, GetBundleID(), mSharedResourcesSubPath.Get())) {
      sourceScale = s;
      return 1;
    }
  }
  return 0;
}

APIBitmap* IGraphics::SearchBitmapInCache(const char* name, int targetScale, int& sourceScale)
{
  StaticStorage<APIBitmap>& cache = BitmapCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  for (int s = targetScale; s >= 1; s = NextPixelDensity(s, targetScale))
    if (APIBitmap* hit = cache.Find(name, s)) {
      sourceScale = s;
      return hit;
    }
  return nullptr;
}

IBitmap IGraphics::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale)
{
  if (!name)
    return IBitmap();
  if (targetScale == 0)
    targetScale = FloatToInt<int>(mScreenScale);
  StaticStorage<APIBitmap>& cache = BitmapCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  if (APIBitmap* hit = cache.Find(name, targetScale))
    return IBitmap(hit, nStates, framesAreHorizontal, name);
  const char* ext = BareExtension(name);
  if (!BitmapExtSupported(ext))
    return IBitmap();

  UT_String path;
  int sourceScale = 0;
  APIBitmap* bitmap = nullptr;
  std::unique_ptr<APIBitmap> loaded;
  const int location = SearchImageResource(name, ext, path, targetScale, sourceScale);
  if (location == 0)
    bitmap = SearchBitmapInCache(name, targetScale, sourceScale);
  else {
    if (sourceScale != targetScale)
      bitmap = cache.Find(name, sourceScale);
    if (!bitmap) {
      loaded.reset(LoadAPIBitmap(path.Get(), sourceScale, location, ext));
      bitmap = loaded.get();
    }
  }
  return HandOutBitmap(*this, bitmap, std::move(loaded), name, nStates, framesAreHorizontal, targetScale);
}

IBitmap IGraphics::LoadBitmapFromData(const char* name, const void* data, int dataSize, int nStates,
                                      bool framesAreHorizontal, int targetScale)
{
  if (!name)
    return IBitmap();
  if (targetScale == 0)
    targetScale = FloatToInt<int>(mScreenScale);
  StaticStorage<APIBitmap>& cache = BitmapCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  if (APIBitmap* hit = cache.Find(name, targetScale))
    return IBitmap(hit, nStates, framesAreHorizontal, name);
  if (!BitmapExtSupported(BareExtension(name)))
    return IBitmap();
  int sourceScale = 0;
  APIBitmap* bitmap = SearchBitmapInCache(name, targetScale, sourceScale);
  std::unique_ptr<APIBitmap> loaded;
  if (!bitmap && data && dataSize > 0) {
    loaded.reset(LoadAPIBitmapFromData(name, data, dataSize, 1));
    bitmap = loaded.get();
  }
  return HandOutBitmap(*this, bitmap, std::move(loaded), name, nStates, framesAreHorizontal, targetScale);
}

IBitmap IGraphics::ScaleBitmap(const IBitmap& bitmap, const char* name, int scale)
{
  APIBitmap* source = bitmap.GetAPIBitmap();
  if (!source || !(source->GetDrawScale() > 0.f))
    return IBitmap();
  const float savedScreenScale = mScreenScale, savedDrawScale = mDrawScale;
  mScreenScale = static_cast<float>(scale);
  mDrawScale = source->GetDrawScale();
  const IRECT bounds(0.f, 0.f, static_cast<float>(bitmap.W()) / mDrawScale,
                     static_cast<float>(bitmap.H()) / mDrawScale);
  StartLayer(nullptr, bounds);
  DrawBitmap(bitmap, bounds, 0, 0, nullptr);
  ILayerPtr layer = EndLayer();
  mScreenScale = savedScreenScale;
  mDrawScale = savedDrawScale;
  if (!layer || !layer->mBitmap)
    return IBitmap();
  const IBitmap copy(layer->mBitmap.release(), bitmap.N(), bitmap.GetFramesAreHorizontal(), name);
  RetainBitmap(copy, name);
  return copy;
}

IBitmap IGraphics::ReloadBitmapForScale(const IBitmap& bitmap)
{
  return LoadBitmap(bitmap.GetResourceName(), bitmap.N(), bitmap.GetFramesAreHorizontal(),
                    FloatToInt<int>(mScreenScale));
}

ISVG IGraphics::LoadSVG(const char* name, const char* units, float dpi)
{
  if (!name)
    return ISVG();
  StaticStorage<SVGHolder>& cache = SVGCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  if (SVGHolder* hit = cache.Find(name, 1.0))
    return ISVG(hit->mImage);
  const RawBitmapData data = LoadResource(name, "svg");
  if (data.GetSize() == 0)
    return ISVG();
  return LoadSVGFromData(name, data.Get(), data.GetSize(), units, dpi);
}

ISVG IGraphics::LoadSVGFromData(const char* name, const void* data, int dataSize, const char* units, float dpi)
{
  if (!name || !data)
    return ISVG();
  StaticStorage<SVGHolder>& cache = SVGCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  if (SVGHolder* hit = cache.Find(name, 1.0))
    return ISVG(hit->mImage);
  // The parser cuts its text in place: it gets its own NUL-terminated copy.
  const char* bytes = static_cast<const char*>(data);
  const std::size_t len = dataSize > 0 ? strnlen(bytes, static_cast<std::size_t>(dataSize)) : std::strlen(bytes);
  UT_String text;
  text.Set(bytes, static_cast<int>(len));
  if (len > 0 && text.GetLength() != static_cast<int>(len))
    return ISVG();
  char none[1] = {'\0'};
  char* writable = len > 0 ? const_cast<char*>(text.Get()) : none;
  SVGImage* image = svgParse(writable, units ? units : "px", dpi);
  if (!image)
    return ISVG();
  cache.Add(new SVGHolder(image, &FreeSVG), name, 1.0);
  return ISVG(image);
}

RawBitmapData IGraphics::LoadResource(const char* name, const char* type)
{
  RawBitmapData result(4096);
  UT_String path;
  if (!name || !LocateResource(name, type, path, GetBundleID(), mSharedResourcesSubPath.Get()))
    return result;
  std::FILE* f = std::fopen(path.Get(), "rb");
  if (!f)
    return result;
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0)
    size = std::ftell(f);
  // A size that cannot be read (or is past what a buffer holds) gives nothing.
  if (size > 0 && size < 0x7fffffffL && std::fseek(f, 0, SEEK_SET) == 0) {
    const int n = static_cast<int>(size);
    if (result.Resize(n) && result.GetSize() == n) {
      if (std::fread(result.Get(), 1, static_cast<std::size_t>(n), f) != static_cast<std::size_t>(n))
        result.Resize(0);
    } else
      result.Resize(0);
  }
  std::fclose(f);
  return result;
}

IControl* IGraphics::AttachBackground(const char* fileName)
{
  if (!mControlMakers.bitmap)
    return nullptr;
  const IBitmap bitmap = LoadBitmap(fileName, 1, false, 0);
  return AttachBackgroundControl(mControlMakers.bitmap(0.f, 0.f, bitmap));
}

IControl* IGraphics::AttachSVGBackground(const char* fileName)
{
  if (!mControlMakers.svg)
    return nullptr;
  const ISVG svg = LoadSVG(fileName, "px", 72.f);
  return AttachBackgroundControl(mControlMakers.svg(GetBounds(), svg));
}

IControl* IGraphics::AttachPanelBackground(const IPattern& pattern)
{
  if (!mControlMakers.panel)
    return nullptr;
  IControl* panel = mControlMakers.panel(GetBounds(), pattern);
  if (panel)
    panel->SetIgnoreMouse(true);
  return AttachBackgroundControl(panel);
}

} // namespace plugin::igraphics
