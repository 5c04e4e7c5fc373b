#include "AppKitInternal.h"

#include <AppKit/AppKit.h>
#include <AudioUnit/AUCocoaUIView.h>
#include <QuartzCore/CAMetalLayer.h>

#include <algorithm>

AUCocoaUIBase::~AUCocoaUIBase() = default;

NSString* const NSViewFrameDidChangeNotification = NSSTR("NSViewFrameDidChangeNotification");

NSView* NSView::initWithFrame(NSRect frameRect)
{
  mFrame = frameRect;
  return this;
}

void NSView::setFrame(NSRect frameRect)
{
  const NSRect old = mFrame;
  mFrame = frameRect;
  if (old.origin.x == frameRect.origin.x && old.origin.y == frameRect.origin.y &&
      old.size.width == frameRect.size.width && old.size.height == frameRect.size.height)
    return;
  if (mWindow)
    updateTrackingAreas();
  SizeLayer();
  NSNotificationCenter::defaultCenter()->postNotificationName(NSViewFrameDidChangeNotification, this);
}

// A GPU layer of a view in a window follows the view's size in pixels, as
// the platform sizes its drawable.
void NSView::SizeLayer()
{
  if (auto* metal = dynamic_cast<CAMetalLayer*>(mLayer); metal && mWindow) {
    const double scale = mWindow->backingScaleFactor();
    metal->setDrawableSize(CGSizeMake(mFrame.size.width * scale, mFrame.size.height * scale));
  }
}

void NSView::setFrameSize(NSSize newSize) { setFrame(NSRect{mFrame.origin, newSize}); }
void NSView::setFrameOrigin(NSPoint newOrigin) { setFrame(NSRect{newOrigin, mFrame.size}); }

void NSView::MoveToWindow(NSWindow* window)
{
  if (window == mWindow)
    return;
  retain(); // a hook may drop the last outside reference
  viewWillMoveToWindow(window);
  if (mWindow)
    mWindow->ForgetView(this);
  mWindow = window;
  const std::vector<NSView*> children = mSubviews;
  for (NSView* child : children)
    child->MoveToWindow(window);
  if (window) {
    updateTrackingAreas();
    SizeLayer();
  }
  viewDidMoveToWindow();
  release();
}

void NSView::addSubview(NSView* view)
{
  if (!view || view == this)
    return;
  view->retain();
  if (view->mSuperview)
    view->removeFromSuperview();
  mSubviews.push_back(view);
  view->mSuperview = this;
  view->setNextResponder(this);
  view->MoveToWindow(mWindow);
}

void NSView::removeFromSuperview()
{
  NSView* parent = mSuperview;
  if (!parent)
    return;
  auto& siblings = parent->mSubviews;
  siblings.erase(std::find(siblings.begin(), siblings.end(), this));
  mSuperview = nullptr;
  setNextResponder(nullptr);
  MoveToWindow(nullptr);
  release();
}

NSArray* NSView::subviews() const
{
  std::vector<NSObject*> objects(mSubviews.begin(), mSubviews.end());
  return NSArray::arrayWithObjects(objects.data(), objects.size());
}

NSView* NSView::hitTest(NSPoint point)
{
  if (mHidden)
    return nullptr;
  const NSRect& f = mFrame;
  if (point.x < f.origin.x || point.y < f.origin.y || point.x >= f.origin.x + f.size.width ||
      point.y >= f.origin.y + f.size.height)
    return nullptr;
  NSPoint local = NSMakePoint(point.x - f.origin.x, point.y - f.origin.y);
  if (isFlipped())
    local.y = f.size.height - local.y;
  for (auto it = mSubviews.rbegin(); it != mSubviews.rend(); ++it)
    if (NSView* hit = (*it)->hitTest(local))
      return hit;
  return this;
}

namespace {
// Window base point of a point in the view.
NSPoint ToBase(NSView* view, NSPoint p)
{
  for (; view; view = view->superview()) {
    if (view->isFlipped())
      p.y = view->frame().size.height - p.y;
    p.x += view->frame().origin.x;
    p.y += view->frame().origin.y;
  }
  return p;
}
NSPoint FromBase(NSView* view, NSPoint p)
{
  if (!view)
    return p;
  p = FromBase(view->superview(), p);
  p.x -= view->frame().origin.x;
  p.y -= view->frame().origin.y;
  if (view->isFlipped())
    p.y = view->frame().size.height - p.y;
  return p;
}
} // namespace

NSPoint NSView::convertPoint(NSPoint point, NSView* fromView) { return FromBase(this, ToBase(fromView, point)); }
NSPoint NSView::convertPointToView(NSPoint point, NSView* toView) { return FromBase(toView, ToBase(this, point)); }

NSRect NSView::convertRect(NSRect rect, NSView* fromView)
{
  const NSPoint a = convertPoint(rect.origin, fromView);
  const NSPoint b =
    convertPoint(NSMakePoint(rect.origin.x + rect.size.width, rect.origin.y + rect.size.height), fromView);
  return NSMakeRect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y));
}

void NSView::setLayer(CALayer* layer)
{
  if (layer)
    layer->retain();
  if (mLayer)
    mLayer->release();
  mLayer = layer;
  SizeLayer();
}

void NSView::addTrackingArea(NSTrackingArea* area)
{
  if (!area)
    return;
  area->retain();
  mTrackingAreas.push_back(area);
}

void NSView::removeTrackingArea(NSTrackingArea* area)
{
  auto it = std::find(mTrackingAreas.begin(), mTrackingAreas.end(), area);
  if (it == mTrackingAreas.end())
    return;
  mTrackingAreas.erase(it);
  if (mWindow)
    mWindow->mInside.erase(area);
  area->release();
}

NSArray* NSView::trackingAreas() const
{
  std::vector<NSObject*> objects(mTrackingAreas.begin(), mTrackingAreas.end());
  return NSArray::arrayWithObjects(objects.data(), objects.size());
}

NSToolTipTag NSView::addToolTipRect(NSRect rect, NSObject* owner, void* userData)
{
  mToolTips.push_back({mNextToolTip, rect, owner, userData});
  return mNextToolTip++;
}

void NSView::removeAllToolTips() { mToolTips.clear(); }

NSString* NSView::view(NSView*, NSToolTipTag, NSPoint, void*) { return nullptr; }

void NSView::registerForDraggedTypes(NSArray* types)
{
  if (types)
    types->retain();
  if (mDraggedTypes)
    mDraggedTypes->release();
  mDraggedTypes = types;
}

void NSView::setAppearance(NSAppearance* appearance)
{
  mAppearance = appearance; // shared constants
  AppearanceChanged();
}

NSAppearance* NSView::effectiveAppearance() const
{
  for (const NSView* v = this; v; v = v->mSuperview)
    if (v->mAppearance)
      return v->mAppearance;
  return NSAppearance::appearanceNamed(NSString::stringWithUTF8String(standin::appkit::Person().appearance.c_str()));
}

void NSView::AppearanceChanged()
{
  retain();
  viewDidChangeEffectiveAppearance();
  const std::vector<NSView*> children = mSubviews;
  for (NSView* child : children)
    if (!child->mAppearance)
      child->AppearanceChanged();
  release();
}

void NSView::BackingChanged()
{
  retain();
  SizeLayer();
  viewDidChangeBackingProperties();
  const std::vector<NSView*> children = mSubviews;
  for (NSView* child : children)
    child->BackingChanged();
  release();
}

void NSView::dealloc()
{
  const std::vector<NSView*> children = mSubviews;
  for (NSView* child : children)
    child->removeFromSuperview();
  for (NSTrackingArea* area : mTrackingAreas)
    area->release();
  mTrackingAreas.clear();
  registerForDraggedTypes(nullptr);
  setLayer(nullptr);
  NSResponder::dealloc();
}
