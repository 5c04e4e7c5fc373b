#include "IGraphicsMac.h"

#include <AppKit/AppKit.h>
#include <CoreGraphics/CGDirectDisplay.h>
#include <CoreServices/CoreServices.h>

#include <cmath>
#include <cstdlib>

#include "CoreTextHelpers.h"
#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IGraphicsView.h"

namespace plugin::igraphics {

namespace {
double DisplayHeight() { return double(CGDisplayPixelsHigh(CGMainDisplayID())); }
} // namespace

IGraphicsMac::IGraphicsMac(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
: IGraphicsVG(dlg, w, h, fps, scale)
{
  NSApplicationLoad();
  AddFontDescriptorCacheUser();
  // Emptied when the module is unloaded or the process ends. A static's
  // destructor runs with the module's unloading; an atexit handler could
  // outlive the code it points into.
  struct CacheAtUnload {
    ~CacheAtUnload() { FontDescriptorCacheAtExit(); }
  };
  static const CacheAtUnload atUnload;
  (void)atUnload;
}

IGraphicsMac::~IGraphicsMac()
{
  RemoveFontDescriptorCacheUser();
  CloseWindow();
}

void IGraphicsMac::FontDescriptorCacheAtExit()
{
  FontDescriptorCache& cache = GetFontDescriptorCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  cache.Empty();
}

// ---- Window ----------------------------------------------------------------------

void* IGraphicsMac::OpenWindow(void* parent)
{
  CloseWindow();
  mView = IGraphicsView_vVorelle3_au::alloc()->initWithIGraphics(this);
  OnViewInitialized(mView->layer());
  GetDelegate()->SetEditorReady(IsContextReady());
  SetScreenScale(float(NSScreen::mainScreen()->backingScaleFactor()));
  GetDelegate()->LayoutUI(this);
  UpdateTooltips();
  GetDelegate()->OnUIOpen();
  if (parent)
    static_cast<NSView*>(parent)->addSubview(mView);
  return mView;
}

void IGraphicsMac::CloseWindow()
{
  if (!mView)
    return;
  // Detached first: the removal below must not close the editor again, and
  // nothing may reach this object through the view once it goes.
  IGraphicsView_vVorelle3_au* view = mView;
  mView = nullptr;
  view->detachIGraphics();
  view->removeAllToolTips();
  view->killTimer();
  view->endUserInput();
  view->removeFromSuperview();
  view->release();
  OnViewDestroyed();
}

void* IGraphicsMac::GetWindow() { return mView; }

void IGraphicsMac::PlatformResize(bool)
{
  if (!mView)
    return;
  NSAnimationContext::beginGrouping();
  NSAnimationContext::currentContext()->setDuration(0.0);
  mView->setFrameSize(NSMakeSize(int(Width() * GetDrawScale()), int(Height() * GetDrawScale())));
  NSAnimationContext::endGrouping();
  UpdateTooltips();
}

void IGraphicsMac::AttachPlatformView(const IRECT& r, void* view)
{
  if (!mView || !view)
    return;
  auto* v = static_cast<NSView*>(view);
  v->setFrame(ToNSRect(r, GetDrawScale()));
  mView->addSubview(v);
}

void IGraphicsMac::RemovePlatformView(void* view)
{
  if (view)
    static_cast<NSView*>(view)->removeFromSuperview();
}

// ---- Cursor ------------------------------------------------------------------------

void IGraphicsMac::GetMouseLocation(float& x, float& y) const
{
  const NSPoint screen = NSEvent::mouseLocation();
  if (mView && mView->window()) {
    const NSRect inWindow = mView->window()->convertRectFromScreen(NSMakeRect(screen.x, screen.y, 0, 0));
    const NSPoint p = mView->convertPoint(inWindow.origin, nullptr);
    x = float(p.x) / GetDrawScale();
    y = float(p.y) / GetDrawScale();
  } else {
    x = float(screen.x);
    y = float(screen.y);
  }
}

void IGraphicsMac::StoreCursorPosition()
{
  const NSPoint screen = NSEvent::mouseLocation();
  mCursorLockX = std::round(screen.x);
  mCursorLockY = std::round(screen.y);
  if (mView && mView->window()) {
    const NSRect inWindow = mView->window()->convertRectFromScreen(NSMakeRect(mCursorLockX, mCursorLockY, 0, 0));
    const NSPoint p = mView->convertPoint(inWindow.origin, nullptr);
    mCursorX = float(p.x) / GetDrawScale();
    mCursorY = float(p.y) / GetDrawScale();
  } else {
    mCursorX = float(mCursorLockX);
    mCursorY = float(mCursorLockY);
  }
}

void IGraphicsMac::MoveSystemPointer(double screenX, double screenY)
{
  CGAssociateMouseAndMouseCursorPosition(false);
  CGDisplayMoveCursorToPoint(CGMainDisplayID(), CGPointMake(screenX, DisplayHeight() - screenY));
  CGAssociateMouseAndMouseCursorPosition(true);
}

void IGraphicsMac::HideMouseCursor(bool hide, bool lock)
{
  if (hide == mCursorHidden)
    return;
  mCursorHidden = hide;
  if (hide) {
    StoreCursorPosition();
    CGDisplayHideCursor(CGMainDisplayID());
    mCursorLock = lock;
  } else {
    CGDisplayShowCursor(CGMainDisplayID());
    mCursorLock = false;
  }
}

void IGraphicsMac::RepositionCursor(float& outX, float& outY, float x, float y)
{
  if (mCursorHidden && mCursorLock && !mTabletInput) {
    MoveSystemPointer(mCursorLockX, mCursorLockY);
    outX = mCursorX;
    outY = mCursorY;
  } else {
    mCursorX = x;
    mCursorY = y;
    outX = x;
    outY = y;
  }
}

void IGraphicsMac::MoveMouseCursor(float x, float y)
{
  if (mTabletInput)
    return;
  double sx = x, sy = y;
  if (mView && mView->window()) {
    const float s = GetDrawScale();
    const NSPoint inWindow = mView->convertPointToView(NSMakePoint(x * s, y * s), nullptr);
    const NSRect screen = mView->window()->convertRectToScreen(NSMakeRect(inWindow.x, inWindow.y, 0, 0));
    sx = screen.origin.x;
    sy = screen.origin.y;
  }
  MoveSystemPointer(sx, sy);
  StoreCursorPosition();
}

int IGraphicsMac::SetMouseCursor(int cursorType)
{
  if (mView)
    mView->setMouseCursor(cursorType);
  return IGraphicsVG::SetMouseCursor(cursorType);
}

void IGraphicsMac::EndUserInput(bool)
{
  if (mView)
    mView->endUserInput();
}

// ---- Clipboard, tooltips, appearance --------------------------------------------------

bool IGraphicsMac::GetTextFromClipboard(UT_String& str)
{
  NSString* text = NSPasteboard::generalPasteboard()->stringForType(NSStringPboardType);
  if (!text) {
    str.Set("");
    return false;
  }
  str.Set(text->UTF8String());
  return true;
}

bool IGraphicsMac::SetTextInClipboard(const char* str)
{
  NSPasteboard* board = NSPasteboard::generalPasteboard();
  board->clearContents();
  NSString* text = NSString::stringWithUTF8String(str ? str : "");
  return text && board->setString(text, NSStringPboardType);
}

void IGraphicsMac::UpdateTooltips()
{
  if (!mView)
    return;
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  mView->removeAllToolTips();
  if (!PopupMenuShowing()) {
    for (int i = 0; i < NControls(); ++i) {
      IControl* c = GetControl(i);
      const IRECT r = c->GetRECT();
      if (c->IsHidden() || (r.L == 0.f && r.T == 0.f && r.R == 0.f && r.B == 0.f))
        continue;
      mView->registerToolTip(r);
    }
  }
  pool->drain();
}

bool IGraphicsMac::SystemHasDarkMode()
{
  SInt32 major = 0, minor = 0;
  if (Gestalt(gestaltSystemVersionMajor, &major) != noErr || Gestalt(gestaltSystemVersionMinor, &minor) != noErr)
    return false;
  return major > 10 || (major == 10 && minor >= 14);
}

bool IGraphicsMac::GetDarkMode() const
{
  if (!mView || !SystemHasDarkMode())
    return false;
  NSAppearance* a = mView->effectiveAppearance();
  return a && a->name()->isEqualToString(NSAppearanceNameDarkAqua);
}

// ---- Fonts --------------------------------------------------------------------------

PlatformFontPtr IGraphicsMac::LoadPlatformFont(const char* fontID, const char* fileNameOrResID)
{
  return CoreTextHelpers::LoadPlatformFont(fontID, fileNameOrResID, GetBundleID(), mSharedResourcesSubPath.Get());
}

PlatformFontPtr IGraphicsMac::LoadPlatformFontFromData(const char* fontID, void* pData, int dataSize)
{
  return CoreTextHelpers::LoadPlatformFontFromData(fontID, pData, dataSize);
}

PlatformFontPtr IGraphicsMac::LoadPlatformFontByName(const char* fontID, const char* fontName, ETextStyle style)
{
  return CoreTextHelpers::LoadPlatformFontByName(fontID, fontName, style);
}

void IGraphicsMac::CachePlatformFont(const char* fontID, const PlatformFontPtr& font)
{
  if (!font)
    return;
  FontDescriptorCache& cache = GetFontDescriptorCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  CoreTextHelpers::CachePlatformFont(fontID, *font, cache);
}

// ---- Native text entry and menus --------------------------------------------------------

void IGraphicsMac::CreatePlatformTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length,
                                           const char* str)
{
  if (mView)
    mView->createTextEntry(paramIdx, text, str, length, ToNSRect(bounds, GetDrawScale()));
}

IPopupMenu* IGraphicsMac::CreatePlatformPopupMenu(IPopupMenu& menu, const IRECT& bounds, bool& isAsync)
{
  isAsync = false;
  if (!mView)
    return nullptr;
  IPopupMenu* chosen = mView->createPopupMenu(menu, ToNSRect(bounds, GetDrawScale()));
  if (chosen && chosen->GetFunction())
    chosen->GetFunction()(chosen);
  return chosen;
}

} // namespace plugin::igraphics
