// Cursors. The shared system cursors are constants; cursors only some
// systems offer are asked for by name with respondsToSelector and
// performSelector. set makes a cursor the current one (standin/Testing.h
// reads which).
#pragma once

#include <Foundation/NSGeometry.h>
#include <Foundation/NSObject.h>

#include <string>

class NSImage;

class NS_EXPORT NSCursor : public NSObject {
public:
  static NSCursor* alloc() { return new NSCursor(); }
  NSCursor* initWithImage(NSImage* image, NSPoint hotSpot);

  static NSCursor* arrowCursor();
  static NSCursor* IBeamCursor();
  static NSCursor* crosshairCursor();
  static NSCursor* pointingHandCursor();
  static NSCursor* operationNotAllowedCursor();
  static NSCursor* resizeUpCursor();
  static NSCursor* resizeLeftRightCursor();
  static NSCursor* resizeUpDownCursor();
  // Class methods by name: "busyButClickableCursor",
  // "_windowResizeNorthWestSouthEastCursor", "_helpCursor", ...; nil for
  // names the system does not offer.
  static BOOL respondsToSelector(const char* name);
  static NSCursor* performSelector(const char* name);
  // The help cursor's state (through the same by-name calls on the platform).
  static BOOL helpCursorShown();
  static void setHelpCursor(BOOL shown);

  void set();
  NSPoint hotSpot() const { return mHotSpot; }
  NSImage* image() const { return mImage; }
  const std::string& Name() const { return mName; } // stand-in: which cursor
  const char* className() const override { return "NSCursor"; }

protected:
  NSCursor() = default;
  void dealloc() override;

private:
  friend NSCursor* SharedCursor(const char* name);
  std::string mName = "custom";
  NSImage* mImage = nullptr; // retained
  NSPoint mHotSpot = NSMakePoint(0, 0);
};

// Images of a size in points with bitmap representations at some scales.
class NS_EXPORT NSImage : public NSObject {
public:
  static NSImage* alloc() { return new NSImage(); }
  NSImage* initWithSize(NSSize size);
  NSSize size() const { return mSize; }
  // Stand-in for adding an NSBitmapImageRep: its pixel size.
  void addRepresentationOfPixelSize(NSSize pixels);
  NSUInteger representationCount() const { return mReps; }
  const char* className() const override { return "NSImage"; }

protected:
  NSImage() = default;

private:
  NSSize mSize = NSMakeSize(0, 0);
  NSUInteger mReps = 0;
};
