// The base of layers, as far as views and the GPU layer use it.
#pragma once

#include <Foundation/NSObject.h>

class NS_EXPORT CALayer : public NSObject {
public:
  static CALayer* alloc() { return new CALayer(); }
  static CALayer* layer() { return static_cast<CALayer*>(alloc()->init()->autorelease()); }
  CALayer* init() override { return this; }

  BOOL isOpaque() const { return mOpaque; }
  void setOpaque(BOOL opaque) { mOpaque = opaque; }
  const char* className() const override { return "CALayer"; }

protected:
  CALayer() = default;

private:
  BOOL mOpaque = NO;
};
