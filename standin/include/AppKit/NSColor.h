// Colours in device RGB, and the shared colour panel, which sends its action
// to its target when a person picks a colour (standin/Testing.h PickColor).
#pragma once

#include <Foundation/NSGeometry.h>
#include <Foundation/NSObject.h>

class NS_EXPORT NSColor : public NSObject {
public:
  static NSColor* colorWithDeviceRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha); // autoreleased
  CGFloat redComponent() const { return mR; }
  CGFloat greenComponent() const { return mG; }
  CGFloat blueComponent() const { return mB; }
  CGFloat alphaComponent() const { return mA; }
  const char* className() const override { return "NSColor"; }

protected:
  NSColor() = default;

private:
  CGFloat mR = 0, mG = 0, mB = 0, mA = 1;
};

class NS_EXPORT NSColorPanel : public NSObject {
public:
  static NSColorPanel* sharedColorPanel();
  static BOOL sharedColorPanelExists();
  void setTarget(NSObject* target) { mTarget = target; }
  void setAction(SEL action) { mAction = action; }
  void setShowsAlpha(BOOL shows) { mShowsAlpha = shows; }
  BOOL showsAlpha() const { return mShowsAlpha; }
  void setColor(NSColor* color);
  NSColor* color() const { return mColor; }
  void orderFront(NSObject* sender) { (void)sender, mVisible = YES; }
  void close() { mVisible = NO; }
  BOOL isVisible() const { return mVisible; }
  // Stand-in: a person picks a colour; the action goes to the target.
  void Pick(NSColor* color);
  // Stand-in: the shared panel goes away (test reset).
  static void Dispose();
  const char* className() const override { return "NSColorPanel"; }

protected:
  NSColorPanel() = default;
  void dealloc() override;

private:
  NSObject* mTarget = nullptr; // not retained
  SEL mAction = nullptr;
  NSColor* mColor = nullptr; // retained
  BOOL mShowsAlpha = NO;
  BOOL mVisible = NO;
};
