#include "AppKitInternal.h"

#include <AppKit/AppKit.h>
#include <CoreGraphics/CGDirectDisplay.h>

#include <algorithm>
#include <map>

using standin::appkit::Person;

// ---- Events ----------------------------------------------------------------------

NSEvent* NSEvent::Make(NSEventType type, NSPoint location, NSEventModifierFlags flags)
{
  NSEvent* e = new NSEvent();
  e->mType = type;
  e->mLocation = location;
  e->mFlags = flags;
  return static_cast<NSEvent*>(e->autorelease());
}

NSEvent* NSEvent::mouseEventWithType(NSEventType type, NSPoint location, NSEventModifierFlags flags, double, NSInteger,
                                     NSObject*, NSInteger, NSInteger clickCount, float)
{
  NSEvent* e = Make(type, location, flags);
  e->mClickCount = clickCount;
  return e;
}

NSEvent* NSEvent::keyEventWithType(NSEventType type, NSPoint location, NSEventModifierFlags flags, double, NSInteger,
                                   NSObject*, NSString* characters, NSString* charactersIgnoringModifiers, BOOL,
                                   unsigned short keyCode)
{
  NSEvent* e = Make(type, location, flags);
  e->mKeyCode = keyCode;
  e->mCharacters = characters ? static_cast<NSString*>(characters->retain()) : nullptr;
  e->mCharactersIgnoringModifiers =
    charactersIgnoringModifiers ? static_cast<NSString*>(charactersIgnoringModifiers->retain()) : nullptr;
  return e;
}

NSPoint NSEvent::mouseLocation() { return NSMakePoint(Person().pointer.x, Person().pointer.y); }

void NSEvent::dealloc()
{
  if (mCharacters)
    mCharacters->release();
  if (mCharactersIgnoringModifiers)
    mCharactersIgnoringModifiers->release();
  NSObject::dealloc();
}

NSTrackingArea* NSTrackingArea::initWithRect(NSRect rect, NSTrackingAreaOptions options, NSResponder* owner, NSObject*)
{
  mRect = rect;
  mOptions = options;
  mOwner = owner;
  return this;
}

// ---- Displays and the pointer ------------------------------------------------------

CGDirectDisplayID CGMainDisplayID(void) { return 1; }
size_t CGDisplayPixelsHigh(CGDirectDisplayID display)
{
  return display == 1 ? size_t(standin::appkit::kDisplayHeight) : 0;
}
size_t CGDisplayPixelsWide(CGDirectDisplayID display)
{
  return display == 1 ? size_t(standin::appkit::kDisplayWidth) : 0;
}

CGError CGDisplayHideCursor(CGDirectDisplayID)
{
  ++Person().pointer.hideCount;
  return kCGErrorSuccess;
}

CGError CGDisplayShowCursor(CGDirectDisplayID)
{
  auto& p = Person().pointer;
  p.hideCount = std::max(0, p.hideCount - 1);
  return kCGErrorSuccess;
}

CGError CGDisplayMoveCursorToPoint(CGDirectDisplayID display, CGPoint point)
{
  if (display != 1)
    return kCGErrorIllegalArgument;
  auto& p = Person().pointer;
  p.x = point.x;
  p.y = standin::appkit::kDisplayHeight - point.y;
  ++p.warps;
  return kCGErrorSuccess;
}

CGError CGAssociateMouseAndMouseCursorPosition(boolean_t connected)
{
  Person().pointer.associated = connected != 0;
  return kCGErrorSuccess;
}

// ---- Cursors and images --------------------------------------------------------------

NSCursor* SharedCursor(const char* name)
{
  static auto* cursors = new std::map<std::string, NSCursor*>(); // lives as long as the process
  NSCursor*& c = (*cursors)[name];
  if (!c) {
    c = new NSCursor();
    c->mName = name;
    NSObjectMakeConstant(c);
  }
  return c;
}

NSCursor* NSCursor::initWithImage(NSImage* image, NSPoint hotSpot)
{
  mImage = image ? static_cast<NSImage*>(image->retain()) : nullptr;
  mHotSpot = hotSpot;
  return this;
}

void NSCursor::dealloc()
{
  if (mImage)
    mImage->release();
  NSObject::dealloc();
}

NSCursor* NSCursor::arrowCursor() { return SharedCursor("arrow"); }
NSCursor* NSCursor::IBeamCursor() { return SharedCursor("IBeam"); }
NSCursor* NSCursor::crosshairCursor() { return SharedCursor("crosshair"); }
NSCursor* NSCursor::pointingHandCursor() { return SharedCursor("pointingHand"); }
NSCursor* NSCursor::operationNotAllowedCursor() { return SharedCursor("operationNotAllowed"); }
NSCursor* NSCursor::resizeUpCursor() { return SharedCursor("resizeUp"); }
NSCursor* NSCursor::resizeLeftRightCursor() { return SharedCursor("resizeLeftRight"); }
NSCursor* NSCursor::resizeUpDownCursor() { return SharedCursor("resizeUpDown"); }

namespace {
const char* const kNamedCursors[] = {"busyButClickableCursor",
                                     "_windowResizeNorthCursor",
                                     "_windowResizeNorthWestSouthEastCursor",
                                     "_windowResizeNorthEastSouthWestCursor",
                                     "_windowResizeEastWestCursor",
                                     "_windowResizeNorthSouthCursor",
                                     "_helpCursor"};
}

BOOL NSCursor::respondsToSelector(const char* name)
{
  if (!name)
    return NO;
  const std::string n = name;
  const auto& off = Person().unavailableCursors;
  if (std::find(off.begin(), off.end(), n) != off.end())
    return NO;
  if (n == "helpCursorShown" || n == "setHelpCursor:")
    return YES;
  return std::any_of(std::begin(kNamedCursors), std::end(kNamedCursors), [&](const char* k) { return n == k; });
}

NSCursor* NSCursor::performSelector(const char* name)
{
  if (!respondsToSelector(name))
    return nullptr;
  std::string n = name;
  if (n[0] == '_')
    n.erase(0, 1);
  if (n.size() > 6 && n.compare(n.size() - 6, 6, "Cursor") == 0)
    n.resize(n.size() - 6);
  return SharedCursor(n.c_str());
}

BOOL NSCursor::helpCursorShown() { return Person().helpCursorShown; }
void NSCursor::setHelpCursor(BOOL shown)
{
  Person().helpCursorShown = shown;
  if (shown)
    Person().cursor = "help";
}

void NSCursor::set()
{
  Person().cursor = mName;
  if (mName == "help")
    Person().helpCursorShown = true;
}

NSImage* NSImage::initWithSize(NSSize size)
{
  mSize = size;
  return this;
}

void NSImage::addRepresentationOfPixelSize(NSSize) { ++mReps; }

// ---- Screen, appearance, animation, application ---------------------------------------

NSScreen* NSScreen::mainScreen()
{
  static NSScreen* screen = [] {
    auto* s = new NSScreen();
    NSObjectMakeConstant(s);
    return s;
  }();
  return screen;
}

CGFloat NSScreen::backingScaleFactor() const { return Person().screenScale; }
NSRect NSScreen::frame() const
{
  return NSMakeRect(0, 0, standin::appkit::kDisplayWidth, standin::appkit::kDisplayHeight);
}

NSString* const NSAppearanceNameAqua = NSSTR("NSAppearanceNameAqua");
NSString* const NSAppearanceNameDarkAqua = NSSTR("NSAppearanceNameDarkAqua");

NSAppearance* NSAppearance::appearanceNamed(NSAppearanceName name)
{
  static NSAppearance* shared[2] = {};
  for (int i = 0; i < 2; ++i) {
    NSString* known = i == 0 ? NSAppearanceNameAqua : NSAppearanceNameDarkAqua;
    if (name && name->isEqualToString(known)) {
      if (!shared[i]) {
        shared[i] = new NSAppearance();
        shared[i]->mName = known;
        NSObjectMakeConstant(shared[i]);
      }
      return shared[i];
    }
  }
  return nullptr;
}

namespace {
std::vector<NSAnimationContext*>& Groups()
{
  static std::vector<NSAnimationContext*> groups;
  return groups;
}
} // namespace

void NSAnimationContext::beginGrouping()
{
  auto* c = new NSAnimationContext();
  Groups().push_back(c);
}

void NSAnimationContext::endGrouping()
{
  if (Groups().empty())
    return;
  Groups().back()->release();
  Groups().pop_back();
}

NSAnimationContext* NSAnimationContext::currentContext()
{
  if (Groups().empty())
    beginGrouping(); // the implicit group of this pass
  return Groups().back();
}

BOOL NSApplicationLoad(void) { return YES; }
