// Event dispatch: hit testing, pointer capture per touch, hover, wheel,
// keys, drops, context menus and the corner-drag resize; values, messages
// and keys the editor delegate passes on.

#include <algorithm>
#include <vector>

#include "FloatToInt.h"
#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IPluginStructs.h"

namespace plugin::igraphics {

namespace {

// Calls f(paramIdx) for every value record of c linked to a parameter.
template <class F> void ForLinkedParams(const IControl& c, F f)
{
  for (int v = 0; v < c.NVals(); ++v)
    if (const int p = c.GetParamIdx(v); p >= 0)
      f(p);
}

} // namespace

void IGraphics::ReleaseMouseCapture()
{
  // Every press held here ends as its release would have ended it: no
  // control stays pressed and no host gesture stays open.
  auto held = std::move(mCapturedMap);
  mCapturedMap.clear();
  IMouseInfo at;
  at.x = mCursorX;
  at.y = mCursorY;
  for (const auto& [id, c] : held) {
    // An earlier handler may have removed it.
    if (!HoldsControl(c))
      continue;
    at.ms.touchID = id;
    EndPress(*c, at, false);
  }
  if (mCursorHidden)
    HideMouseCursor(false, true);
}

void IGraphics::EndPress(IControl& c, const IMouseInfo& at, bool released)
{
  // Read first: the handler may remove the control.
  std::vector<int> params;
  ForLinkedParams(c, [&](int p) { params.push_back(p); });
  if (released)
    c.OnMouseUp(at.x, at.y, at.ms);
  else
    c.OnTouchCancelled(at.x, at.y, at.ms);
  mDelegate->OnUIMouseUp();
  for (const int p : params)
    mDelegate->EndInformHostOfParamChangeFromUI(p);
}

void IGraphics::EndPressOf(const IMouseInfo& pt, bool released)
{
  const auto it = mCapturedMap.find(pt.ms.touchID);
  if (it == mCapturedMap.end())
    return;
  IControl* c = it->second;
  // Erased first: whatever the handler does, the press ends once.
  mCapturedMap.erase(it);
  EndPress(*c, pt, released);
}

void IGraphics::EndPresses(const IMouseInfoList& points, bool released)
{
  for (const IMouseInfo& pt : points)
    EndPressOf(pt, released);
}

bool IGraphics::HoldsControl(const IControl* c) const
{
  return c && (mControls.Find(c) >= 0 || c == mCornerResizer.get() || c == mPopupControl.get() ||
               c == mTextEntryControl.get() || c == mPerfDisplay.get());
}

bool IGraphics::ControlIsCaptured(const IControl* control) const
{
  for (const auto& [id, c] : mCapturedMap)
    if (c == control)
      return true;
  return false;
}

void IGraphics::GetTouches(IControl* control, std::vector<std::uint64_t>& touchIds) const
{
  for (const auto& [id, c] : mCapturedMap)
    if (c == control)
      touchIds.push_back(id);
}

int IGraphics::GetMouseControlIdx(float x, float y, bool mouseOver)
{
  if (mouseOver && !mEnableMouseOver)
    return -1;
  const int lowest = mouseOver ? 1 : 0; // the background never hovers
  for (int i = NControls() - 1; i >= lowest; --i) {
    IControl* c = mControls.Get(i);
    if (c->IsHidden() || c->GetIgnoreMouse())
      continue;
    const bool allowedWhenDisabled = mouseOver ? c->GetMouseOverWhenDisabled() : c->GetMouseEventsWhenDisabled();
    if (c->IsDisabled() && !allowedWhenDisabled)
      continue;
    if (c->IsHit(x, y))
      return i;
  }
  return -1;
}

IControl* IGraphics::GetMouseControl(float x, float y, bool capture, bool mouseOver, std::uint64_t touchId)
{
  if (const auto it = mCapturedMap.find(touchId); it != mCapturedMap.end())
    return it->second;

  IControl* control = nullptr;
  int idx = -1;
  if (PopupIsOpen())
    control = mPopupControl.get();
  else if (TextEntryIsEditing())
    control = mTextEntryControl.get();
  else if (mCornerResizer && mCornerResizer->GetRECT().Contains(x, y))
    control = mCornerResizer.get();
  else if (mPerfDisplay && mPerfDisplay->GetRECT().Contains(x, y))
    control = mPerfDisplay.get();
  else {
    idx = GetMouseControlIdx(x, y, mouseOver);
    control = idx >= 0 ? mControls.Get(idx) : nullptr;
  }

  if (control && capture) {
    if (mEnableMultiTouch && !control->GetWantsMultiTouch() && ControlIsCaptured(control))
      return nullptr;
    mCapturedMap.emplace(touchId, control);
  }
  if (mouseOver)
    mMouseOverIdx = idx;
  return control;
}

void IGraphics::OnMouseDown(const IMouseInfoList& points)
{
  if (points.size() == 1) {
    mMouseDownX = points[0].x;
    mMouseDownY = points[0].y;
  }
  for (const IMouseInfo& pt : points) {
    // A touch still held (its release went to another window, or its source
    // repeats the down) is not pressed twice: the held press is dropped, so
    // no host gesture opens over one still open.
    EndPressOf(pt, false);
    IControl* c = GetMouseControl(pt.x, pt.y, true, false, pt.ms.touchID);
    if (!c)
      continue;
    const int valIdx = std::max(c->GetValIdxForPos(pt.x, pt.y), 0);
    const int paramIdx = c->GetParamIdx(valIdx);
    if (pt.ms.R && paramIdx >= 0 && !c->GetNoContextMenu()) {
      // This press opened nothing to close.
      mCapturedMap.erase(pt.ms.touchID);
      ReleaseMouseCapture();
      PopupHostContextMenuForParam(c, pt.x, pt.y);
      return;
    }
    ForLinkedParams(*c, [this](int p) { mDelegate->BeginInformHostOfParamChangeFromUI(p); });
    mDelegate->OnUIMouseDown();
    c->OnMouseDown(pt.x, pt.y, pt.ms);
  }
}

void IGraphics::OnMouseUp(const IMouseInfoList& points)
{
  EndPresses(points, true);
  if (mResizingInProcess)
    EndDragResize();
  if (points.size() == 1 && points[0].ms.touchID == 0)
    OnMouseOver(points[0].x, points[0].y, points[0].ms);
}

void IGraphics::OnMouseDrag(const IMouseInfoList& points)
{
  if (mResizingInProcess && points.size() == 1) {
    OnDragResize(points[0].x, points[0].y);
    return;
  }
  if (mCapturedMap.empty())
    return;
  for (const IMouseInfo& pt : points) {
    const auto it = mCapturedMap.find(pt.ms.touchID);
    if (it == mCapturedMap.end())
      continue;
    IControl* c = it->second;
    // While a text entry is open only the drawn text-entry control drags.
    if (mInTextEntry && c != mTextEntryControl.get())
      continue;
    if (pt.dX != 0.f || pt.dY != 0.f)
      c->OnMouseDrag(pt.x, pt.y, pt.dX, pt.dY, pt.ms);
  }
}

void IGraphics::OnTouchCancelled(const IMouseInfoList& points) { EndPresses(points, false); }

void IGraphics::OnDragResize(float x, float y)
{
  int w = mWidth, h = mHeight;
  float scale = mDrawScale;
  if (mGUISizeMode == 1) {
    w = FloatToInt<int>(x);
    h = FloatToInt<int>(y);
  } else if (mGUISizeMode == 0) {
    // A press on the left or top edge gives no ratio on that axis.
    const bool useX = mMouseDownX > 0.f;
    const bool useY = mMouseDownY > 0.f;
    if (!useX && !useY)
      return;
    const float sx = useX ? x * mDrawScale / mMouseDownX : 0.f;
    const float sy = useY ? y * mDrawScale / mMouseDownY : 0.f;
    scale = (useX && useY) ? std::min(sx, sy) : (useX ? sx : sy);
  } else
    return;
  Resize(w, h, scale, true);
}

void IGraphics::EndDragResize()
{
  mResizingInProcess = false;
  if (mGUISizeMode == 0)
    ForAllControls(&IControl::OnRescale);
  SetAllControlsDirty();
}

bool IGraphics::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  IControl* c = GetMouseControl(x, y, false, true);
  if (c != mMouseOver) {
    if (mMouseOver)
      mMouseOver->OnMouseOut();
    mMouseOver = c;
  }
  if (c)
    c->OnMouseOver(x, y, mod);
  return c != nullptr;
}

void IGraphics::OnMouseOut()
{
  mCursorType = SetMouseCursor(0);
  ForAllControls(&IControl::OnMouseOut);
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
}

bool IGraphics::OnMouseDblClick(float x, float y, const IMouseMod& mod)
{
  IMouseInfo info;
  info.x = x;
  info.y = y;
  info.ms = mod;
  info.ms.touchID = 0;
  // A press whose release was lost ends before the click finds its control.
  EndPressOf(info, false);
  IControl* c = GetMouseControl(x, y, true);
  if (!c)
    return false;
  // The hit test's capture is no press: the press below makes its own, and a
  // double click has nothing to end.
  mCapturedMap.erase(0);
  if (c->GetMouseDblAsSingleClick()) {
    info.ms = mod;
    OnMouseDown({info});
  } else {
    c->OnMouseDblClick(x, y, mod);
    ReleaseMouseCapture();
  }
  return true;
}

void IGraphics::OnMouseWheel(float x, float y, const IMouseMod& mod, float delta)
{
  if (IControl* c = GetMouseControl(x, y, false))
    c->OnMouseWheel(x, y, mod, delta);
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key)
{
  IControl* c = GetMouseControl(x, y, false);
  if (c && c != GetControl(0) && c->OnKeyDown(x, y, key))
    return true;
  return mKeyHandlerFunc ? mKeyHandlerFunc(key, false) : false;
}

bool IGraphics::OnKeyUp(float x, float y, const IKeyPress& key)
{
  IControl* c = GetMouseControl(x, y, false);
  if (c && c != GetControl(0) && c->OnKeyUp(x, y, key))
    return true;
  return mKeyHandlerFunc ? mKeyHandlerFunc(key, true) : false;
}

void IGraphics::OnDrop(const char* str, float x, float y)
{
  if (IControl* c = GetMouseControl(x, y, false))
    c->OnDrop(str);
}

void IGraphics::OnFocusLost()
{
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
  ReleaseMouseCapture();
  // Closed, not hidden: a hidden menu or field would still take clicks and keys.
  if (PopupIsOpen()) {
    mPopupSlot->CollapseWithoutChoice();
    if (mInPopupMenu)
      SetControlValueAfterPopupMenu(nullptr);
  }
  if (TextEntryIsEditing()) {
    mTextEntrySlot->DismissEdit();
    mInTextEntry = nullptr;
  }
}

void IGraphics::OnAppearanceChanged(EUIAppearance appearance)
{
  if (mAppearanceChangedFunc)
    mAppearanceChangedFunc(appearance);
}

void IGraphics::SetLastClickedParamFromPoint(float x, float y)
{
  const int idx = GetMouseControlIdx(x, y, false);
  mLastClickedParam = idx >= 0 ? GetControlParamIdx(idx) : -1;
}

int IGraphics::GetLastClickedParam()
{
  const int p = mLastClickedParam;
  mLastClickedParam = -1;
  return p;
}

// ---- From the editor delegate ----------------------------------------------

void IGraphics::SendControlValueFromDelegate(int ctrlTag, double normalizedValue)
{
  if (IControl* c = GetControlWithTag(ctrlTag))
    c->SetValueFromDelegate(normalizedValue, 0);
}

void IGraphics::SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* data)
{
  if (IControl* c = GetControlWithTag(ctrlTag))
    c->OnMsgFromDelegate(msgTag, dataSize, data);
}

void IGraphics::SendParameterValueFromDelegate(int paramIdx, double normalizedValue)
{
  for (int i = 0; i < NControls(); ++i) {
    IControl* c = GetControl(i);
    for (int v = 0; v < c->NVals(); ++v)
      if (c->GetParamIdx(v) == paramIdx)
        c->SetValueFromDelegate(normalizedValue, v);
  }
}

void IGraphics::SendMidiMsgFromDelegate(const IMidiMsg& msg)
{
  for (int i = 0; i < NControls(); ++i)
    if (IControl* c = GetControl(i); c->GetWantsMidi())
      c->OnMidi(msg);
}

bool IGraphics::KeyDownFromDelegate(const IKeyPress& key)
{
  float x = 0.f, y = 0.f;
  GetMouseLocation(x, y);
  return OnKeyDown(x, y, key);
}

bool IGraphics::KeyUpFromDelegate(const IKeyPress& key)
{
  float x = 0.f, y = 0.f;
  GetMouseLocation(x, y);
  return OnKeyUp(x, y, key);
}

} // namespace plugin::igraphics
