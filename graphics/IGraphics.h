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
#include "PlatformFont.h"
#include "UT_PtrList.h"
#include "UT_String.h"

namespace plugin {
struct IMidiMsg;
}

namespace plugin::igraphics {

class IControl;
class IGEditorDelegate;

class IGraphics : public IEditorGraphics
{
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

  virtual void DrawBitmap(const IBitmap& bitmap, const IRECT& bounds, int srcX, int srcY,
                          const IBlend* blend = nullptr) = 0;
  virtual void DrawFittedBitmap(const IBitmap& bitmap, const IRECT& bounds, const IBlend* blend = nullptr);
  virtual void DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY, double angle,
                                 const IBlend* blend = nullptr);
  virtual void DrawPoint(const IColor& color, float x, float y, const IBlend* blend = nullptr);
  virtual void DrawLine(const IColor& color, float x1, float y1, float x2, float y2,
                        const IBlend* blend = nullptr, float thickness = 1.f);
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
  virtual void DrawConvexPolygon(const IColor& color, float* x, float* y, int nPoints,
                                 const IBlend* blend = nullptr, float thickness = 1.f);
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
  virtual void FillConvexPolygon(const IColor& color, float* x, float* y, int nPoints,
                                 const IBlend* blend = nullptr);

  // 0 for a null or empty string, bounds left as passed; otherwise the
  // width, bounds set to the text's aligned extent.
  virtual float MeasureText(const IText& text, const char* str, IRECT& bounds) const;

  virtual IColor GetDefaultColor() const = 0;
  virtual void* GetDrawContext() = 0;
  virtual const char* GetDrawingAPIStr() = 0;
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
  virtual void RegisterGestureType(EGestureType type);
  virtual bool IsContextReady() const { return false; }
  virtual void SetContextReady(bool) {}
  // New bitmaps the caller owns; null on failure.
  virtual APIBitmap* LoadAPIBitmap(const char* fileNameOrResID, int scale, int location, const char* ext) = 0;
  virtual APIBitmap* LoadAPIBitmapFromData(const char* name, const void* pData, int dataSize, int scale) = 0;
  virtual APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale,
                                     bool cacheable = false) = 0;
  virtual bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) = 0;
  virtual int AlphaChannelIndex() const = 0;
  virtual bool FlippedBitmap() const = 0;
  virtual float DoMeasureText(const IText& text, const char* str, IRECT& bounds) const = 0;
  virtual void DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend) = 0;
  virtual float GetTotalScale() const { return mDrawScale * mScreenScale; }

  bool LoadFontByName(const char* fontID, const char* fontName, ETextStyle style = kTextStyleRegular);

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
  void SetScaleLimits(float lo, float hi) { mMinScale = lo; mMaxScale = hi; }
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
  template <class Method, class... Args>
  void ForAllControls(Method method, Args... args)
  {
    ForAllControlsFunc([&](IControl* c) { (c->*method)(args...); });
  }
  template <class Method, class... Args>
  void ForMatchingControls(Method method, int paramIdx, Args... args)
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

  void EnableMouseOver(bool enable) { mEnableMouseOver = enable; }
  bool MouseOverEnabled() const { return mEnableMouseOver; }
  void EnableMultiTouch(bool enable) { mEnableMultiTouch = enable; }
  bool MultiTouchEnabled() const { return mEnableMultiTouch; }
  void SetKeyHandlerFunc(KeyHandlerFunc func) { mKeyHandlerFunc = std::move(func); }
  void SetDisplayTickFunc(DisplayTickFunc func) { mDisplayTickFunc = std::move(func); }
  void SetResizingInProcess(bool resizing) { mResizingInProcess = resizing; }
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
  // Resets the transform to the identity, discarding saved states when asked.
  void PathTransformReset(bool clearStates = false);
  void PathTransformSave() { mTransformStates.push(mTransform); }
  void PathTransformRestore();
  void PathTransformTranslate(float x, float y);
  void PathTransformScale(float x, float y);
  void PathTransformRotate(float degrees);
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
  // The slots hold framework controls outside the list; each special
  // control class installs itself through these.
  using PopupOpenFunc = std::function<void(IPopupMenu&, const IRECT&)>;
  using TextEntryOpenFunc = std::function<void(int paramIdx, const IText&, const IRECT&, int length, const char*)>;
  using FrameTimeFunc = std::function<void(float seconds)>;

  // Each returns false (and destroys nothing) when its slot is taken, except
  // the corner resizer, whose newcomer is destroyed as the attach rule asks.
  bool SetCornerResizerSlot(IControl* control, int sizeMode, bool layoutOnResize);
  bool SetPerfDisplaySlot(IControl* control, FrameTimeFunc update);
  void AddBubbleSlot(IControl* control);
  bool SetPopupMenuSlot(IControl* control, std::function<bool()> isOpen, PopupOpenFunc open);
  bool SetTextEntrySlot(IControl* control, std::function<bool()> isEditing, TextEntryOpenFunc open);
  void RemovePopupMenuControl();
  void RemoveTextEntryControl();
  void RemovePerfDisplay();
  IControl* GetCornerResizer() const { return mCornerResizer.get(); }
  IControl* GetPerfDisplay() const { return mPerfDisplay.get(); }
  IControl* GetPopupMenuControl() const { return mPopupControl.get(); }
  IControl* GetTextEntryControl() const { return mTextEntryControl.get(); }
  int NBubbles() const { return mBubbleControls.GetSize(); }
  IControl* GetBubble(int i) const { return mBubbleControls.Get(i); }
  // Which bubble answers a request of caller: -1 when none is attached or,
  // with multi-touch, when the caller is not held by exactly one touch.
  // bubbleTouchId gives each bubble's current touch id.
  int SelectBubble(IControl* caller, const std::function<std::uint64_t(int)>& bubbleTouchId);

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
  IControl* GetControlInPopupMenu() const { return mInPopupMenu; }
  IPopupMenu& GetPromptMenu() { return mPromptPopupMenu; }

protected:
  // The attach steps shared by every attach operation.
  void AttachSteps(IControl* control);
  void RemoveControlAt(int idx);
  // Clears capture, hover and prompt pointers that name control.
  void ForgetControl(const IControl* control);
  void ResizeApply(int w, int h, float scale, bool needsPlatformResize);
  int PlatformSize(int units) const;
  bool PopupIsOpen() const { return mPopupControl && mPopupIsOpen && mPopupIsOpen(); }
  bool TextEntryIsEditing() const { return mTextEntryControl && mTextEntryIsEditing && mTextEntryIsEditing(); }

  UT_PtrList<IControl> mControls;
  std::unordered_map<int, IControl*> mCtrlTags;
  std::unique_ptr<IControl> mCornerResizer;
  UT_PtrList<IControl> mBubbleControls;
  std::unique_ptr<IControl> mPopupControl;
  std::unique_ptr<IControl> mPerfDisplay;
  std::unique_ptr<IControl> mTextEntryControl;
  std::unique_ptr<IControl> mOwnedControl;
  IPopupMenu mPromptPopupMenu;
  UT_String mSharedResourcesSubPath;
  int mCursorType = 0;
  int mWidth;
  int mHeight;
  int mFPS;
  float mScreenScale = 1.f;
  float mDrawScale;
  int mReservedInt = 0;
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
  bool mReservedFlag1 = false;
  bool mReservedFlag2 = false;
  bool mResizingInProcess = false;
  bool mLayoutOnResize = false;
  bool mEnableMultiTouch = false;
  int mGUISizeMode = 0;
  double mPrevTimestamp = 0.0;
  KeyHandlerFunc mKeyHandlerFunc;
  DisplayTickFunc mDisplayTickFunc;
  IGEditorDelegate* mDelegate;
  bool mCursorHidden = false;
  bool mCursorLock = false;
  bool mTabletInput = false;
  float mCursorX = -1.f;
  float mCursorY = -1.f;
  float mXTranslation = 0.f;
  float mYTranslation = 0.f;
  std::stack<ILayer*> mLayers;
  IRECT mClipRECT;
  IMatrix mTransform;
  std::stack<IMatrix> mTransformStates;

  ClockFunc mClock;
  std::function<bool()> mPopupIsOpen;
  std::function<bool()> mTextEntryIsEditing;
  PopupOpenFunc mPopupOpen;
  TextEntryOpenFunc mTextEntryOpen;
  FrameTimeFunc mFrameTimeUpdate;
};

} // namespace plugin::igraphics
