#pragma once
// The drawing back end on the vector engine: every path, paint, text, bitmap
// and layer operation of the graphics core becomes engine calls, drawn by the
// GPU renderer. Each frame is drawn into one offscreen main framebuffer the
// size of the editor in device pixels, then copied to the view's drawable.
// Abstract: the platform object completes it. Main thread only; the bitmap
// cache, the deferred deletions and the process-wide font-data cache each
// have their own recursive mutex.

#include <deque>
#include <mutex>

#include "APIBitmap.h"
#include "IGraphics.h"
#include "StaticStorage.h"
#include "VG.h"

struct MVGframebuffer;

namespace plugin::igraphics {

class IGraphicsVG : public IGraphics {
public:
  // An engine image: a plain image, or the texture of a layer framebuffer.
  class Bitmap : public APIBitmap {
  public:
    // An existing engine image; a shared one is never released here.
    Bitmap(VGcontext* ctx, int image, bool shared, double scale);
    // A cleared framebuffer of w x h pixels owned by owner (receives its deletion).
    Bitmap(IGraphicsVG* owner, VGcontext* ctx, int w, int h, float scale, float drawScale);
    // A copy of w x h RGBA pixels, rows top first.
    Bitmap(VGcontext* ctx, int w, int h, const unsigned char* pixels, float scale, float drawScale);
    ~Bitmap() override;

    MVGframebuffer* GetFBO() const { return mFBO; }

  private:
    IGraphicsVG* mOwner = nullptr;
    VGcontext* mVG = nullptr;
    MVGframebuffer* mFBO = nullptr;
    bool mShared = false;
  };

  IGraphicsVG(IGEditorDelegate& dlg, int w, int h, int fps, float scale);
  ~IGraphicsVG() override;

  void BeginFrame() override;
  void OnViewInitialized(void* layer) override;
  void OnViewDestroyed() override;
  // Without a main framebuffer nothing is shown, but the frame still ends:
  // the in-draw flag clears and deferred framebuffers are freed.
  void EndFrame() override;

  void DrawBitmap(const IBitmap& bitmap, const IRECT& dest, int srcX, int srcY, const IBlend* blend) override;
  // A dash length of 0 or less draws a solid line.
  void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend, float thickness,
                      float dashLen) override;
  void DrawDottedRect(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness,
                      float dashLen) override;
  void DrawFastDropShadow(const IRECT& innerBounds, const IRECT& outerBounds, float xyDrop, float roundness, float blur,
                          const IBlend* blend) override;

  IColor GetDefaultColor() const override { return IColor(255, 0, 0, 0); }
  void* GetDrawContext() override { return mVG; }
  const char* GetDrawingAPIStr() override { return "VG | Metal"; }
  void RetainBitmap(const IBitmap&, const char*) override {}
  void ReleaseBitmap(const IBitmap&) override {}
  bool BitmapExtSupported(const char* ext) override;

  void UpdateLayer() override;
  void PathClear() override;
  void PathClose() override;
  void PathArc(float cx, float cy, float r, float a1, float a2, int winding) override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathSetWinding(int clockwise) override;
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override;
  // Dash settings are not applied.
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                  const IBlend* blend) override;
  void PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) override;
  void PathTransformSetMatrix(const IMatrix& m) override;
  void SetClipRegion(const IRECT& r) override;
  void DrawResize() override;
  bool IsContextReady() const override { return mContextReady; }
  void SetContextReady(bool ready) override { mContextReady = ready; }

  IBitmap LoadBitmap(const char* name, int nStates = 1, bool framesAreHorizontal = false, int targetScale = 0) override;
  // The bitmap cache is the one owner of what is loaded; a denser screen
  // draws the one copy scaled, as for bitmaps loaded by name.
  IBitmap LoadBitmapFromData(const char* name, const void* data, int dataSize, int nStates = 1,
                             bool framesAreHorizontal = false, int targetScale = 0) override;
  APIBitmap* LoadAPIBitmap(const char* path, int scale, int location, const char* ext) override;
  APIBitmap* LoadAPIBitmapFromData(const char* name, const void* data, int dataSize, int scale) override;
  APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale, bool cacheable = false) override;
  void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) override;
  void ApplyShadowMask(ILayerPtr& layer, RawBitmapData& mask, const IShadow& shadow) override;
  void ReplaceLayerBitmapData(ILayerPtr& layer, const RawBitmapData& data) override;
  bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) override;
  int AlphaChannelIndex() const override { return 3; }
  bool FlippedBitmap() const override { return false; }
  float DoMeasureText(const IText& text, const char* str, IRECT& bounds) override;
  void DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend) override;

  // Inside a frame the renderer may still read fb: it waits for the frame's end.
  void DeleteFBO(MVGframebuffer* fb);
  // Frees every deferred framebuffer, last deferred first.
  void ClearFBOStack();
  // Empties the process-wide font-data cache; registered for program exit.
  static void FontDataCacheAtExit();

  // For tests: what is waiting, cached and in a frame.
  int NDeferredFBOs();
  int NCachedBitmaps();
  bool InDraw() const { return mInDraw; }
  MVGframebuffer* GetMainFBO() const { return mMainFBO; }

private:
  // Frame size in points (truncated) and pixels of the main framebuffer.
  float FrameW() const;
  float FrameH() const;
  // Binds the top layer's framebuffer, or the main one, and begins a frame on it.
  void BeginTargetFrame();
  VGcolor ToColor(const IColor& c, const IBlend* blend) const;
  void SetBlend(const IBlend* blend);
  VGpaint ToPaint(const IPattern& pattern, const IBlend* blend, bool& solid);
  // Sets alignment, font and size; returns the anchor in x, y and the
  // measured extent in r.
  void PrepareText(const IText& text, const char* str, IRECT& r, float& x, float& y);

  bool mInDraw = false;
  std::recursive_mutex mFBOMutex;
  std::deque<MVGframebuffer*> mDeferredFBOs;
  StaticStorage<APIBitmap> mBitmapCache;
  VGcontext* mVG = nullptr;
  MVGframebuffer* mMainFBO = nullptr;
  bool mContextReady = false;
};

} // namespace plugin::igraphics
