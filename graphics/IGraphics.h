#pragma once
// The editor's drawing and interaction context: one per open editor window,
// created and owned by the editor delegate. Holds the controls (owned), the
// framework's special controls, window geometry and scale, the prompts, and
// the abstract path-based drawing interface that the back end and platform
// object implement. Abstract. Main thread only, except that construction and
// destruction count users of the process-wide resource caches under their
// mutexes.
//
// Coordinates are floats in unscaled GUI units; the total scale (draw scale
// x screen scale) applies only when drawing and aligning to pixels.

#include <cstdint>
#include <functional>
#include <memory>
#include <stack>
#include <unordered_map>
#include <vector>

#include "IBitmap.h"
#include "IEditorGraphics.h"
#include "IGraphicsEvents.h"
#include "IGraphicsStructs.h"
#include "IPopupMenu.h"
#include "IRECTList.h"
#include "ISVG.h"
#include "ISpecialControls.h"
#include "PlatformFont.h"
#include "UT_PtrList.h"
#include "UT_String.h"

namespace plugin {
struct IMidiMsg;
}

namespace plugin::igraphics {

class IControl;
class IGEditorDelegate;

class IGraphics : public IEditorGraphics {
public:
  using KeyHandlerFunc = std::function<bool(const IKeyPress&, bool isUp)>;
  using DisplayTickFunc = std::function<void()>;
  using AppearanceChangedFunc = std::function<void(EUIAppearance)>;
  using ClockFunc = std::function<double()>;

  IGraphics(IGEditorDelegate& dlg, int w, int h, int fps = 0, float scale = 1.f);
  virtual ~IGraphics();
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Frame, drawing and platform slots -------------------------------
  // In slot order (without the empty slots nothing calls). Pure slots belong
  // to the back end and platform object; the shape bodies here are built on
  // the path slots.
  virtual void BeginFrame();
  virtual void OnViewInitialized(void*) {}
  virtual void OnViewDestroyed() {}
  virtual void EndFrame() {}

  // Uniformly scaled from the top left of bounds, not centred; a document of
  // zero size draws nothing.
  virtual void DrawSVG(const ISVG& svg, const IRECT& bounds, const IBlend* blend = nullptr);
  virtual void DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width, float height,
                              double angle, const IBlend* blend = nullptr);
  virtual void DrawBitmap(const IBitmap& bitmap, const IRECT& bounds, int srcX, int srcY,
                          const IBlend* blend = nullptr) = 0;
  virtual void DrawFittedBitmap(const IBitmap& bitmap, const IRECT& bounds, const IBlend* blend = nullptr);
  virtual void DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY, double angle,
                                 const IBlend* blend = nullptr);
  virtual void DrawPoint(const IColor& color, float x, float y, const IBlend* blend = nullptr);
  virtual void DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  virtual void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                              const IBlend* blend = nullptr, float thickness = 1.f, float dashLen = 2.f);
  virtual void DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRect(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius = 5.f,
                             const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRoundRectCorners(const IColor& color, const IRECT& bounds, float cRTL, float cRTR, float cRBR,
                                    float cRBL, const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr,
                          float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr,
                           float thickness = 1.f);
  virtual void DrawEllipseRotated(const IColor& color, float x, float y, float r1, float r2, float angle,
                                  const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawConvexPolygon(const IColor& color, float* x, float* y, int nPoints, const IBlend* blend = nullptr,
                                 float thickness = 1.f);
  virtual void DrawDottedRect(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr,
                              float thickness = 1.f, float dashLen = 2.f);
  virtual void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlend* blend = nullptr);
  virtual void FillRect(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr);
  virtual void FillRectPattern(const IPattern& pattern, const IRECT& bounds, const IBlend* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius = 5.f,
                             const IBlend* blend = nullptr);
  virtual void FillRoundRectCorners(const IColor& color, const IRECT& bounds, float cRTL, float cRTR, float cRBR,
                                    float cRBL, const IBlend* blend = nullptr);
  virtual void FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr);
  virtual void FillEllipse(const IColor& color, const IRECT& bounds, const IBlend* blend = nullptr);
  virtual void FillEllipseRotated(const IColor& color, float x, float y, float r1, float r2, float angle,
                                  const IBlend* blend = nullptr);
  virtual void FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlend* blend = nullptr);
  virtual void FillConvexPolygon(const IColor& color, float* x, float* y, int nPoints, const IBlend* blend = nullptr);

  // 0 for a null or empty string, bounds left as passed; otherwise the
  // width, bounds set to the text's aligned extent. Not const: a back end
  // measures by selecting the font, size and blur in its drawing context.
  virtual float MeasureText(const IText& text, const char* str, IRECT& bounds);

  virtual IColor GetDefaultColor() const = 0;
  virtual void* GetDrawContext() = 0;
  virtual const char* GetDrawingAPIStr() = 0;
  // A copy drawn at another pixel density, retained in the bitmap cache.
  virtual IBitmap ScaleBitmap(const IBitmap& bitmap, const char* name, int scale);
  // The bitmap cache takes ownership of the bitmap's APIBitmap.
  virtual void RetainBitmap(const IBitmap& bitmap, const char* cacheName);
  // Deletes the cache entry holding the bitmap's APIBitmap; none, nothing.
  virtual void ReleaseBitmap(const IBitmap& bitmap);
  // ext without the dot.
  virtual bool BitmapExtSupported(const char* ext) = 0;
  virtual void DrawFastDropShadow(const IRECT&, const IRECT&, float, float, float, const IBlend*) {}
  // Lines a step in from the left and top edges, none on the edges; a step
  // of 1 or less draws no line along that axis.
  virtual void DrawGrid(const IColor& color, const IRECT& bounds, float gridSizeH, float gridSizeV,
                        const IBlend* blend = nullptr, float thickness = 1.f);
  // nPoints >= 1 normalised heights; null normXPoints spreads them evenly.
  // The first point always sits on the left edge.
  virtual void DrawData(const IColor& color, const IRECT& bounds, float* normYPoints, int nPoints,
                        float* normXPoints = nullptr, const IBlend* blend = nullptr, float thickness = 1.f);
  // False when the platform finds no font or the back end rejects it.
  virtual bool LoadFont(const char* fontID, const char* fileNameOrResID);
  virtual bool LoadFontFromData(const char* fontID, void* pData, int dataSize);
  // An empty data buffer means nothing could be read.
  virtual void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) = 0;
  virtual void ApplyShadowMask(ILayerPtr& layer, RawBitmapData& mask, const IShadow& shadow) = 0;
  virtual void ReplaceLayerBitmapData(ILayerPtr& layer, const RawBitmapData& data) = 0;
  virtual void UpdateLayer() {}
  virtual bool HasPathSupport() const { return true; }

  virtual void PathClear() = 0;
  virtual void PathClose() = 0;
  virtual void PathArc(float cx, float cy, float r, float a1, float a2, int winding = 0) = 0;
  virtual void PathMoveTo(float x, float y) = 0;
  virtual void PathLineTo(float x, float y) = 0;
  virtual void PathSetWinding(int) {}
  virtual void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) = 0;
  virtual void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) = 0;
  virtual void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                          const IBlend* blend) = 0;
  virtual void PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) = 0;
  virtual void PathTransformSetMatrix(const IMatrix& m) = 0;
  virtual void AfterDrawControlHook(const IRECT&) {}
  virtual void SetClipRegion(const IRECT& r) = 0;

  virtual void AttachPlatformView(const IRECT&, void*) {}
  virtual void RemovePlatformView(void*) {}
  virtual void GetMouseLocation(float& x, float& y) const = 0;
  virtual void HideMouseCursor(bool hide = true, bool lock = true) = 0;
  virtual void MoveMouseCursor(float x, float y) = 0;
  // Returns the type that was in use before.
  virtual int SetMouseCursor(int cursorType);
  virtual void EndUserInput(bool commit) = 0;
  void* OpenWindow(void* parent) override = 0;
  void CloseWindow() override = 0;
  virtual void* GetWindow() = 0;
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual bool GetTextFromClipboard(UT_String& str) = 0;
  virtual bool SetTextInClipboard(const char* str) = 0;
  virtual void UpdateTooltips() = 0;
  virtual int ShowMessageBox(const char* str, const char* caption, int type,
                             std::function<void(int)> completion = nullptr) = 0;
  virtual void PromptForFile(UT_String& fileName, UT_String& path, int action = 0, const char* ext = "") = 0;
  virtual void PromptForDirectory(UT_String& dir) = 0;
  virtual bool PromptForColor(IColor& color, const char* prompt, std::function<void(const IColor&)> done) = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  virtual const char* GetPlatformAPIStr() { return ""; }
  virtual bool RevealPath(const char*, bool) { return false; }
  virtual void* GetPlatformInstance() { return nullptr; }
  virtual void SetPlatformContext(void* ctx) { mPlatformContext = ctx; }
  // Each gives null when nothing could be loaded.
  virtual PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) = 0;
  virtual PlatformFontPtr LoadPlatformFontFromData(const char* fontID, void* pData, int dataSize) = 0;
  virtual PlatformFontPtr LoadPlatformFontByName(const char* fontID, const char* fontName, ETextStyle style) = 0;
  virtual void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) = 0;
  virtual const char* GetBundleID() { return ""; }
  virtual void ActivateDrawContext() {}
  virtual void DeactivateDrawContext() {}
  virtual void CreatePlatformTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length,
                                       const char* str) = 0;
  virtual IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRECT& bounds, bool& isAsync) = 0;
  virtual float GetPlatformWindowScale() const { return 1.f; }
  virtual void PlatformResize(bool) {}
  virtual void DrawResize() {}
  virtual bool GetDarkMode() const { return false; }
  // Target scale 0 means the screen scale. Empty when the extension is not
  // supported or no density of the name exists, on disk or in the cache.
  virtual IBitmap LoadBitmap(const char* name, int nStates = 1, bool framesAreHorizontal = false, int targetScale = 0);
  virtual IBitmap LoadBitmapFromData(const char* name, const void* data, int dataSize, int nStates = 1,
                                     bool framesAreHorizontal = false, int targetScale = 0);
  // Cached under (name, 1.0); a second load of the name ignores units and dpi.
  virtual ISVG LoadSVG(const char* name, const char* units = "px", float dpi = 72.f);
  // dataSize <= 0: data is NUL-terminated text.
  virtual ISVG LoadSVGFromData(const char* name, const void* data, int dataSize, const char* units = "px",
                               float dpi = 72.f);
  // The whole file; empty when it cannot be found, opened, sized or read.
  virtual RawBitmapData LoadResource(const char* name, const char* type);
  virtual void RegisterGestureType(EGestureType type);
  virtual bool IsContextReady() const { return false; }
  virtual void SetContextReady(bool) {}
  // New bitmaps the caller owns; null on failure.
  virtual APIBitmap* LoadAPIBitmap(const char* fileNameOrResID, int scale, int location, const char* ext) = 0;
  virtual APIBitmap* LoadAPIBitmapFromData(const char* name, const void* pData, int dataSize, int scale) = 0;
  virtual APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale, bool cacheable = false) = 0;
  virtual bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) = 0;
  virtual int AlphaChannelIndex() const = 0;
  virtual bool FlippedBitmap() const = 0;
  virtual float DoMeasureText(const IText& text, const char* str, IRECT& bounds) = 0;
  virtual void DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend) = 0;
  virtual float GetTotalScale() const { return mDrawScale * mScreenScale; }

  bool LoadFontByName(const char* fontID, const char* fontName, ETextStyle style = kTextStyleRegular);

  // ---- Text ----------------------------------------------------------------
  // Nothing for a null or empty string.
  void DrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend = nullptr);
  // Anchored at the point by the text's alignment.
  void DrawTextAt(const IText& text, const char* str, float x, float y, const IBlend* blend = nullptr);
  // For a non-zero angle: rect becomes the bounding box of the rotated rect
  // and (tx, ty) the offset that aligns it in bounds; angle 0 changes nothing.
  static void CalculateTextRotation(const IText& text, const IRECT& bounds, IRECT& rect, double& tx, double& ty);
  // rect becomes the rotated, aligned extent.
  static void DoMeasureTextRotation(const IText& text, const IRECT& bounds, IRECT& rect);

  // ---- Lines, bitmap frames and bitmap-font text -----------------------------
  // x in 0..1 across r, truncated to whole points.
  void DrawVerticalLine(const IColor& color, const IRECT& r, float x, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  void DrawVerticalLine(const IColor& color, float xi, float yLo, float yHi, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  // y in 0..1 measured up from the bottom of r.
  void DrawHorizontalLine(const IColor& color, const IRECT& r, float y, const IBlend* blend = nullptr,
                          float thickness = 1.f);
  void DrawHorizontalLine(const IColor& color, float yi, float xLo, float xHi, const IBlend* blend = nullptr,
                          float thickness = 1.f);
  // Angle 0 points up, growing clockwise.
  void DrawRadialLine(const IColor& color, float cx, float cy, float angle, float rMin, float rMax,
                      const IBlend* blend = nullptr, float thickness = 1.f);
  // Frames count from 1 and are clamped into the strip.
  void DrawBitmapFrame(const IBitmap& bitmap, const IRECT& bounds, int frame, const IBlend* blend = nullptr);
  // One frame per printable character from the space up; nothing for an
  // empty string or a character width of 0 or less.
  void DrawBitmapText(const IBitmap& bitmap, const IRECT& bounds, const IText& text, const IBlend* blend,
                      const char* str, bool vCenter = true, bool multiline = false, int charWidth = 6,
                      int charHeight = 12, int charOffset = 0);
  // Restyles every vector control of the list, in list order. The vector
  // base and its style live with the controls; cross-cast to reach them.
  template <class VectorBase, class Style> void StyleAllVectorControls(const Style& style)
  {
    ForControlListFunc([&](IControl* c) {
      if (auto* v = dynamic_cast<VectorBase*>(c))
        v->SetStyle(style);
    });
  }
  // An SVG paint as a pattern; gradient stops stay opaque whatever the opacity.
  static IPattern GetPatternFromSVGPaint(const SVGPaint& paint, float opacity);

  // ---- Layers ----------------------------------------------------------------
  // The new layer (bounds aligned outward to pixels) becomes the target.
  void StartLayer(IControl* control, const IRECT& r, bool cacheable = false);
  // Null when no layer is active.
  ILayerPtr EndLayer();
  // Takes the layer back (layer becomes null) and draws on into it.
  void ResumeLayer(ILayerPtr& layer);
  // True when the layer can be drawn again without redrawing it.
  bool CheckLayer(const ILayerPtr& layer);
  void DrawLayer(const ILayerPtr& layer, const IBlend* blend = nullptr);
  void DrawFittedLayer(const ILayerPtr& layer, const IRECT& bounds, const IBlend* blend = nullptr);
  void DrawRotatedLayer(const ILayerPtr& layer, double angle);
  // The content over its blurred, coloured, offset alpha; an empty or
  // zero-sized layer stays as it is.
  void ApplyLayerDropShadow(ILayerPtr& layer, const IShadow& shadow);
  void PushLayer(ILayer* layer);
  // Null for an empty stack (the transform and clip are still reset).
  ILayer* PopLayer();
  void ReplaceLayerBitmapDataFrom(ILayerPtr& layer, const RawBitmapData& data) { ReplaceLayerBitmapData(layer, data); }
  int NLayers() const { return static_cast<int>(mLayers.size()); }
  // An empty r clips to the whole current area (top layer or control clip).
  void PathClipRegion(const IRECT r = IRECT());

  // ---- Resources -------------------------------------------------------------
  // Location > 0 with the full path and its density in sourceScale, or 0.
  int SearchImageResource(const char* name, const char* type, UT_String& result, int targetScale, int& sourceScale);
  APIBitmap* SearchBitmapInCache(const char* name, int targetScale, int& sourceScale);
  IBitmap ReloadBitmapForScale(const IBitmap& bitmap);
  void SetSharedResourcesSubPath(const char* path) { mSharedResourcesSubPath.Set(path ? path : ""); }
  // The controls the context makes itself come from the controls library,
  // which installs its makers (graphics/ never names a control class). Each
  // background attach loads the resource and inserts the control at index 0.
  struct ControlMakers {
    std::function<IControl*(float x, float y, const IBitmap&)> bitmap;
    std::function<IControl*(const IRECT&, const ISVG&)> svg;
    std::function<IControl*(const IRECT&, const IPattern&)> panel;
    std::function<IControl*(const IRECT& corner, float size, const IColor& color, const IColor& mouseOverColor,
                            const IColor& dragColor)>
      cornerResizer;
    std::function<IControl*(const IText&)> bubble;
    std::function<IControl*(const IRECT&)> fpsDisplay;
    std::function<IControl*(const IText&, const IRECT& expandedBounds)> popupMenu;
    std::function<IControl*()> textEntry;
  };
  using BackgroundMakers = ControlMakers;
  void SetControlMakers(ControlMakers makers) { mControlMakers = std::move(makers); }
  void SetBackgroundMakers(BackgroundMakers makers) { SetControlMakers(std::move(makers)); }
  const ControlMakers& GetControlMakers() const { return mControlMakers; }
  // Null when no maker is installed; the control is made even when the
  // resource is missing (it then draws nothing).
  IControl* AttachBackground(const char* fileName);
  IControl* AttachSVGBackground(const char* fileName);
  IControl* AttachPanelBackground(const IPattern& pattern);

  // ---- Geometry --------------------------------------------------------
  void Resize(int w, int h, float scale, bool needsPlatformResize = true) override;
  // limitsApplyToUnscaledSize false: the limits bound the scaled size.
  void Resize(int w, int h, float scale, bool needsPlatformResize, bool limitsApplyToUnscaledSize);
  void SetScreenScale(float scale) override;
  void SetLayoutOnResize(bool layout) { mLayoutOnResize = layout; }
  IRECT GetBounds() const { return IRECT(0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight)); }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int FPS() const { return mFPS; }
  float GetDrawScale() const override { return mDrawScale; }
  float GetScreenScale() const { return mScreenScale; }
  float GetMinScale() const { return mMinScale; }
  float GetMaxScale() const { return mMaxScale; }
  void SetScaleLimits(float lo, float hi)
  {
    mMinScale = lo;
    mMaxScale = hi;
  }
  IGEditorDelegate* GetDelegate() const { return mDelegate; }
  void* GetPlatformContext() const { return mPlatformContext; }
  int GetCursorType() const { return mCursorType; }
  bool IsCursorHidden() const { return mCursorHidden; }

  // Monotonic milliseconds for animations and frame times; the steady clock
  // unless a clock function was installed (tests drive a virtual clock).
  double GetTimeMs() const;
  void SetClock(ClockFunc clock) { mClock = std::move(clock); }

  // ---- Control list ----------------------------------------------------
  // A tag already in use gives null; the control is not attached and stays
  // with the caller.
  IControl* AttachControl(IControl* control, int tag = -1, const char* group = "");
  // Null when out of range.
  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  int NControls() const { return mControls.GetSize(); }
  // Null for a tag that was never attached.
  IControl* GetControlWithTag(int tag) const;
  int GetControlIdx(const IControl* control) const { return mControls.Find(control); }
  void RemoveControlWithTag(int tag);
  void RemoveControls(int fromIdx);
  void RemoveControl(int idx);
  void RemoveControl(IControl* control);
  void RemoveAllControls();
  void SetControlPosition(int idx, float x, float y);
  void SetControlSize(int idx, float w, float h);
  void SetControlBounds(int idx, const IRECT& r);
  // Puts a background control at index 0 (no tag); backgrounds that need
  // bitmaps, SVG documents or panels come with those control classes.
  IControl* AttachBackgroundControl(IControl* control);

  void ForControlListFunc(const std::function<void(IControl*)>& func);
  void ForAllControlsFunc(const std::function<void(IControl*)>& func);
  template <class Method, class... Args> void ForAllControls(Method method, Args... args)
  {
    ForAllControlsFunc([&](IControl* c) { (c->*method)(args...); });
  }
  template <class Method, class... Args> void ForMatchingControls(Method method, int paramIdx, Args... args)
  {
    ForControlWithParam(paramIdx, [&](IControl* c) { (c->*method)(args...); });
  }
  void ForControlWithParam(int paramIdx, const std::function<void(IControl*)>& func);
  void ForControlInGroup(const char* group, const std::function<void(IControl*)>& func);

  void SetAllControlsDirty();
  void SetAllControlsClean();
  void HideControl(int paramIdx, bool hide);
  void DisableControl(int paramIdx, bool disable);
  void SetParamDirty(int paramIdx, bool triggerAction, int valIdx);
  void SetParamHighlightForParam(int paramIdx, bool on, int value);
  void OnGUIIdle();
  void AssignParamNameToolTips();
  void AssignParamNameToolTipsAuto();
  void EnableTooltips(bool enable);
  bool TooltipsEnabled() const { return mEnableTooltips; }
  void UpdatePeers(IControl* caller, int valIdx);
  int GetControlParamIdx(int idx) const;

  // ---- Event dispatch --------------------------------------------------
  void OnMouseDown(const IMouseInfoList& points);
  void OnMouseUp(const IMouseInfoList& points);
  void OnMouseDrag(const IMouseInfoList& points);
  void OnTouchCancelled(const IMouseInfoList& points);
  bool OnMouseOver(float x, float y, const IMouseMod& mod);
  void OnMouseOut();
  bool OnMouseDblClick(float x, float y, const IMouseMod& mod);
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float delta);
  bool OnKeyDown(float x, float y, const IKeyPress& key);
  bool OnKeyUp(float x, float y, const IKeyPress& key);

  // ---- From the editor delegate ------------------------------------------
  IGraphics* GetGraphics() override { return this; }
  void SendControlValueFromDelegate(int ctrlTag, double normalizedValue) override;
  void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* data) override;
  void SendParameterValueFromDelegate(int paramIdx, double normalizedValue) override;
  void SendMidiMsgFromDelegate(const IMidiMsg& msg) override;
  bool KeyDownFromDelegate(const IKeyPress& key) override;
  bool KeyUpFromDelegate(const IKeyPress& key) override;
  void OnDrop(const char* str, float x, float y);
  void OnFocusLost();
  void OnAppearanceChanged(EUIAppearance appearance);
  void OnDragResize(float x, float y);
  void EndDragResize();
  void ReleaseMouseCapture();
  IControl* GetMouseControl(float x, float y, bool capture, bool mouseOver = false, std::uint64_t touchId = 0);
  int GetMouseControlIdx(float x, float y, bool mouseOver = false);
  void SetLastClickedParamFromPoint(float x, float y);
  int GetLastClickedParam();
  void GetTouches(IControl* control, std::vector<std::uint64_t>& touchIds) const;
  bool ControlIsCaptured(const IControl* control) const;
  bool ControlIsCaptured() const { return !mCapturedMap.empty(); }
  IControl* GetMouseOver() const { return mMouseOver; }
  int GetMouseOverIdx() const { return mMouseOverIdx; }
  void SetMouseOverIdx(int idx) { mMouseOverIdx = idx; }
  // Where the last single-pointer press went down; (-1, -1) before any.
  void GetMouseDownPoint(float& x, float& y) const
  {
    x = mMouseDownX;
    y = mMouseDownY;
  }

  void EnableMouseOver(bool enable) { mEnableMouseOver = enable; }
  bool MouseOverEnabled() const { return mEnableMouseOver; }
  void EnableMultiTouch(bool enable) { mEnableMultiTouch = enable; }
  bool MultiTouchEnabled() const { return mEnableMultiTouch; }
  void SetKeyHandlerFunc(KeyHandlerFunc func) { mKeyHandlerFunc = std::move(func); }
  void SetDisplayTickFunc(DisplayTickFunc func) { mDisplayTickFunc = std::move(func); }
  void SetResizingInProcess(bool resizing) { mResizingInProcess = resizing; }
  // The corner drag's mode (0 scale, 1 size), settable at every press.
  void SetGUISizeMode(int mode) { mGUISizeMode = mode; }
  bool GetResizingInProcess() const { return mResizingInProcess; }
  int GetGUISizeMode() const { return mGUISizeMode; }

  // Set by the owner; called by OnAppearanceChanged.
  AppearanceChangedFunc mAppearanceChangedFunc;

  // ---- Dirty rectangles and frames -------------------------------------
  bool IsDirty(IRECTList& rects);
  void DrawDirtyRects(IRECTList& rects);
  void Draw(const IRECT& bounds, float scale);
  void DrawControl(IControl* control, const IRECT& bounds, float scale);
  void SetUnionDrawing(bool on);
  const IRECT& GetClipRECT() const { return mClipRECT; }
  // The area drawing is limited to: the top layer's bounds while a layer is
  // active, else the clip rectangle.
  IRECT GetCurrentClip() const { return mLayers.empty() ? mClipRECT : mLayers.top()->mRECT; }
  // Resets the transform to the identity, discarding saved states when asked.
  void PathTransformReset(bool clearStates = false);
  void PathTransformSave() { mTransformStates.push(mTransform); }
  void PathTransformRestore();
  void PathTransformTranslate(float x, float y);
  void PathTransformScale(float x, float y);
  void PathTransformRotate(float degrees);
  void PathTransformScale(float s) { PathTransformScale(s, s); }
  void PathTransformSkew(float xDegrees, float yDegrees);
  void PathTransformMatrix(const IMatrix& m);
  const IMatrix& GetTransform() const { return mTransform; }
  // Start at rMin, end at rMax, as DrawRadialLine.
  void PathRadialLine(float cx, float cy, float angle, float rMin, float rMax);
  void PathRect(const IRECT& bounds);
  void PathRoundRect(const IRECT& bounds, float cornerRadius);
  // Radii from the top left clockwise; none above 0 gives a plain rectangle.
  void PathRoundRect(const IRECT& bounds, float tl, float tr, float br, float bl);
  // Adds nothing for a radius of 0 or less.
  void PathEllipse(float x, float y, float r1, float r2, float angle = 0.f);
  void PathEllipse(const IRECT& bounds);
  void PathCircle(float cx, float cy, float r);
  void PathTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
  void PathConvexPolygon(const float* x, const float* y, int nPoints);

  // ---- Gestures and the computer keyboard ------------------------------
  void AttachGestureRecognizerToRegion(const IRECT& bounds, EGestureType type, IGestureFunc func);
  void ClearGestureRegions();
  bool RespondsToGesture(float x, float y);
  void OnGestureRecognized(const IGestureInfo& info);
  const std::vector<EGestureType>& GetRegisteredGestures() const { return mRegisteredGestures; }
  void SetQwertyMidiKeyHandlerFunc(std::function<void(const IMidiMsg&)> func = nullptr);

  // ---- Special controls and prompts ------------------------------------
  // Framework controls held outside the list. The popup menu, text entry,
  // bubbles and frame-rate display must implement their slot interface
  // (ISpecialControls.h); a control that does not is destroyed and the
  // attach answers false, as does an attach to a taken slot. A second corner
  // resizer is destroyed too.
  bool AttachCornerResizer(IControl* control, int sizeMode, bool layoutOnResize);
  // Made by the installed maker in the bottom-right corner, size / draw
  // scale square; false without a maker.
  bool AttachCornerResizer(int sizeMode, bool layoutOnResize, const IColor& color, const IColor& mouseOverColor,
                           const IColor& dragColor, float size = 20.f);
  bool AttachBubbleControl(IControl* control);
  bool AttachBubbleControl(const IText& text);
  bool AttachPopupMenuControl(IControl* control);
  bool AttachPopupMenuControl(const IText& text, const IRECT& expandedBounds = IRECT());
  bool AttachTextEntryControl(IControl* control);
  bool AttachTextEntryControl();
  bool AttachFPSDisplay(IControl* control);
  // Enabling makes the display through the installed maker (once);
  // disabling destroys it and clears the hover state.
  void ShowFPSDisplay(bool enable);
  void RemovePopupMenuControl();
  void RemoveTextEntryControl();
  void RemovePerfDisplay();
  // Nothing without a bubble, or with multi-touch when the caller is not
  // held by exactly one touch.
  void ShowBubbleControl(IControl* caller, float x, float y, const char* str, EDirection dir,
                         IRECT minimumContentBounds = IRECT(), std::uint64_t touchId = 0);
  IControl* GetCornerResizer() const { return mCornerResizer.get(); }
  IControl* GetPerfDisplay() const { return mPerfDisplay.get(); }
  IControl* GetPopupMenuControl() const { return mPopupControl.get(); }
  IControl* GetTextEntryControl() const { return mTextEntryControl.get(); }
  int NBubbles() const { return mBubbleControls.GetSize(); }
  IControl* GetBubble(int i) const { return mBubbleControls.Get(i); }
  // Which bubble answers a request of caller: -1 when none is attached or,
  // with multi-touch, when the caller is not held by exactly one touch.
  int SelectBubble(IControl* caller);
  bool PopupIsOpen() const { return mPopupSlot && mPopupSlot->IsMenuOpen(); }
  bool TextEntryIsEditing() const { return mTextEntrySlot && mTextEntrySlot->EditInProgress(); }

  void PromptUserInput(IControl& control, const IRECT& bounds, int valIdx);
  void CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx = -1,
                       bool isContext = false);
  void CreatePopupMenuForwarder(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx = -1)
  {
    CreatePopupMenu(control, menu, bounds, valIdx, false);
  }
  void CreateTextEntry(IControl& control, const IText& text, const IRECT& bounds, const char* str, int valIdx);
  void SetControlValueAfterTextEdit(const char* str);
  void SetControlValueAfterPopupMenu(IPopupMenu* menu);
  void PopupHostContextMenuForParam(IControl* control, float x, float y);
  void PopupHostContextMenuForParam(int controlIdx, float x, float y);
  IControl* GetControlInTextEntry() const { return mInTextEntry; }
  int GetTextEntryValIdx() const { return mTextEntryValIdx; }
  // A cancelled text entry: the requesting control gets nothing.
  void ClearTextEntryRecord() { mInTextEntry = nullptr; }
  IControl* GetControlInPopupMenu() const { return mInPopupMenu; }
  IPopupMenu& GetPromptMenu() { return mPromptPopupMenu; }

protected:
  // Closes the host's gesture bracket on every parameter the control links.
  void EndGesturesOf(const IControl& control);
  // The attach steps shared by every attach operation.
  void AttachSteps(IControl* control);
  void RemoveControlAt(int idx);
  // Clears capture, hover and prompt pointers that name control.
  void ForgetControl(const IControl* control);
  // A captured press ends: the control hears its release (or, without one,
  // its touch cancelled), then the host gesture the press opened closes.
  void EndPress(IControl& c, const IMouseInfo& at, bool released);
  // EndPress for the point when its touch is captured.
  void EndPressOf(const IMouseInfo& pt, bool released);
  // EndPress for each point whose touch is captured.
  void EndPresses(const IMouseInfoList& points, bool released);
  // The control is in the list or one of the special controls.
  bool HoldsControl(const IControl* c) const;
  void ResizeApply(int w, int h, float scale, bool needsPlatformResize);
  int PlatformSize(int units) const;

  UT_PtrList<IControl> mControls;
  std::unordered_map<int, IControl*> mCtrlTags;
  std::unique_ptr<IControl> mCornerResizer;
  UT_PtrList<IControl> mBubbleControls;
  std::unique_ptr<IControl> mPopupControl;
  std::unique_ptr<IControl> mPerfDisplay;
  std::unique_ptr<IControl> mTextEntryControl;
  IPopupMenu mPromptPopupMenu;
  UT_String mSharedResourcesSubPath;
  int mCursorType = 0;
  int mWidth;
  int mHeight;
  int mFPS;
  float mScreenScale = 1.f;
  float mDrawScale;
  std::vector<EGestureType> mRegisteredGestures;
  IRECTList mGestureRegions;
  std::unordered_map<int, IGestureFunc> mGestureRegionFuncs;
  std::unordered_map<std::uint64_t, IControl*> mCapturedMap;
  IControl* mMouseOver = nullptr;
  IControl* mInTextEntry = nullptr;
  IControl* mInPopupMenu = nullptr;
  void* mPlatformContext = nullptr;
  bool mIsContextMenu = false;
  int mTextEntryValIdx = -1;
  int mPopupMenuValIdx = -1;
  int mMouseOverIdx = -1;
  float mMouseDownX = -1.f;
  float mMouseDownY = -1.f;
  float mMinScale;
  float mMaxScale;
  int mLastClickedParam = -1;
  bool mEnableMouseOver = false;
  bool mUnionDrawing = false;
  bool mEnableTooltips = false;
  bool mResizingInProcess = false;
  bool mLayoutOnResize = false;
  bool mEnableMultiTouch = false;
  int mGUISizeMode = 0;
  double mPrevTimestamp = -1.0; // seconds; none before the first frame
  KeyHandlerFunc mKeyHandlerFunc;
  DisplayTickFunc mDisplayTickFunc;
  IGEditorDelegate* mDelegate;
  bool mCursorHidden = false;
  bool mCursorLock = false;
  bool mTabletInput = false;
  float mCursorX = -1.f;
  float mCursorY = -1.f;
  // Vectors keep their storage when popped, so drawing stays off the heap.
  std::stack<ILayer*, std::vector<ILayer*>> mLayers;
  IRECT mClipRECT;
  IMatrix mTransform;
  std::stack<IMatrix, std::vector<IMatrix>> mTransformStates;

  ClockFunc mClock;
  // Cross-cast sides of the special controls above; null with no control.
  IPopupMenuSlot* mPopupSlot = nullptr;
  ITextEntrySlot* mTextEntrySlot = nullptr;
  IFrameTimeSlot* mFrameTimeSlot = nullptr;
  ControlMakers mControlMakers;
};

} // namespace plugin::igraphics
