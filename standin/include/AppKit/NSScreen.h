// Screens, appearances, animation groups and the application bits a plug-in
// view touches.
#pragma once

#include <Foundation/NSGeometry.h>
#include <Foundation/NSString.h>

class NS_EXPORT NSScreen : public NSObject {
public:
  static NSScreen* mainScreen();
  CGFloat backingScaleFactor() const;
  NSRect frame() const;
  const char* className() const override { return "NSScreen"; }

private:
  NSScreen() = default;
};

typedef NSString* NSAppearanceName;
NS_EXPORT extern NSString* const NSAppearanceNameAqua;
NS_EXPORT extern NSString* const NSAppearanceNameDarkAqua;

class NS_EXPORT NSAppearance : public NSObject {
public:
  static NSAppearance* appearanceNamed(NSAppearanceName name); // shared; nil for unknown names
  NSAppearanceName name() const { return mName; }
  const char* className() const override { return "NSAppearance"; }

private:
  NSAppearance() = default;
  NSString* mName = nullptr;
};

class NS_EXPORT NSAnimationContext : public NSObject {
public:
  static void beginGrouping();
  static void endGrouping();
  static NSAnimationContext* currentContext();
  void setDuration(double seconds) { mDuration = seconds; }
  double duration() const { return mDuration; }
  const char* className() const override { return "NSAnimationContext"; }

private:
  NSAnimationContext() = default;
  double mDuration = 0.25;
};

NS_EXPORT BOOL NSApplicationLoad(void);
