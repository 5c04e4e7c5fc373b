#pragma once
// The AppKit view that hosts the editor: a flipped, layer-backed view with
// a Metal layer, redrawn from a timer at the graphics' frame rate (only
// what is dirty), turning AppKit events into graphics calls, and serving
// the native menu, text field, colour panel, tooltips and cursors. The
// graphics object is not retained; it detaches itself before it lets the
// view go, so only a removal by the host closes the editor.

#include <AppKit/AppKit.h>

#include <functional>

#include "IGraphicsEvents.h"
#include "IGraphicsStructs.h"
#include "IRECTList.h"

namespace plugin::igraphics {
class IGraphicsMac;
class IPopupMenu;
} // namespace plugin::igraphics

class IGraphicsTextField_vVorelle3_au;

class IGraphicsView_vVorelle3_au : public NSView, public NSTextFieldDelegate {
public:
  using IGraphicsMac = plugin::igraphics::IGraphicsMac;
  static IGraphicsView_vVorelle3_au* alloc() { return new IGraphicsView_vVorelle3_au(); }
  IGraphicsView_vVorelle3_au* initWithIGraphics(IGraphicsMac* graphics);
  // The graphics object lets the view go: no event reaches it from now on.
  void detachIGraphics() { mGraphics = nullptr; }
  IGraphicsMac* graphics() const { return mGraphics; }

  // Frames.
  void setTimer();
  void killTimer();
  void onTimer(NSObject* timer);
  void render();
  void drawRect(NSRect rect) override;
  BOOL isOpaque() override { return mGraphics ? YES : NO; }
  BOOL isFlipped() override { return YES; }
  BOOL acceptsFirstResponder() override { return YES; }
  BOOL acceptsFirstMouse(NSEvent*) override { return YES; }

  // Window, backing, appearance and focus.
  void viewDidMoveToWindow() override;
  void viewDidChangeBackingProperties() override;
  void frameDidChange(NSObject* notification);
  void viewDidChangeEffectiveAppearance() override;
  void windowDidResign(NSObject* notification);
  BOOL resignFirstResponder() override;
  void removeFromSuperview() override;
  void updateTrackingAreas() override;

  // Mouse, keys and wheel.
  void getMouseXY(NSEvent* event, float& x, float& y);
  plugin::igraphics::IMouseInfo getMouseLeft(NSEvent* event);
  plugin::igraphics::IMouseInfo getMouseRight(NSEvent* event);
  void mouseDown(NSEvent* event) override;
  void rightMouseDown(NSEvent* event) override;
  void mouseUp(NSEvent* event) override;
  void rightMouseUp(NSEvent* event) override;
  void mouseDragged(NSEvent* event) override;
  void rightMouseDragged(NSEvent* event) override;
  void mouseMoved(NSEvent* event) override;
  void mouseEntered(NSEvent* event) override;
  void mouseExited(NSEvent* event) override;
  void scrollWheel(NSEvent* event) override;
  void keyDown(NSEvent* event) override;
  void keyUp(NSEvent* event) override;

  // Native user interface.
  void setMouseCursor(int cursorType);
  plugin::igraphics::IPopupMenu* createPopupMenu(plugin::igraphics::IPopupMenu& menu, NSRect bounds);
  void createTextEntry(int paramIdx, const plugin::igraphics::IText& text, const char* str, int length, NSRect bounds);
  void endUserInput();
  void controlTextDidEndEditing(NSNotification* notification) override;
  BOOL promptForColor(plugin::igraphics::IColor& color, std::function<void(const plugin::igraphics::IColor&)> func);
  void onColorPicked(NSObject* panel);
  void registerToolTip(const plugin::igraphics::IRECT& bounds);
  NSString* view(NSView* view, NSToolTipTag tag, NSPoint point, void* userData) override;
  NSDragOperation draggingEntered(NSDraggingInfo* sender) override;
  BOOL performDragOperation(NSDraggingInfo* sender) override;

  IGraphicsTextField_vVorelle3_au* textField() const { return mTextFieldView; }
  const char* className() const override { return "IGraphicsView_vVorelle3_au"; }

protected:
  IGraphicsView_vVorelle3_au() = default;
  void dealloc() override;

private:
  friend class ViewEventScope;
  NSCursor* MoveCursor();
  // The host's removal closes the editor; inside an event or frame it waits
  // until the handler is done with the graphics object.
  void closeEditor();

  IGraphicsMac* mGraphics = nullptr;
  NSTimer* mTimer = nullptr;
  NSTrackingArea* mTrackingArea = nullptr;
  IGraphicsTextField_vVorelle3_au* mTextFieldView = nullptr;
  NSCursor* mMoveCursor = nullptr;
  float mPrevX = 0.f;
  float mPrevY = 0.f;
  bool mMouseOutDuringDrag = false;
  bool mClosePending = false;
  int mEventDepth = 0;
  plugin::igraphics::IRECTList mDirtyRects;
  std::function<void(const plugin::igraphics::IColor&)> mColorPickerFunc;
};

// Platform frame of a graphics rectangle at draw scale s: left and top
// rounded down, right and bottom up.
NSRect ToNSRect(const plugin::igraphics::IRECT& r, float s);
