// Something a command buffer can show on screen once its work is done.
#pragma once

#include <Foundation/NSObject.h>

class NS_EXPORT MTLDrawable : public NSObject {
public:
  // Shows the drawable now (its layer keeps it as the last frame).
  virtual void present() = 0;
  const char* className() const override { return "MTLDrawable"; }
};
