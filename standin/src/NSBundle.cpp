#include "CFInternal.h"
#include "FoundationInternal.h"

#include <Foundation/NSBundle.h>
#include <Foundation/NSString.h>

#include <map>
#include <mutex>

namespace {

NSString* PathOf(CFURLRef url)
{
  if (!url)
    return nullptr;
  NSString* s = standin::ns::MakeString(standin::cf::URLPath(url));
  CFRelease(url);
  return s;
}

} // namespace

NSBundle* NSBundle::Wrap(CFBundleRef bundle)
{
  // One wrapper per registered bundle, kept for the life of the process.
  if (!bundle)
    return nullptr;
  static std::mutex mutex;
  static auto* wrappers = new std::map<CFBundleRef, NSBundle*>();
  std::lock_guard<std::mutex> lock(mutex);
  NSBundle*& w = (*wrappers)[bundle];
  if (!w) {
    w = new NSBundle(bundle);
    NSObjectMakeConstant(w);
  }
  return w;
}

NSBundle* NSBundle::mainBundle() { return Wrap(CFBundleGetMainBundle()); }

NSBundle* NSBundle::bundleWithIdentifier(NSString* identifier)
{
  return identifier ? Wrap(CFBundleGetBundleWithIdentifier(CFStringRef(*identifier))) : nullptr;
}

NSString* NSBundle::bundleIdentifier() const { return NSString::stringWithCFString(CFBundleGetIdentifier(mBundle)); }
NSString* NSBundle::bundlePath() const { return PathOf(CFBundleCopyBundleURL(mBundle)); }
NSString* NSBundle::resourcePath() const { return PathOf(CFBundleCopyResourcesDirectoryURL(mBundle)); }
NSString* NSBundle::executablePath() const { return PathOf(CFBundleCopyExecutableURL(mBundle)); }

NSString* NSBundle::pathForResource(NSString* name, NSString* extension) const
{
  return pathForResource(name, extension, nullptr);
}

NSString* NSBundle::pathForResource(NSString* name, NSString* extension, NSString* subpath) const
{
  if (!name)
    return nullptr;
  return PathOf(CFBundleCopyResourceURL(mBundle, CFStringRef(*name), extension ? CFStringRef(*extension) : nullptr,
                                        subpath ? CFStringRef(*subpath) : nullptr));
}

NSObject* NSBundle::objectForInfoDictionaryKey(NSString* key) const
{
  if (!key)
    return nullptr;
  CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(mBundle, CFStringRef(*key));
  if (!value || CFGetTypeID(value) != CFStringGetTypeID())
    return nullptr;
  return NSString::stringWithCFString(static_cast<CFStringRef>(value));
}
