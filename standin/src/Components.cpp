#include "ComponentInstance.h"

#include <CoreServices/CoreServices.h>
#include <standin/Host.h>

#include <atomic>

using standin::au::CallEntry;
using standin::au::Record;

namespace {

struct SystemVersion {
  std::atomic<int> major{10};
  std::atomic<int> minor{15};
  std::atomic<int> bugFix{7};
};

SystemVersion& Version()
{
  static SystemVersion v;
  return v;
}

} // namespace

Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance)
{
  ComponentInstanceRecord* r = Record(aComponentInstance);
  if (!r)
    return nullptr;
  // An AudioComponent instance's storage is its plug-in interface, which
  // every method it hands out takes first.
  return r->storage ? r->storage : reinterpret_cast<Handle>(r->plugin);
}

void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage)
{
  if (ComponentInstanceRecord* r = Record(aComponentInstance))
    r->storage = theStorage;
}

namespace {

ComponentResult CallStandard(ComponentInstance ci, SInt16 selector, auto... args)
{
  ComponentInstanceRecord* r = Record(ci);
  if (!r || !r->entry)
    return badComponentInstance;
  return CallEntry(r, selector, args...);
}

} // namespace

ComponentResult CallComponentOpen(ComponentInstance ci, ComponentInstance self)
{
  return CallStandard(ci, kComponentOpenSelect, self);
}

ComponentResult CallComponentClose(ComponentInstance ci, ComponentInstance self)
{
  return CallStandard(ci, kComponentCloseSelect, self);
}

ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber)
{
  return CallStandard(ci, kComponentCanDoSelect, ftnNumber);
}

ComponentResult CallComponentVersion(ComponentInstance ci) { return CallStandard(ci, kComponentVersionSelect); }

OSErr Gestalt(OSType selector, SInt32* response)
{
  if (!response)
    return OSErr(paramErr);
  SystemVersion& v = Version();
  switch (selector) {
  case gestaltSystemVersionMajor: *response = v.major; return noErr;
  case gestaltSystemVersionMinor: *response = v.minor; return noErr;
  case gestaltSystemVersionBugFix: *response = v.bugFix; return noErr;
  case gestaltSystemVersion: {
    auto capped = [](int x) { return x < 0 ? 0 : (x > 9 ? 9 : x); };
    const int major = v.major;
    *response = SInt32(((major / 10) << 12) | ((major % 10) << 8) | (capped(v.minor) << 4) | capped(v.bugFix));
    return noErr;
  }
  default: return OSErr(gestaltUndefSelectorErr);
  }
}

namespace standin {

void SetSystemVersion(int major, int minor, int bugFix)
{
  SystemVersion& v = Version();
  v.major = major;
  v.minor = minor;
  v.bugFix = bugFix;
}

AudioComponentInstance NewInstanceForPlugInInterface(AudioComponentPlugInInterface* plugin)
{
  if (!plugin)
    return nullptr;
  auto* r = new ComponentInstanceRecord();
  r->plugin = plugin;
  return r;
}

ComponentInstance NewInstanceForComponentEntry(ComponentRoutineProcPtr entry)
{
  if (!entry)
    return nullptr;
  auto* r = new ComponentInstanceRecord();
  r->entry = entry;
  return r;
}

void DisposeInstance(ComponentInstance instance)
{
  ComponentInstanceRecord* r = Record(instance);
  if (!r)
    return;
  r->magic = 0;
  delete r;
}

} // namespace standin
