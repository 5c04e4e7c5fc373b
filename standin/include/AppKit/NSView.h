// Views as far as a host embeds a plug-in's view and the plug-in's view
// works: a tree of views that retain their subviews, in the window they live
// in. Moving a view into or out of a window calls viewWillMoveToWindow /
// viewDidMoveToWindow on it and on every view below it, and
// updateTrackingAreas when it arrives. removeFromSuperview is overridable,
// as on the platform, and the superview lets go of the view last. Main
// thread only.
#pragma once

#include <AppKit/NSResponder.h>
#include <Foundation/NSArray.h>
#include <Foundation/NSGeometry.h>

#include <vector>

class NSWindow;
class NSTrackingArea;
class NSAppearance;
class CALayer;
class NSDraggingInfo;

typedef NSInteger NSToolTipTag;
typedef NSUInteger NSDragOperation;
enum : NSDragOperation { NSDragOperationNone = 0, NSDragOperationCopy = 1, NSDragOperationGeneric = 4 };
typedef NSInteger NSViewLayerContentsRedrawPolicy;
enum : NSViewLayerContentsRedrawPolicy { NSViewLayerContentsRedrawDuringViewResize = 2 };

class NS_EXPORT NSView : public NSResponder {
public:
  static NSView* alloc() { return new NSView(); }
  NSView* init() override { return initWithFrame(NSMakeRect(0, 0, 0, 0)); }
  virtual NSView* initWithFrame(NSRect frameRect);

  NSRect frame() const { return mFrame; }
  NSRect bounds() const { return NSMakeRect(0, 0, mFrame.size.width, mFrame.size.height); }
  // Posts NSViewFrameDidChangeNotification when the frame changes.
  virtual void setFrame(NSRect frameRect);
  void setFrameSize(NSSize newSize);
  void setFrameOrigin(NSPoint newOrigin);

  // The superview retains the view until removeFromSuperview.
  void addSubview(NSView* view);
  virtual void removeFromSuperview();
  NSView* superview() const { return mSuperview; }
  NSArray* subviews() const; // autoreleased
  NSWindow* window() const { return mWindow; }
  // The deepest visible view under a point in the superview's coordinates.
  NSView* hitTest(NSPoint point);

  virtual void viewWillMoveToWindow(NSWindow* newWindow) { (void)newWindow; }
  virtual void viewDidMoveToWindow() {}
  virtual void viewDidChangeBackingProperties() {}
  virtual void viewDidChangeEffectiveAppearance() {}

  virtual void setNeedsDisplay(BOOL flag) { mNeedsDisplay = flag; }
  virtual void setNeedsDisplayInRect(NSRect invalidRect) { (void)invalidRect, mNeedsDisplay = YES; }
  BOOL needsDisplay() const { return mNeedsDisplay; }
  virtual void drawRect(NSRect dirtyRect) { (void)dirtyRect; }
  virtual BOOL isFlipped() { return NO; }
  virtual BOOL isOpaque() { return NO; }
  virtual BOOL acceptsFirstMouse(NSEvent* event) { return (void)event, NO; }
  void setHidden(BOOL hidden) { mHidden = hidden; }
  BOOL isHidden() const { return mHidden; }

  // nil view: the window's base coordinates (y up from the content's bottom).
  NSPoint convertPoint(NSPoint point, NSView* fromView);
  NSPoint convertPointToView(NSPoint point, NSView* toView); // convertPoint:toView:
  NSRect convertRect(NSRect rect, NSView* fromView);

  // Layers: the view keeps (retains) the layer it is given.
  void setWantsLayer(BOOL wants) { mWantsLayer = wants; }
  BOOL wantsLayer() const { return mWantsLayer; }
  void setLayer(CALayer* layer);
  CALayer* layer() const { return mLayer; }
  void setLayerContentsRedrawPolicy(NSViewLayerContentsRedrawPolicy policy) { mRedrawPolicy = policy; }
  NSViewLayerContentsRedrawPolicy layerContentsRedrawPolicy() const { return mRedrawPolicy; }

  // Tracking areas are retained by the view; updateTrackingAreas is called
  // when the view enters a window and when its frame changes there.
  void addTrackingArea(NSTrackingArea* area);
  void removeTrackingArea(NSTrackingArea* area);
  NSArray* trackingAreas() const; // autoreleased
  virtual void updateTrackingAreas() {}

  // Tool tips: rectangles in view coordinates whose owner answers
  // view(view, tag, point, userData) with the text.
  NSToolTipTag addToolTipRect(NSRect rect, NSObject* owner, void* userData);
  void removeAllToolTips();
  virtual NSString* view(NSView* view, NSToolTipTag tag, NSPoint point, void* userData);
  struct ToolTipRect {
    NSToolTipTag tag;
    NSRect rect;
    NSObject* owner;
    void* userData;
  };
  const std::vector<ToolTipRect>& toolTipRects() const { return mToolTips; } // stand-in: for the tool tip query

  // Dragging destination (types are NSString pasteboard types).
  void registerForDraggedTypes(NSArray* types);
  NSArray* registeredDraggedTypes() const { return mDraggedTypes; }
  virtual NSDragOperation draggingEntered(NSDraggingInfo* sender) { return (void)sender, NSDragOperationNone; }
  virtual BOOL performDragOperation(NSDraggingInfo* sender) { return (void)sender, NO; }

  // Appearance: a view without its own takes its superview's, then the
  // application's. Setting one tells every view below it.
  void setAppearance(NSAppearance* appearance);
  NSAppearance* appearance() const { return mAppearance; }
  NSAppearance* effectiveAppearance() const;

  const char* className() const override { return "NSView"; }

protected:
  NSView() = default;
  void dealloc() override;

private:
  friend class NSWindow;
  void MoveToWindow(NSWindow* window);
  void AppearanceChanged();
  void BackingChanged();
  void SizeLayer();

  NSRect mFrame = NSMakeRect(0, 0, 0, 0);
  NSView* mSuperview = nullptr;
  NSWindow* mWindow = nullptr;
  std::vector<NSView*> mSubviews;              // retained
  std::vector<NSTrackingArea*> mTrackingAreas; // retained
  std::vector<ToolTipRect> mToolTips;
  NSToolTipTag mNextToolTip = 1;
  NSArray* mDraggedTypes = nullptr;    // retained
  CALayer* mLayer = nullptr;           // retained
  NSAppearance* mAppearance = nullptr; // retained
  NSViewLayerContentsRedrawPolicy mRedrawPolicy = 0;
  BOOL mWantsLayer = NO;
  BOOL mNeedsDisplay = NO;
  BOOL mHidden = NO;
};

NS_EXPORT extern NSString* const NSViewFrameDidChangeNotification;

#include <AppKit/NSWindow.h>
