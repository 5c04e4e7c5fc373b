// An autorelease pool: objects autoreleased while it is the innermost pool
// of the thread are released when it drains. The main run loop also drains
// a pool of its own on every pass.
#pragma once

#include <Foundation/NSObject.h>

#include <cstddef>

class NS_EXPORT NSAutoreleasePool : public NSObject {
public:
  static NSAutoreleasePool* alloc() { return new NSAutoreleasePool(); }
  NSAutoreleasePool* init() override;
  // Releases the pooled objects and the pool itself.
  void drain();
  const char* className() const override { return "NSAutoreleasePool"; }

protected:
  NSAutoreleasePool() = default;

private:
  std::size_t mToken = 0;
};
