#include <AudioUnit/AUCocoaUIView.h>

#include <algorithm>

AUCocoaUIBase::~AUCocoaUIBase() = default;

NSView* NSView::initWithFrame(NSRect frameRect)
{
  mFrame = frameRect;
  return this;
}

void NSView::setFrameSize(NSSize newSize) { setFrame(NSRect{mFrame.origin, newSize}); }
void NSView::setFrameOrigin(NSPoint newOrigin) { setFrame(NSRect{newOrigin, mFrame.size}); }

void NSView::MoveToWindow(NSWindow* window)
{
  if (window == mWindow)
    return;
  retain(); // a hook may drop the last outside reference
  viewWillMoveToWindow(window);
  mWindow = window;
  const std::vector<NSView*> children = mSubviews;
  for (NSView* child : children)
    child->MoveToWindow(window);
  viewDidMoveToWindow();
  release();
}

void NSView::addSubview(NSView* view)
{
  if (!view || view == this)
    return;
  view->retain();
  view->removeFromSuperview();
  mSubviews.push_back(view);
  view->mSuperview = this;
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
  MoveToWindow(nullptr);
  release();
}

NSArray* NSView::subviews() const
{
  std::vector<NSObject*> objects(mSubviews.begin(), mSubviews.end());
  return NSArray::arrayWithObjects(objects.data(), objects.size());
}

void NSView::dealloc()
{
  const std::vector<NSView*> children = mSubviews;
  for (NSView* child : children)
    child->removeFromSuperview();
  NSResponder::dealloc();
}

NSWindow* NSWindow::initWithContentRect(NSRect contentRect, NSWindowStyleMask, NSBackingStoreType, BOOL)
{
  mFrame = contentRect;
  NSView* content = NSView::alloc()->initWithFrame(NSMakeRect(0, 0, contentRect.size.width, contentRect.size.height));
  setContentView(content);
  content->release();
  return this;
}

void NSWindow::setContentView(NSView* view)
{
  if (view == mContentView)
    return;
  if (view) {
    view->retain();
    view->removeFromSuperview();
  }
  NSView* old = mContentView;
  mContentView = view;
  if (old) {
    old->MoveToWindow(nullptr);
    old->release();
  }
  if (view)
    view->MoveToWindow(this);
}

void NSWindow::close() { setContentView(nullptr); }

void NSWindow::dealloc()
{
  close();
  NSResponder::dealloc();
}
