// The root class. Objective-C classes are C++ classes of the same name; a
// selector is a method named by its first keyword. Reference counting
// follows the platform: alloc/new/copy give an owned object, release drops
// ownership, autorelease hands it to the innermost autorelease pool, and
// the last release runs dealloc (override it, then call NSObject::dealloc()).
#pragma once

#include <Foundation/NSObjCRuntime.h>

#include <atomic>

class NSString;

class NS_EXPORT NSObject {
public:
  static NSObject* alloc() { return new NSObject(); }
  static NSObject* new_() { return alloc()->init(); }
  virtual NSObject* init() { return this; }

  NSObject* retain();
  void release();
  NSObject* autorelease();
  NSUInteger retainCount() const;

  virtual NSString* description(); // autoreleased
  virtual BOOL isEqual(NSObject* other) { return other == this; }
  virtual NSUInteger hash() { return NSUInteger(this); }
  // The registered class name of the object ("NSObject" unless registered).
  virtual const char* className() const { return "NSObject"; }

  NSObject(const NSObject&) = delete;
  NSObject& operator=(const NSObject&) = delete;

protected:
  NSObject();
  virtual ~NSObject();
  // Frees the object; overrides release their own state, then call this.
  virtual void dealloc();

private:
  friend NS_EXPORT void NSObjectMakeConstant(NSObject* object);
  std::atomic<NSUInteger> mRetainCount{1};
  bool mConstant = false; // literals: never freed, retain and release do nothing
};

// Turns an object into a process-lifetime constant (used for literals).
NS_EXPORT void NSObjectMakeConstant(NSObject* object);
