// Special-control slots (corner resizer, bubbles, popup-menu and text-entry
// controls, frame-time display) and the user prompts with their completions.

#include <atomic>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

// Round-robin bubble for touches that hold no bubble yet, shared by every
// editor of the process.
std::atomic<int> sBubbleRoundRobin{0};

} // namespace

bool IGraphics::AttachCornerResizer(IControl* control, int sizeMode, bool layoutOnResize)
{
  if (!control)
    return false;
  if (mCornerResizer) {
    delete control;
    return false;
  }
  mCornerResizer.reset(control);
  mGUISizeMode = sizeMode;
  mLayoutOnResize = layoutOnResize;
  AttachSteps(control);
  return true;
}

bool IGraphics::AttachCornerResizer(int sizeMode, bool layoutOnResize, const IColor& color,
                                    const IColor& mouseOverColor, const IColor& dragColor, float size)
{
  if (!mControlMakers.cornerResizer || mCornerResizer)
    return false;
  const float s = size / mDrawScale;
  const IRECT corner(static_cast<float>(mWidth) - s, static_cast<float>(mHeight) - s, static_cast<float>(mWidth),
                     static_cast<float>(mHeight));
  return AttachCornerResizer(mControlMakers.cornerResizer(corner, size, color, mouseOverColor, dragColor), sizeMode,
                             layoutOnResize);
}

bool IGraphics::AttachFPSDisplay(IControl* control)
{
  auto* slot = dynamic_cast<IFrameTimeSlot*>(control);
  if (!slot || mPerfDisplay) {
    delete control;
    return false;
  }
  mPerfDisplay.reset(control);
  mFrameTimeSlot = slot;
  AttachSteps(control);
  SetAllControlsDirty();
  return true;
}

void IGraphics::ShowFPSDisplay(bool enable)
{
  if (!enable)
    RemovePerfDisplay();
  else if (!mPerfDisplay && mControlMakers.fpsDisplay)
    AttachFPSDisplay(mControlMakers.fpsDisplay(IRECT(10.f, 10.f, 210.f, 60.f)));
  SetAllControlsDirty();
}

void IGraphics::RemovePerfDisplay()
{
  if (mPerfDisplay)
    ForgetControl(mPerfDisplay.get());
  mPerfDisplay.reset();
  mFrameTimeSlot = nullptr;
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
  SetAllControlsDirty();
}

bool IGraphics::AttachBubbleControl(IControl* control)
{
  if (!dynamic_cast<IBubbleSlot*>(control)) {
    delete control;
    return false;
  }
  AttachSteps(control);
  if (!mBubbleControls.Add(control)) {
    delete control;
    return false;
  }
  return true;
}

bool IGraphics::AttachBubbleControl(const IText& text)
{
  return mControlMakers.bubble && AttachBubbleControl(mControlMakers.bubble(text));
}

bool IGraphics::AttachPopupMenuControl(IControl* control)
{
  auto* slot = dynamic_cast<IPopupMenuSlot*>(control);
  if (!slot || mPopupControl) {
    delete control;
    return false;
  }
  mPopupControl.reset(control);
  mPopupSlot = slot;
  AttachSteps(control);
  return true;
}

bool IGraphics::AttachPopupMenuControl(const IText& text, const IRECT& expandedBounds)
{
  if (mPopupControl || !mControlMakers.popupMenu)
    return false;
  return AttachPopupMenuControl(mControlMakers.popupMenu(text, expandedBounds));
}

bool IGraphics::AttachTextEntryControl(IControl* control)
{
  auto* slot = dynamic_cast<ITextEntrySlot*>(control);
  if (!slot || mTextEntryControl) {
    delete control;
    return false;
  }
  mTextEntryControl.reset(control);
  mTextEntrySlot = slot;
  AttachSteps(control);
  return true;
}

bool IGraphics::AttachTextEntryControl()
{
  if (mTextEntryControl || !mControlMakers.textEntry)
    return false;
  return AttachTextEntryControl(mControlMakers.textEntry());
}

void IGraphics::RemovePopupMenuControl()
{
  if (mPopupControl)
    ForgetControl(mPopupControl.get());
  mPopupSlot = nullptr;
  mPopupControl.reset();
}

void IGraphics::RemoveTextEntryControl()
{
  if (mTextEntryControl)
    ForgetControl(mTextEntryControl.get());
  mTextEntrySlot = nullptr;
  mTextEntryControl.reset();
}

int IGraphics::SelectBubble(IControl* caller)
{
  const int n = mBubbleControls.GetSize();
  if (n == 0)
    return -1;
  if (!mEnableMultiTouch)
    return 0;
  std::vector<std::uint64_t> touches;
  GetTouches(caller, touches);
  if (touches.size() != 1)
    return -1;
  for (int i = 0; i < n; ++i)
    if (dynamic_cast<IBubbleSlot*>(mBubbleControls.Get(i))->GetTouchId() == touches[0])
      return i;
  // Reduce before use: the bubble count may have changed since the last turn.
  int expected = sBubbleRoundRobin.load();
  int idx;
  do
    idx = ((expected % n) + n) % n;
  while (!sBubbleRoundRobin.compare_exchange_weak(expected, (idx + 1) % n));
  return idx;
}

void IGraphics::ShowBubbleControl(IControl* caller, float x, float y, const char* str, EDirection dir,
                                  IRECT minimumContentBounds, std::uint64_t touchId)
{
  const int i = SelectBubble(caller);
  if (i < 0)
    return;
  if (mEnableMultiTouch) {
    std::vector<std::uint64_t> touches;
    GetTouches(caller, touches);
    touchId = touches.empty() ? touchId : touches[0];
  }
  dynamic_cast<IBubbleSlot*>(mBubbleControls.Get(i))
    ->ShowBubble(caller, str ? str : "", dir, touchId, x, y, minimumContentBounds);
}

// ---- Prompts ----------------------------------------------------------------

void IGraphics::PromptUserInput(IControl& control, const IRECT& bounds, int valIdx)
{
  const IParam* p = control.GetParam(valIdx);
  if (!p)
    return;
  UT_String current;
  if (p->Type() == IParam::kTypeEnum || (p->Type() == IParam::kTypeBool && p->NDisplayTexts() > 0)) {
    p->GetDisplay(current, true);
    mPromptPopupMenu.Clear();
    for (int i = 0; i < p->NDisplayTexts(); ++i) {
      const char* text = p->GetDisplayTextAtIdx(i);
      const int flags = std::strcmp(text, current.Get()) == 0 ? IPopupMenu::Item::kChecked : 0;
      mPromptPopupMenu.AddItem(new IPopupMenu::Item(text, flags, -1), -1);
    }
    mPromptPopupMenu.SetRootTitle(p->GetName());
    CreatePopupMenu(control, mPromptPopupMenu, bounds, valIdx);
    return;
  }
  p->GetDisplay(current, false);
  if (control.GetPromptShowsParamLabel()) {
    current.Append(" ");
    current.Append(p->GetLabel());
  }
  CreateTextEntry(control, control.GetText(), bounds, current.Get(), valIdx);
}

void IGraphics::CreateTextEntry(IControl& control, const IText& text, const IRECT& bounds, const char* str, int valIdx)
{
  mInTextEntry = &control;
  mTextEntryValIdx = valIdx;
  const int paramIdx = valIdx >= 0 ? control.GetParamIdx(valIdx) : -1;
  if (mTextEntrySlot)
    mTextEntrySlot->CreateTextEntry(paramIdx, text, bounds, control.GetTextEntryLength(), str);
  else
    CreatePlatformTextEntry(paramIdx, text, bounds, control.GetTextEntryLength(), str);
  control.SetDirty(false, -1);
}

void IGraphics::CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRECT& bounds, int valIdx, bool isContext)
{
  // The caller's own press stays open until the menu answers, which
  // closes its host gesture; any other press ends now.
  for (auto it = mCapturedMap.begin(); it != mCapturedMap.end();)
    it = it->second == &control ? mCapturedMap.erase(it) : std::next(it);
  ReleaseMouseCapture();
  // A drawn menu still waiting for its answer keeps its caller; the newcomer
  // hears "no choice" at once, so that its host bracket closes too.
  if (PopupIsOpen()) {
    if (isContext)
      control.OnContextSelection(-1);
    else
      control.OnPopupMenuSelection(nullptr, valIdx);
    EndGesturesOf(control);
    return;
  }
  mInPopupMenu = &control;
  mPopupMenuValIdx = valIdx;
  mIsContextMenu = isContext;
  if (mPopupSlot) {
    mPopupSlot->CreatePopupMenu(menu, bounds);
    return;
  }
  bool isAsync = false;
  IPopupMenu* result = CreatePlatformPopupMenu(menu, bounds, isAsync);
  if (!isAsync)
    SetControlValueAfterPopupMenu(result);
}

void IGraphics::SetControlValueAfterPopupMenu(IPopupMenu* menu)
{
  IControl* c = mInPopupMenu;
  if (!c)
    return;
  if (mIsContextMenu)
    c->OnContextSelection(menu ? menu->GetChosenItemIdx() : -1);
  else
    c->OnPopupMenuSelection(menu && menu->GetChosenItemIdx() != -1 ? menu : nullptr, mPopupMenuValIdx);
  // The selection handler may have removed the control.
  if (mInPopupMenu != c)
    return;
  EndGesturesOf(*c);
  mInPopupMenu = nullptr;
}

void IGraphics::EndGesturesOf(const IControl& control)
{
  for (int v = 0; v < control.NVals(); ++v)
    if (const int p = control.GetParamIdx(v); p >= 0)
      mDelegate->EndInformHostOfParamChangeFromUI(p);
}

void IGraphics::SetControlValueAfterTextEdit(const char* str)
{
  IControl* c = mInTextEntry;
  if (!c)
    return;
  const IParam* p = mTextEntryValIdx >= 0 ? c->GetParam(mTextEntryValIdx) : nullptr;
  bool reads = false;
  double v = p ? p->StringToValue(str ? str : "", &reads) : 0.0;
  if (p && !reads) {
    // Junk ("", "abc", "-") keeps the value the parameter had.
    c->SetDirty(false, -1);
  } else if (p) {
    const double step = p->GetStep();
    // A step of 0 (or a non-finite one) leaves the value unsnapped.
    if ((p->GetFlags() & IParam::kFlagStepped) && step != 0.0 && std::isfinite(step))
      v = std::round(v / step) * step;
    v = std::clamp(v, p->GetMin(), std::max(p->GetMin(), p->GetMax()));
    const double n = std::clamp(p->GetShape().ValueToNormalized(v, *p), 0.0, 1.0);
    c->SetValueFromUserInput(std::isfinite(n) ? n : 0.0, mTextEntryValIdx);
  } else
    c->OnTextEntryCompletion(str, mTextEntryValIdx);
  if (mInTextEntry == c)
    mInTextEntry = nullptr;
}

void IGraphics::PopupHostContextMenuForParam(IControl* control, float x, float y)
{
  if (!control)
    return;
  mPromptPopupMenu.Clear();
  control->CreateContextMenu(mPromptPopupMenu);
  if (mPromptPopupMenu.NItems() > 0)
    CreatePopupMenu(*control, mPromptPopupMenu, IRECT(x, y, x, y), -1, true);
}

void IGraphics::PopupHostContextMenuForParam(int controlIdx, float x, float y)
{
  PopupHostContextMenuForParam(GetControl(controlIdx), x, y);
}

} // namespace plugin::igraphics
