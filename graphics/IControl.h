#pragma once
// Base of every editor element. A control owns a drawing rectangle, a hit
// rectangle, value records (normalised 0..1, optionally linked to a plug-in
// parameter) and three function objects. IGraphics owns, attaches, routes
// events to, animates and draws it; the control reaches the plug-in only
// through its editor delegate. Main thread only.
//
// Value indices: -1 means every record; a control with exactly one record
// treats any index as 0 in SetDirty and SetValueToDefault. Any other index
// outside the records is ignored (reads give 0 / -1 / null).

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "IGraphicsEvents.h"
#include "IGraphicsStructs.h"
#include "UT_String.h"

namespace plugin {
class IParam;
struct IMidiMsg;
} // namespace plugin

namespace plugin::igraphics {

class IControl;
class IGraphics;
class IGEditorDelegate;
class IPopupMenu;

using IActionFunction = std::function<void(IControl*)>;
using IAnimationFunction = std::function<void(IControl*)>;

class IControl {
public:
  struct ValueRecord {
    int idx = -1;       // linked parameter, -1 for none
    double value = 0.0; // normalised
  };

  IControl(const IRECT& bounds, int paramIdx = -1, IActionFunction action = nullptr);
  IControl(const IRECT& bounds, const std::vector<int>& paramIdcs, IActionFunction action = nullptr);
  IControl(const IRECT& bounds, IActionFunction action);
  virtual ~IControl();

  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Events (IGraphics routes them here).
  virtual void OnMouseDown(float x, float y, const IMouseMod& mod);
  virtual void OnMouseUp(float, float, const IMouseMod&) {}
  virtual void OnMouseDrag(float, float, float, float, const IMouseMod&) {}
  virtual void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  virtual void OnMouseWheel(float, float, const IMouseMod&, float) {}
  virtual bool OnKeyDown(float, float, const IKeyPress&) { return false; }
  virtual bool OnKeyUp(float, float, const IKeyPress&) { return false; }
  virtual void OnMouseOver(float x, float y, const IMouseMod& mod);
  virtual void OnMouseOut();
  // A press ended without its release (touch cancelled, focus lost, capture
  // dropped): by default it ends as the release would.
  virtual void OnTouchCancelled(float x, float y, const IMouseMod& mod) { OnMouseUp(x, y, mod); }
  virtual void OnDrop(const char*) {}
  virtual void OnRescale() {}
  virtual void OnResize() {}
  virtual void OnInit() {}
  virtual void OnAttached() {}
  virtual void OnMsgFromDelegate(int, int, const void*) {}
  virtual void OnMidi(const IMidiMsg&) {}
  virtual bool OnGesture(const IGestureInfo& info);
  virtual void CreateContextMenu(IPopupMenu&) {}
  virtual void OnPopupMenuSelection(IPopupMenu* menu, int valIdx);
  virtual void OnTextEntryCompletion(const char*, int) {}
  virtual void OnContextSelection(int) {}

  virtual void Draw(IGraphics& g) = 0;
  virtual void DrawParamHighlight(IGraphics& g);

  // Values.
  virtual void SetParamIdx(int paramIdx, int valIdx = 0);
  virtual int GetValIdxForPos(float x, float y) const;
  virtual void SetValueFromDelegate(double value, int valIdx = 0);
  virtual void SetValueFromUserInput(double value, int valIdx = 0);
  virtual void SetValueToDefault(int valIdx = -1);
  // Stores value as is (no clamp); an index outside the records is ignored.
  virtual void SetValue(double value, int valIdx = 0);

  // Geometry and state.
  virtual void SetPosition(float x, float y);
  virtual void SetSize(float w, float h);
  virtual void Hide(bool hide);
  virtual void SetDisabled(bool disable);
  virtual bool IsHit(float x, float y) const;
  virtual void SetDirty(bool triggerAction = true, int valIdx = -1);
  virtual void SetClean() { mDirty = false; }
  virtual bool IsDirty() { return mAnimationFunc ? true : mDirty; }
  virtual void OnIdle() {}
  virtual void SnapToMouse(float x, float y, EDirection direction, const IRECT& bounds, int valIdx = -1,
                           double minClip = 0.0, double maxClip = 1.0);
  virtual void OnEndAnimation();

  // Parameter links.
  const IParam* GetParam(int valIdx = 0) const;
  int GetParamIdx(int valIdx = 0) const;
  int GetValIdxForParamIdx(int paramIdx) const;
  bool LinkedToParam(int paramIdx) const { return GetValIdxForParamIdx(paramIdx) >= 0; }
  double GetValue(int valIdx = 0) const;
  int NVals() const { return static_cast<int>(mVals.size()); }

  // Animation: the animation function runs once per frame while set and
  // decides itself when to call OnEndAnimation.
  void Animate();
  // Elapsed fraction of the running animation (not clamped; 1 minus it when
  // running backward). 0 without an animation function; a duration of 0 or
  // less counts as already finished.
  double GetAnimationProgress() const;
  void StartAnimation(int durationMs, bool forward = true);
  bool GetAnimationFunction() const { return static_cast<bool>(mAnimationFunc); }
  void SetAnimation(IAnimationFunction func) { mAnimationFunc = std::move(func); }
  void SetAnimation(IAnimationFunction func, int durationMs, bool forward = true)
  {
    mAnimationFunc = std::move(func);
    StartAnimation(durationMs, forward);
  }
  void SetAnimationEndActionFunction(IActionFunction func) { mAnimationEndActionFunc = std::move(func); }
  double GetAnimationDuration() const { return mAnimationDuration; }

  // Prompts.
  void PromptUserInput(int valIdx = 0);
  void PromptUserInput(const IRECT& bounds, int valIdx = 0);

  IControl* AttachGestureRecognizer(EGestureType type, IGestureFunc func);
  bool HasGestures() const { return !mGestureFuncs.empty(); }
  EGestureType GetLastGesture() const { return mLastGesture; }

  void SetParamHighlight(bool on, int colourIdx);

  // Plain fields.
  const IRECT& GetRECT() const { return mRECT; }
  void SetRECT(const IRECT& r) { mRECT = r; }
  const IRECT& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetRECT(const IRECT& r) { mTargetRECT = r; }
  void SetTargetAndDrawRECTs(const IRECT& r)
  {
    mRECT = mTargetRECT = r;
    mMouseIsOver = false;
    OnResize();
  }

  const char* GetGroup() const { return mGroup.Get(); }
  void SetGroup(const char* group) { mGroup.Set(group ? group : ""); }
  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTooltip(const char* tip) { mTooltip.Set(tip ? tip : ""); }
  const IText& GetText() const { return mText; }
  void SetText(const IText& text) { mText = text; }
  const IBlend& GetBlend() const { return mBlend; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }

  bool IsHidden() const { return mHide; }
  bool IsDisabled() const { return mDisabled; }
  bool GetMouseIsOver() const { return mMouseIsOver; }
  void SetMouseIsOver(bool over) { mMouseIsOver = over; }
  bool GetIgnoreMouse() const { return mIgnoreMouse; }
  void SetIgnoreMouse(bool ignore) { mIgnoreMouse = ignore; }
  bool GetMouseOverWhenDisabled() const { return mMouseOverWhenDisabled; }
  void SetMouseOverWhenDisabled(bool v) { mMouseOverWhenDisabled = v; }
  bool GetMouseEventsWhenDisabled() const { return mMouseEventsWhenDisabled; }
  void SetMouseEventsWhenDisabled(bool v) { mMouseEventsWhenDisabled = v; }
  bool GetMouseDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetMouseDblAsSingleClick(bool v) { mDblAsSingleClick = v; }
  bool GetPromptDisabled() const { return mDisablePrompt; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  bool GetPromptShowsParamLabel() const { return mPromptShowsParamLabel; }
  void SetPromptShowsParamLabel(bool v) { mPromptShowsParamLabel = v; }
  bool GetNoContextMenu() const { return mNoContextMenu; }
  void SetNoContextMenu(bool v) { mNoContextMenu = v; }
  bool GetWantsMidi() const { return mWantsMidi; }
  void SetWantsMidi(bool v) { mWantsMidi = v; }
  bool GetWantsMultiTouch() const { return mMultiTouch; }
  void SetWantsMultiTouch(bool v) { mMultiTouch = v; }
  bool GetHighlightOn() const { return mHighlightOn; }
  const IColor& GetHighlightColor() const { return mHighlightColor; }

  void SetActionFunction(IActionFunction func) { mActionFunc = std::move(func); }
  const IActionFunction& GetActionFunction() const { return mActionFunc; }

  IGEditorDelegate* GetDelegate() const { return mDelegate; }
  void SetDelegate(IGEditorDelegate& dlg) { mDelegate = &dlg; }
  IGraphics* GetUI() const { return mGraphics; }
  void SetGraphics(IGraphics* g) { mGraphics = g; }

protected:
  bool ValidValIdx(int valIdx) const { return valIdx >= 0 && valIdx < NVals(); }
  // Milliseconds on the graphics context's monotonic clock.
  double NowMs() const;
  // value snapped, clamped and normalised through the parameter of valIdx.
  double NormalisedForParam(const IParam& p, double realValue) const;

  IRECT mRECT;
  IRECT mTargetRECT;
  UT_String mGroup;
  IText mText;
  IBlend mBlend;
  int mTextEntryLength = 7;
  bool mDirty = true;
  bool mHide = false;
  bool mDisabled = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMouseOverWhenDisabled = false;
  bool mMouseEventsWhenDisabled = false;
  bool mIgnoreMouse = false;
  bool mNoContextMenu = false;
  bool mWantsMidi = false;
  bool mMultiTouch = false;
  bool mPromptShowsParamLabel = false;
  bool mMouseIsOver = false;
  UT_String mTooltip;
  IColor mHighlightColor;
  bool mHighlightOn = false;
  IGEditorDelegate* mDelegate = nullptr;
  IGraphics* mGraphics = nullptr;
  IActionFunction mActionFunc;
  IActionFunction mAnimationEndActionFunc;
  IAnimationFunction mAnimationFunc;
  double mAnimationStartTime = 0.0;
  double mAnimationDuration = 0.0;
  bool mAnimationForward = true;
  std::vector<ValueRecord> mVals;
  std::unordered_map<EGestureType, IGestureFunc> mGestureFuncs;
  EGestureType mLastGesture = EGestureType::Unknown;
};

} // namespace plugin::igraphics
