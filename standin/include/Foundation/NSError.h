// An error with a domain, a code and a text for the user.
#pragma once

#include <Foundation/NSObject.h>

class NS_EXPORT NSError : public NSObject {
public:
  // Autoreleased.
  static NSError* errorWithDomain(NSString* domain, NSInteger code, NSString* localizedDescription);
  NSString* domain() const { return mDomain; }
  NSInteger code() const { return mCode; }
  NSString* localizedDescription() const { return mDescription; }
  const char* className() const override { return "NSError"; }

protected:
  NSError() = default;
  void dealloc() override;

private:
  NSString* mDomain = nullptr;
  NSInteger mCode = 0;
  NSString* mDescription = nullptr;
};
