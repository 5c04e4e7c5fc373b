// Bundles as Foundation sees them: the same registry as CFBundle.
#pragma once

#include <CoreFoundation/CFBundle.h>
#include <Foundation/NSObject.h>

class NSString;

class NS_EXPORT NSBundle : public NSObject {
public:
  // Borrowed objects that live as long as the process.
  static NSBundle* mainBundle();
  static NSBundle* bundleWithIdentifier(NSString* identifier);

  NSString* bundleIdentifier() const;
  NSString* bundlePath() const;
  NSString* resourcePath() const;
  NSString* executablePath() const; // nil without an executable
  // The path of a file in the resources (nil when there is none); a nil or
  // empty extension means the name is complete.
  NSString* pathForResource(NSString* name, NSString* extension) const;
  NSString* pathForResource(NSString* name, NSString* extension, NSString* subpath) const;
  // The info value as an object (strings come back as NSString).
  NSObject* objectForInfoDictionaryKey(NSString* key) const;
  const char* className() const override { return "NSBundle"; }

  CFBundleRef cfBundle() const { return mBundle; }

protected:
  explicit NSBundle(CFBundleRef bundle) : mBundle(bundle) {}

private:
  static NSBundle* Wrap(CFBundleRef bundle);
  CFBundleRef mBundle;
};
