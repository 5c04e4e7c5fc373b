#include "IGraphicsView.h"

#include <Metal/Metal.h>
#include <QuartzCore/QuartzCore.h>

#include <cmath>

#include "IGEditorDelegate.h"
#include "IGraphicsMac.h"
#include "IGraphicsTextField.h"
#include "MacKeys.h"
#include "ViewEventScope.h"

using namespace plugin::igraphics;

namespace {
const bool kRegistered = [] {
  objc_registerClass("IGraphicsView_vVorelle3_au", objc_getClass("NSView"),
                     []() -> NSObject* { return IGraphicsView_vVorelle3_au::alloc(); });
  return true;
}();

constexpr unsigned long kShift = 1ul << 17, kControl = 1ul << 18, kOption = 1ul << 19, kCommand = 1ul << 20;

std::u16string Units(NSString* s)
{
  std::u16string u;
  for (NSUInteger i = 0; s && i < s->length(); ++i)
    u.push_back(char16_t(s->characterAtIndex(i)));
  return u;
}
} // namespace

NSRect ToNSRect(const IRECT& r, float s)
{
  const double l = std::floor(r.L * s), t = std::floor(r.T * s);
  const double rr = std::ceil(r.R * s), b = std::ceil(r.B * s);
  return NSMakeRect(l, t, rr - l, b - t);
}

IGraphicsView_vVorelle3_au* IGraphicsView_vVorelle3_au::initWithIGraphics(IGraphicsMac* graphics)
{
  mGraphics = graphics;
  const float s = graphics->GetDrawScale();
  initWithFrame(NSMakeRect(0, 0, int(graphics->Width() * s), int(graphics->Height() * s)));
  mMouseOutDuringDrag = false;
  setWantsLayer(YES);
  setLayerContentsRedrawPolicy(NSViewLayerContentsRedrawDuringViewResize);
  registerForDraggedTypes(NSArray::arrayWithObject(NSFilenamesPboardType));
  CAMetalLayer* layer = CAMetalLayer::alloc()->init();
  layer->setOpaque(YES);
  layer->setPixelFormat(MTLPixelFormatBGRA8Unorm);
  MTLDevice* device = MTLCreateSystemDefaultDevice();
  layer->setDevice(device);
  if (device)
    device->release();
  setLayer(layer);
  layer->release();
  setTimer();
  return this;
}

// ---- Frames ------------------------------------------------------------------------

void IGraphicsView_vVorelle3_au::setTimer()
{
  const double interval = 1.0 / (mGraphics && mGraphics->FPS() > 0 ? mGraphics->FPS() : 60);
  mTimer =
    NSTimer::timerWithTimeInterval(interval, this, NSSELECTOR(IGraphicsView_vVorelle3_au, onTimer), nullptr, YES);
  NSRunLoop::currentRunLoop()->addTimer(mTimer, NSRunLoopCommonModes);
}

void IGraphicsView_vVorelle3_au::killTimer()
{
  if (mTimer)
    mTimer->invalidate();
  mTimer = nullptr;
}

void IGraphicsView_vVorelle3_au::onTimer(NSObject*)
{
  ViewEventScope scope(this);
  render();
}

void IGraphicsView_vVorelle3_au::render()
{
  mDirtyRects.Clear();
  if (mGraphics && mGraphics->IsDirty(mDirtyRects)) {
    mGraphics->SetAllControlsClean();
    mGraphics->DrawDirtyRects(mDirtyRects);
  }
}

void IGraphicsView_vVorelle3_au::drawRect(NSRect) {}

// ---- Window, backing, appearance and focus ---------------------------------------------

void IGraphicsView_vVorelle3_au::viewDidMoveToWindow()
{
  NSWindow* w = window();
  if (!w) {
    // Nothing more is heard from a window the view has left.
    NSNotificationCenter::defaultCenter()->removeObserver(this);
    return;
  }
  w->makeFirstResponder(this);
  w->setAcceptsMouseMovedEvents(YES);
  if (mGraphics)
    mGraphics->SetScreenScale(float(w->backingScaleFactor()));
  NSNotificationCenter* center = NSNotificationCenter::defaultCenter();
  center->removeObserver(this);
  center->addObserver(this, NSSELECTOR(IGraphicsView_vVorelle3_au, windowDidResign), NSWindowDidResignKeyNotification,
                      w);
  center->addObserver(this, NSSELECTOR(IGraphicsView_vVorelle3_au, windowDidResign), NSWindowDidResignMainNotification,
                      w);
  center->addObserver(this, NSSELECTOR(IGraphicsView_vVorelle3_au, frameDidChange), NSViewFrameDidChangeNotification,
                      this);
}

void IGraphicsView_vVorelle3_au::viewDidChangeBackingProperties()
{
  NSWindow* w = window();
  if (!w || !mGraphics)
    return;
  mGraphics->SetPlatformContext(nullptr);
  const double scale = w->backingScaleFactor();
  if (float(scale) != mGraphics->GetScreenScale())
    mGraphics->SetScreenScale(float(scale));
  if (auto* metal = dynamic_cast<CAMetalLayer*>(layer()))
    metal->setDrawableSize(CGSizeMake(frame().size.width * scale, frame().size.height * scale));
}

void IGraphicsView_vVorelle3_au::frameDidChange(NSObject*)
{
  NSWindow* w = window();
  auto* metal = dynamic_cast<CAMetalLayer*>(layer());
  if (w && metal)
    metal->setDrawableSize(
      CGSizeMake(frame().size.width * w->backingScaleFactor(), frame().size.height * w->backingScaleFactor()));
}

void IGraphicsView_vVorelle3_au::viewDidChangeEffectiveAppearance()
{
  if (!mGraphics || !IGraphicsMac::SystemHasDarkMode())
    return;
  NSAppearance* a = effectiveAppearance();
  const bool dark = a && a->name()->isEqualToString(NSAppearanceNameDarkAqua);
  mGraphics->OnAppearanceChanged(dark ? EUIAppearance::Dark : EUIAppearance::Light);
}

void IGraphicsView_vVorelle3_au::windowDidResign(NSObject*)
{
  if (mGraphics && mTimer)
    mGraphics->OnFocusLost();
}

BOOL IGraphicsView_vVorelle3_au::resignFirstResponder()
{
  if (mGraphics)
    mGraphics->OnFocusLost();
  return YES;
}

void IGraphicsView_vVorelle3_au::removeFromSuperview()
{
  // Closing the editor lets the graphics object release this view; it
  // stays alive until the superview has let go of it too.
  retain();
  if (mGraphics) {
    if (mTextFieldView)
      endUserInput();
    mGraphics->SetPlatformContext(nullptr);
    if (mEventDepth > 0)
      mClosePending = true;
    else
      closeEditor();
  }
  NSView::removeFromSuperview();
  release();
}

void IGraphicsView_vVorelle3_au::closeEditor()
{
  mClosePending = false;
  if (!mGraphics)
    return;
  retain();
  IGEditorDelegate* dlg = mGraphics->GetDelegate();
  dlg->CloseWindow(); // deletes the graphics object, which detaches first
  mGraphics = nullptr;
  release();
}

void IGraphicsView_vVorelle3_au::updateTrackingAreas()
{
  NSView::updateTrackingAreas();
  if (mTrackingArea) {
    removeTrackingArea(mTrackingArea);
    mTrackingArea->release();
  }
  mTrackingArea = NSTrackingArea::alloc()->initWithRect(
    bounds(), NSTrackingMouseEnteredAndExited | NSTrackingActiveAlways | NSTrackingEnabledDuringMouseDrag, this,
    nullptr);
  addTrackingArea(mTrackingArea);
}

void IGraphicsView_vVorelle3_au::dealloc()
{
  if (NSColorPanel::sharedColorPanelExists())
    NSColorPanel::sharedColorPanel()->close();
  mColorPickerFunc = nullptr;
  if (mMoveCursor)
    mMoveCursor->release();
  if (mTrackingArea)
    mTrackingArea->release();
  NSNotificationCenter::defaultCenter()->removeObserver(this);
  NSView::dealloc();
}

// ---- Mouse, keys and wheel -------------------------------------------------------------

void IGraphicsView_vVorelle3_au::getMouseXY(NSEvent* event, float& x, float& y)
{
  // The tablet flag comes first: repositioning reads it.
  mGraphics->SetTabletInput(event->subtype() == NSEventSubtypeTabletPoint);
  const NSPoint p = convertPoint(event->locationInWindow(), nullptr);
  const float s = mGraphics->GetDrawScale();
  x = float(p.x) / s;
  y = float(p.y) / s;
  // A locked cursor leaves the previous position at the lock point, so the
  // next drag measures from there.
  mGraphics->RepositionCursor(mPrevX, mPrevY, x, y);
}

IMouseInfo IGraphicsView_vVorelle3_au::getMouseLeft(NSEvent* event)
{
  IMouseInfo info;
  getMouseXY(event, info.x, info.y);
  const NSEventModifierFlags mods = event->modifierFlags();
  info.ms.L = event->type() == NSEventTypeLeftMouseDown || event->type() == NSEventTypeLeftMouseDragged;
  info.ms.R = (mods & kCommand) != 0;
  info.ms.S = (mods & kShift) != 0;
  info.ms.C = (mods & kControl) != 0;
  info.ms.A = (mods & kOption) != 0;
  return info;
}

IMouseInfo IGraphicsView_vVorelle3_au::getMouseRight(NSEvent* event)
{
  IMouseInfo info = getMouseLeft(event);
  info.ms.L = false;
  info.ms.R = true;
  return info;
}

void IGraphicsView_vVorelle3_au::mouseDown(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  const IMouseInfo info = getMouseLeft(event);
  if (event->clickCount() % 2 == 1)
    mGraphics->OnMouseDown({info});
  else
    mGraphics->OnMouseDblClick(info.x, info.y, info.ms);
}

void IGraphicsView_vVorelle3_au::rightMouseDown(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  const IMouseInfo info = getMouseRight(event);
  if (event->clickCount() % 2 == 1)
    mGraphics->OnMouseDown({info});
  else
    mGraphics->OnMouseDblClick(info.x, info.y, info.ms);
}

void IGraphicsView_vVorelle3_au::mouseUp(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  mGraphics->OnMouseUp({getMouseLeft(event)});
  if (mMouseOutDuringDrag) {
    mGraphics->OnMouseOut();
    mMouseOutDuringDrag = false;
  }
}

void IGraphicsView_vVorelle3_au::rightMouseUp(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  mGraphics->OnMouseUp({getMouseRight(event)});
}

void IGraphicsView_vVorelle3_au::mouseDragged(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  const float prevX = mPrevX, prevY = mPrevY;
  IMouseInfo info = getMouseLeft(event);
  if (mGraphics->NativeTextEntryExpected())
    return;
  info.dX = info.x - prevX;
  info.dY = info.y - prevY;
  mGraphics->OnMouseDrag({info});
}

void IGraphicsView_vVorelle3_au::rightMouseDragged(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  const float prevX = mPrevX, prevY = mPrevY;
  IMouseInfo info = getMouseRight(event);
  if (mTextFieldView)
    return;
  info.dX = info.x - prevX;
  info.dY = info.y - prevY;
  mGraphics->OnMouseDrag({info});
}

void IGraphicsView_vVorelle3_au::mouseMoved(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  const IMouseInfo info = getMouseLeft(event);
  mGraphics->OnMouseOver(info.x, info.y, info.ms);
}

void IGraphicsView_vVorelle3_au::mouseEntered(NSEvent*)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  mMouseOutDuringDrag = false;
  mGraphics->SetMouseCursor(mGraphics->GetCursorType());
}

void IGraphicsView_vVorelle3_au::mouseExited(NSEvent*)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  if (!mGraphics->ControlIsCaptured())
    mGraphics->OnMouseOut();
  else
    mMouseOutDuringDrag = true;
}

void IGraphicsView_vVorelle3_au::scrollWheel(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  if (mTextFieldView)
    endUserInput();
  const IMouseInfo info = getMouseLeft(event);
  mGraphics->OnMouseWheel(info.x, info.y, info.ms, float(event->deltaY()));
}

void IGraphicsView_vVorelle3_au::keyDown(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  const std::u16string chars = Units(event->charactersIgnoringModifiers());
  const MacKey key = MacKeyEventToVirtualKey(event->keyCode(), event->modifierFlags(), chars.data(), chars.size());
  if (!mGraphics->OnKeyDown(mPrevX, mPrevY, MacKeyPress(key, chars.data(), chars.size())) && nextResponder())
    nextResponder()->keyDown(event);
}

void IGraphicsView_vVorelle3_au::keyUp(NSEvent* event)
{
  if (!mGraphics)
    return;
  ViewEventScope scope(this);
  const std::u16string chars = Units(event->charactersIgnoringModifiers());
  const MacKey key = MacKeyEventToVirtualKey(event->keyCode(), event->modifierFlags(), chars.data(), chars.size());
  if (!mGraphics->OnKeyUp(mPrevX, mPrevY, MacKeyPress(key, chars.data(), chars.size())) && nextResponder())
    nextResponder()->keyUp(event);
}
