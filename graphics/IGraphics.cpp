// Construction, geometry and the control list of the graphics context.

#include "IGraphics.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "FloatToInt.h"
#include "IControl.h"
#include "APIBitmap.h"
#include "IGEditorDelegate.h"
#include "ResourceCaches.h"

namespace plugin::igraphics {

IGraphics::IGraphics(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
: mControls(4096), mBubbleControls(4096), mWidth(w), mHeight(h), mFPS(fps > 0 ? fps : 60), mDrawScale(scale),
  mMinScale(0.5f * scale), mMaxScale(2.f * scale), mDelegate(&dlg)
{
  mCtrlTags.max_load_factor(1.f);
  dlg.SetEditorSize(w, h);
  AddResourceCacheUser();
}

IGraphics::~IGraphics()
{
  // No cursor call may reach the platform while the object is torn down.
  mCursorHidden = false;
  RemoveAllControls();
  // Layers still pushed when the editor closes belong to nobody else.
  while (!mLayers.empty()) {
    delete mLayers.top();
    mLayers.pop();
  }
  RemoveResourceCacheUser();
}

double IGraphics::GetTimeMs() const
{
  if (mClock)
    return mClock();
  const auto ns =
    std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return static_cast<double>(ns) / 1e6;
}

int IGraphics::SetMouseCursor(int cursorType)
{
  const int previous = mCursorType;
  mCursorType = cursorType;
  return previous;
}

void IGraphics::RegisterGestureType(EGestureType type)
{
  if (std::find(mRegisteredGestures.begin(), mRegisteredGestures.end(), type) == mRegisteredGestures.end())
    mRegisteredGestures.push_back(type);
}

// ---- Geometry ------------------------------------------------------------

int IGraphics::PlatformSize(int units) const
{
  return FloatToInt<int>(static_cast<float>(FloatToInt<int>(units * mDrawScale)) * GetPlatformWindowScale());
}

void IGraphics::Resize(int w, int h, float scale, bool needsPlatformResize)
{
  Resize(w, h, scale, needsPlatformResize, true);
}

void IGraphics::Resize(int w, int h, float scale, bool needsPlatformResize, bool limitsApplyToUnscaledSize)
{
  const IGEditorDelegate& d = *mDelegate;
  scale = std::min(std::max(scale, mMinScale), mMaxScale);
  if (limitsApplyToUnscaledSize) {
    if (w < d.GetMinWidth() || w > d.GetMaxWidth() || h < d.GetMinHeight() || h > d.GetMaxHeight()) {
      w = std::clamp(w, d.GetMinWidth(), std::max(d.GetMinWidth(), d.GetMaxWidth()));
      h = std::clamp(h, d.GetMinHeight(), std::max(d.GetMinHeight(), d.GetMaxHeight()));
    }
  } else if (scale > 0.f) {
    const int sw = std::clamp(FloatToInt<int>(w * scale), d.GetMinWidth(), std::max(d.GetMinWidth(), d.GetMaxWidth()));
    const int sh =
      std::clamp(FloatToInt<int>(h * scale), d.GetMinHeight(), std::max(d.GetMinHeight(), d.GetMaxHeight()));
    w = FloatToInt<int>(sw / scale);
    h = FloatToInt<int>(sh / scale);
  }
  ResizeApply(w, h, scale, needsPlatformResize);
}

void IGraphics::ResizeApply(int w, int h, float scale, bool needsPlatformResize)
{
  if (w == mWidth && h == mHeight && scale == mDrawScale)
    return;
  ReleaseMouseCapture();
  mDrawScale = scale;
  mWidth = w;
  mHeight = h;
  if (mCornerResizer)
    mCornerResizer->OnRescale();
  PlatformResize(mDelegate->EditorResizeFromUI(PlatformSize(mWidth), PlatformSize(mHeight), needsPlatformResize));
  ForAllControls(&IControl::OnResize);
  SetAllControlsDirty();
  DrawResize();
  if (mLayoutOnResize)
    mDelegate->LayoutUI(this);
}

void IGraphics::SetScreenScale(float scale)
{
  mScreenScale = scale;
  PlatformResize(mDelegate->EditorResizeFromUI(PlatformSize(mWidth), PlatformSize(mHeight), true));
  ForAllControls(&IControl::OnRescale);
  SetAllControlsDirty();
  DrawResize();
}

// ---- Control list ---------------------------------------------------------

void IGraphics::AttachSteps(IControl* control)
{
  control->SetDelegate(*mDelegate);
  // The delegate owns exactly this context once it reports one; a context
  // not (yet) held by its delegate still hands the controls itself.
  control->SetGraphics(this);
  control->OnInit();
  control->OnResize();
  control->OnRescale();
}

IControl* IGraphics::AttachControl(IControl* control, int tag, const char* group)
{
  if (!control)
    return nullptr;
  if (tag >= 0 && !mCtrlTags.emplace(tag, control).second)
    return nullptr;
  AttachSteps(control);
  control->SetGroup(group ? group : "");
  if (!mControls.Add(control)) {
    // The list could not grow: undo the tag so the caller keeps the control.
    if (tag >= 0)
      mCtrlTags.erase(tag);
    return nullptr;
  }
  control->OnAttached();
  return control;
}

IControl* IGraphics::AttachBackgroundControl(IControl* control)
{
  if (!control)
    return nullptr;
  AttachSteps(control);
  if (!mControls.Insert(0, control))
    return nullptr;
  if (mMouseOverIdx >= 0)
    ++mMouseOverIdx;
  return control;
}

IControl* IGraphics::GetControlWithTag(int tag) const
{
  const auto it = mCtrlTags.find(tag);
  return it == mCtrlTags.end() ? nullptr : it->second;
}

void IGraphics::ForgetControl(const IControl* control)
{
  if (ControlIsCaptured(control)) {
    // The release will find no control: close the host gesture each press
    // on it opened, or the host keeps the parameters touched.
    for (auto it = mCapturedMap.begin(); it != mCapturedMap.end();) {
      if (it->second != control) {
        ++it;
        continue;
      }
      it = mCapturedMap.erase(it);
      mDelegate->OnUIMouseUp();
      EndGesturesOf(*control);
    }
    ReleaseMouseCapture();
  }
  if (control == mMouseOver) {
    mMouseOver = nullptr;
    mMouseOverIdx = -1;
  }
  if (control == mInTextEntry)
    mInTextEntry = nullptr;
  if (control == mInPopupMenu)
    mInPopupMenu = nullptr;
}

void IGraphics::RemoveControlAt(int idx)
{
  IControl* c = mControls.Get(idx);
  if (!c)
    return;
  ForgetControl(c);
  for (auto it = mCtrlTags.begin(); it != mCtrlTags.end(); ++it)
    if (it->second == c) {
      if (it->first >= 0)
        mCtrlTags.erase(it);
      break;
    }
  // The hovered control's index moves down with the list.
  if (mMouseOverIdx > idx)
    --mMouseOverIdx;
  mControls.Delete(idx, true);
}

void IGraphics::RemoveControlWithTag(int tag)
{
  IControl* c = GetControlWithTag(tag);
  if (!c)
    return;
  RemoveControlAt(mControls.Find(c));
  SetAllControlsDirty();
}

void IGraphics::RemoveControls(int fromIdx)
{
  for (int i = NControls() - 1; i >= std::max(fromIdx, 0); --i)
    RemoveControlAt(i);
  SetAllControlsDirty();
}

void IGraphics::RemoveControl(int idx)
{
  if (idx < 0 || idx >= NControls())
    return;
  RemoveControlAt(idx);
  SetAllControlsDirty();
}

void IGraphics::RemoveControl(IControl* control) { RemoveControl(mControls.Find(control)); }

void IGraphics::RemoveAllControls()
{
  // The editor is closing: nothing more may reach the controls or the
  // delegate, which may itself be going.
  mCapturedMap.clear();
  if (mCursorHidden)
    HideMouseCursor(false, true);
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
  mInTextEntry = nullptr;
  mInPopupMenu = nullptr;
  RemovePopupMenuControl();
  RemoveTextEntryControl();
  mCornerResizer.reset();
  mFrameTimeSlot = nullptr;
  mPerfDisplay.reset();
  mBubbleControls.Empty(true);
  mCtrlTags.clear();
  mControls.Empty(true);
}

void IGraphics::SetControlPosition(int idx, float x, float y)
{
  if (IControl* c = GetControl(idx)) {
    c->SetPosition(x, y);
    if (!c->IsHidden())
      SetAllControlsDirty();
  }
}

void IGraphics::SetControlSize(int idx, float w, float h)
{
  if (IControl* c = GetControl(idx)) {
    c->SetSize(w, h);
    if (!c->IsHidden())
      SetAllControlsDirty();
  }
}

void IGraphics::SetControlBounds(int idx, const IRECT& r)
{
  if (IControl* c = GetControl(idx)) {
    c->SetTargetAndDrawRECTs(r);
    if (!c->IsHidden())
      SetAllControlsDirty();
  }
}

// ---- Iteration -------------------------------------------------------------

void IGraphics::ForControlListFunc(const std::function<void(IControl*)>& func)
{
  for (int i = 0; i < NControls(); ++i)
    func(mControls.Get(i));
}

void IGraphics::ForAllControlsFunc(const std::function<void(IControl*)>& func)
{
  ForControlListFunc(func);
  if (mPerfDisplay)
    func(mPerfDisplay.get());
  if (mCornerResizer)
    func(mCornerResizer.get());
  if (mTextEntryControl)
    func(mTextEntryControl.get());
  if (mPopupControl)
    func(mPopupControl.get());
  for (int i = 0; i < mBubbleControls.GetSize(); ++i)
    func(mBubbleControls.Get(i));
}

void IGraphics::ForControlWithParam(int paramIdx, const std::function<void(IControl*)>& func)
{
  for (int i = 0; i < NControls(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->LinkedToParam(paramIdx))
      func(c);
  }
}

void IGraphics::ForControlInGroup(const char* group, const std::function<void(IControl*)>& func)
{
  for (int i = 0; i < NControls(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->GetGroup()[0] != '\0' && group && std::strcmp(c->GetGroup(), group) == 0)
      func(c);
  }
}

void IGraphics::SetAllControlsDirty()
{
  ForAllControlsFunc([](IControl* c) { c->SetDirty(false, -1); });
}

void IGraphics::SetAllControlsClean()
{
  ForAllControlsFunc([](IControl* c) { c->SetClean(); });
}

void IGraphics::HideControl(int paramIdx, bool hide)
{
  ForControlWithParam(paramIdx, [hide](IControl* c) { c->Hide(hide); });
}

void IGraphics::DisableControl(int paramIdx, bool disable)
{
  ForControlWithParam(paramIdx, [disable](IControl* c) { c->SetDisabled(disable); });
}

void IGraphics::SetParamDirty(int paramIdx, bool triggerAction, int valIdx)
{
  ForControlWithParam(paramIdx, [=](IControl* c) { c->SetDirty(triggerAction, valIdx); });
}

void IGraphics::SetParamHighlightForParam(int paramIdx, bool on, int value)
{
  ForControlWithParam(paramIdx, [=](IControl* c) { c->SetParamHighlight(on, value); });
}

void IGraphics::OnGUIIdle()
{
  ForAllControlsFunc([](IControl* c) { c->OnIdle(); });
}

void IGraphics::AssignParamNameToolTips()
{
  ForControlListFunc([](IControl* c) {
    if (const IParam* p = c->GetParam(0))
      c->SetTooltip(p->GetName());
  });
}

void IGraphics::AssignParamNameToolTipsAuto()
{
  ForControlListFunc([](IControl* c) {
    if (const IParam* p = c->GetParam(0); p && c->GetTooltip()[0] == '\0')
      c->SetTooltip(p->GetName());
  });
}

void IGraphics::EnableTooltips(bool enable)
{
  if (mEnableTooltips == enable)
    return;
  mEnableTooltips = enable;
  UpdateTooltips();
}

void IGraphics::UpdatePeers(IControl* caller, int valIdx)
{
  const int paramIdx = caller->GetParamIdx(valIdx);
  if (paramIdx < 0)
    return;
  const double value = caller->GetValue(valIdx);
  ForControlWithParam(paramIdx, [&](IControl* c) {
    if (c != caller)
      c->SetValueFromDelegate(value, c->GetValIdxForParamIdx(paramIdx));
  });
}

int IGraphics::GetControlParamIdx(int idx) const
{
  const IControl* c = GetControl(idx);
  return c ? c->GetParamIdx(0) : -1;
}

} // namespace plugin::igraphics
