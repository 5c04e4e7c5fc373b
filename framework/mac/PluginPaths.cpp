#include "PluginPaths.h"

#include <Foundation/Foundation.h>

#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace plugin {

namespace {

constexpr int kMaxPresetsPathLen = 1024;

// Collects the autoreleased objects of one lookup.
class ScopedPool {
public:
  ScopedPool() : mPool(NSAutoreleasePool::alloc()->init()) {}
  ~ScopedPool() { mPool->drain(); }
  ScopedPool(const ScopedPool&) = delete;
  ScopedPool& operator=(const ScopedPool&) = delete;

private:
  NSAutoreleasePool* mPool;
};

void SetFromNSString(UT_String& out, NSString* text) { out.Set(text ? text->UTF8String() : ""); }

// The first folder of that kind in the domain, "" when there is none.
void StandardFolder(UT_String& out, NSSearchPathDirectory directory, NSSearchPathDomainMask domain)
{
  ScopedPool pool;
  NSArray* paths = NSSearchPathForDirectoriesInDomains(directory, domain, YES);
  SetFromNSString(out, paths ? static_cast<NSString*>(paths->firstObject()) : nullptr);
}

NSBundle* BundleWithID(const char* bundleID)
{
  NSString* identifier = bundleID ? NSString::stringWithUTF8String(bundleID) : nullptr;
  return identifier ? NSBundle::bundleWithIdentifier(identifier) : nullptr;
}

std::string LastComponent(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name without the text from its last "." on (the name itself without one).
std::string WithoutExtension(const std::string& name)
{
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The text after the last "."; the whole name when it has none.
std::string Extension(const std::string& name)
{
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(dot + 1);
}

} // namespace

void AppSupportPath(UT_String& out, bool system)
{
  StandardFolder(out, NSApplicationSupportDirectory, system ? NSSystemDomainMask : NSUserDomainMask);
}

void AppSupportSubPath(UT_String& out, const char* name)
{
  AppSupportPath(out, false);
  out.AppendFormatted(kMaxPresetsPathLen, "/%s", name ? name : "");
}

void MusicPath(UT_String& out) { StandardFolder(out, NSMusicDirectory, NSUserDomainMask); }

void SharedDocumentsPath(UT_String& out)
{
  StandardFolder(out, NSUserDirectory, NSLocalDomainMask);
  if (out.GetLength())
    out.Append("/Shared/Documents");
}

void DesktopPath(UT_String& out) { StandardFolder(out, NSDesktopDirectory, NSUserDomainMask); }

void UserHomePath(UT_String& out)
{
  ScopedPool pool;
  SetFromNSString(out, NSHomeDirectory());
}

void BundleResourcePath(UT_String& out, const char* bundleID)
{
  ScopedPool pool;
  NSBundle* bundle = BundleWithID(bundleID);
  SetFromNSString(out, bundle ? bundle->resourcePath() : nullptr);
}

void BundleExecutablePath(UT_String& out, const char* bundleID)
{
  ScopedPool pool;
  NSBundle* bundle = BundleWithID(bundleID);
  if (NSString* path = bundle ? bundle->executablePath() : nullptr)
    out.Set(path->UTF8String());
}

void BundleParentPath(UT_String& out, const char* bundleID)
{
  ScopedPool pool;
  NSBundle* bundle = BundleWithID(bundleID);
  NSString* path = bundle ? bundle->bundlePath() : nullptr;
  if (!path) {
    out.Set("");
    return;
  }
  SetFromNSString(out, path->stringByDeletingLastPathComponent());
  out.Append("/");
}

void PresetsPath(UT_String& out, const char* mfrName, const char* pluginName, bool local)
{
  UT_String library;
  StandardFolder(library, NSLibraryDirectory, local ? NSLocalDomainMask : NSUserDomainMask);
  out.SetFormatted(kMaxPresetsPathLen, "%s/Audio/Presets/%s/%s/", library.Get(), mfrName ? mfrName : "",
                   pluginName ? pluginName : "");
}

bool IsSandboxed()
{
  UT_String home;
  UserHomePath(home);
  return std::strstr(home.Get(), "Library/Containers/") != nullptr;
}

bool FileExists(const char* path)
{
  struct stat st;
  return path && *path && ::stat(path, &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const char* path)
{
  struct stat st;
  return path && *path && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const char* path)
{
  if (!path || !*path)
    return false;
  struct stat st;
  if (::stat(path, &st) == 0)
    return S_ISDIR(st.st_mode);
  return ::mkdir(path, 0777) == 0 || (errno == EEXIST && FolderExists(path));
}

bool LocateResource(const char* name, const char* type, UT_String& result, const char* bundleID,
                    const char* sharedResourcesSubPath)
{
  if (!name || !*name)
    return false;
  const std::string fullName = name;
  const bool typeMatches = type && strcasecmp(Extension(fullName).c_str(), type) == 0;

  if (typeMatches) {
    ScopedPool pool;
    if (NSBundle* bundle = BundleWithID(bundleID)) {
      NSString* nsType = NSString::stringWithUTF8String(type);
      NSString* found = bundle->pathForResource(
        NSString::stringWithUTF8String(WithoutExtension(LastComponent(fullName)).c_str()), nsType);
      if (!found)
        found = bundle->pathForResource(NSString::stringWithUTF8String(WithoutExtension(fullName).c_str()), nsType);
      if (found && FileExists(found->UTF8String())) {
        result.Set(found->UTF8String());
        return true;
      }
      result.Set("");
    }

    UT_String shared;
    MusicPath(shared);
    std::string path = shared.Get();
    if (sharedResourcesSubPath && *sharedResourcesSubPath)
      path += std::string("/") + sharedResourcesSubPath;
    path += "/Resources/" + WithoutExtension(LastComponent(fullName)) + "." + type;
    if (FileExists(path.c_str())) {
      result.Set(path.c_str());
      return true;
    }
    result.Set("");
  }

  if (FileExists(name)) {
    result.Set(name);
    return true;
  }
  return false;
}

} // namespace plugin
