#include "CFInternal.h"
#include "CFRuntime.h"
#include "InfoPlist.h"

#include <standin/Host.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

using namespace standin::cf;

// A registered bundle. Bundles are constant objects: the registry and every
// borrowed reference may use them for the rest of the process.
struct __CFBundle final : Object {
  explicit __CFBundle(const standin::BundleDescription& d) : Object(kBundleTypeID), description(d)
  {
    MakeConstant();
    CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    // Keys and values are constant too, so a bundle adds nothing to the live count.
    auto put = [dict](const std::string& key, const std::string& value) {
      CFStringRef k = MakeString(key);
      CFStringRef v = MakeString(value);
      if (k && v) {
        standin::cf::MakeConstant(k);
        standin::cf::MakeConstant(v);
        CFDictionaryAddValue(dict, k, v);
        return;
      }
      if (k)
        CFRelease(k);
      if (v)
        CFRelease(v);
    };
    std::map<std::string, std::string> values = d.info;
    values["CFBundleIdentifier"] = d.identifier;
    if (!d.executableName.empty())
      values["CFBundleExecutable"] = d.executableName;
    for (const auto& [key, value] : values)
      put(key, value);
    info = dict;
    standin::cf::MakeConstant(dict);
    identifier = static_cast<CFStringRef>(CFDictionaryGetValue(info, CFSTR("CFBundleIdentifier")));
  }
  std::string Describe() const override { return "<CFBundle " + description.path + ">"; }

  std::string ResourcesPath() const { return description.path + "/Contents/Resources"; }

  standin::BundleDescription description;
  CFDictionaryRef info = nullptr; // constant; owns its keys and values
  CFStringRef identifier = nullptr;
};

namespace {

struct Registry {
  std::mutex mutex;
  std::vector<__CFBundle*> bundles;
  __CFBundle* main = nullptr;
  std::vector<__CFBundle*> retired; // replaced or cleared, still valid for borrowers
};

Registry& Bundles()
{
  static Registry* r = new Registry();
  return *r;
}

__CFBundle* BundleOf(CFTypeRef b) { return As<__CFBundle>(b, kBundleTypeID); }

bool IsFile(const std::string& path)
{
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

const CFStringRef kCFBundleInfoDictionaryVersionKey = CFSTR("CFBundleInfoDictionaryVersion");
const CFStringRef kCFBundleExecutableKey = CFSTR("CFBundleExecutable");
const CFStringRef kCFBundleIdentifierKey = CFSTR("CFBundleIdentifier");
const CFStringRef kCFBundleVersionKey = CFSTR("CFBundleVersion");
const CFStringRef kCFBundleNameKey = CFSTR("CFBundleName");
const CFStringRef kCFBundleDevelopmentRegionKey = CFSTR("CFBundleDevelopmentRegion");

namespace standin::cf {

std::vector<std::string> BundleResourceFolders()
{
  Registry& r = Bundles();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<std::string> folders;
  for (const __CFBundle* b : r.bundles)
    folders.push_back(b->ResourcesPath());
  if (r.main)
    folders.push_back(r.main->ResourcesPath());
  return folders;
}

} // namespace standin::cf

CFTypeID CFBundleGetTypeID(void) { return kBundleTypeID; }

CFBundleRef CFBundleGetMainBundle(void)
{
  Registry& r = Bundles();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.main;
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID)
{
  if (!bundleID)
    return nullptr;
  const std::string& id = StringUTF8(bundleID);
  Registry& r = Bundles();
  std::lock_guard<std::mutex> lock(r.mutex);
  for (__CFBundle* b : r.bundles) {
    if (b->description.identifier == id)
      return b;
  }
  if (r.main && r.main->description.identifier == id)
    return r.main;
  return nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) { return BundleOf(bundle)->identifier; }
CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle) { return BundleOf(bundle)->info; }

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key)
{
  if (!key)
    return nullptr;
  return CFDictionaryGetValue(BundleOf(bundle)->info, key);
}

UInt32 CFBundleGetVersionNumber(CFBundleRef bundle)
{
  // Packed as major (two BCD digits), minor and bug-fix (one BCD digit each),
  // then a final-release stage byte.
  auto v = static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(bundle, kCFBundleVersionKey));
  if (!v || CFGetTypeID(v) != kStringTypeID)
    return 0;
  unsigned major = 0, minor = 0, fix = 0;
  if (std::sscanf(StringUTF8(v).c_str(), "%u.%u.%u", &major, &minor, &fix) < 1)
    return 0;
  major %= 100;
  return ((major / 10) << 28) | ((major % 10) << 24) | ((minor % 10) << 20) | ((fix % 10) << 16) | (0x80u << 8);
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) { return MakeFileURL(BundleOf(bundle)->description.path, true); }

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle)
{
  return MakeFileURL(BundleOf(bundle)->ResourcesPath(), true);
}

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle)
{
  const __CFBundle* b = BundleOf(bundle);
  if (b->description.executableName.empty())
    return nullptr;
  return MakeFileURL(b->description.path + "/Contents/MacOS/" + b->description.executableName, false);
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                 CFStringRef subDirName)
{
  const __CFBundle* b = BundleOf(bundle);
  if (!resourceName)
    return nullptr;
  std::string path = b->ResourcesPath() + "/";
  if (subDirName && CFStringGetLength(subDirName) > 0)
    path += StringUTF8(subDirName) + "/";
  path += StringUTF8(resourceName);
  if (resourceType && CFStringGetLength(resourceType) > 0) {
    const std::string& type = StringUTF8(resourceType);
    path += (type[0] == '.' ? "" : ".") + type;
  }
  return IsFile(path) ? MakeFileURL(path, false) : nullptr;
}

namespace standin {

CFBundleRef RegisterBundle(const BundleDescription& bundle)
{
  auto* b = new __CFBundle(bundle);
  Registry& r = Bundles();
  std::lock_guard<std::mutex> lock(r.mutex);
  // A replaced bundle stays allocated: borrowed references may still use it.
  std::erase_if(r.bundles, [&](__CFBundle* old) {
    if (old->description.identifier != bundle.identifier)
      return false;
    r.retired.push_back(old);
    return true;
  });
  r.bundles.push_back(b);
  return b;
}

CFBundleRef RegisterBundleAtPath(const std::string& path)
{
  std::map<std::string, std::string> values;
  if (!ReadInfoPlistStrings(path + "/Contents/Info.plist", values))
    return nullptr;
  BundleDescription d;
  d.path = path;
  d.identifier = values["CFBundleIdentifier"];
  d.executableName = values["CFBundleExecutable"];
  d.info = values;
  if (d.identifier.empty())
    return nullptr;
  return RegisterBundle(d);
}

CFBundleRef SetMainBundle(const BundleDescription& bundle)
{
  __CFBundle* b = bundle.identifier.empty() ? nullptr : new __CFBundle(bundle);
  Registry& r = Bundles();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (r.main)
    r.retired.push_back(r.main);
  r.main = b;
  return b;
}

void ClearBundles()
{
  Registry& r = Bundles();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.retired.insert(r.retired.end(), r.bundles.begin(), r.bundles.end());
  if (r.main)
    r.retired.push_back(r.main);
  r.bundles.clear();
  r.main = nullptr;
}

} // namespace standin
