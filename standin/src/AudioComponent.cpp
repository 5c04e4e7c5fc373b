#include "CFInternal.h"
#include "ComponentInstance.h"

#include <CoreServices/MacErrors.h>

#include <standin/Host.h>

#include <deque>
#include <mutex>
#include <string>

// A registered component; registrations last for the process.
struct OpaqueAudioComponent {
  AudioComponentDescription description;
  std::string name;
  UInt32 version;
  AudioComponentFactoryFunction factory;
};

namespace {

struct Components {
  std::mutex mutex;
  std::deque<OpaqueAudioComponent> list; // stable addresses
};

Components& Registry()
{
  static Components* c = new Components();
  return *c;
}

bool Matches(const AudioComponentDescription& have, const AudioComponentDescription* want)
{
  if (!want)
    return true;
  return (!want->componentType || want->componentType == have.componentType) &&
         (!want->componentSubType || want->componentSubType == have.componentSubType) &&
         (!want->componentManufacturer || want->componentManufacturer == have.componentManufacturer);
}

} // namespace

AudioComponent AudioComponentRegister(const AudioComponentDescription* inDesc, CFStringRef inName, UInt32 inVersion,
                                      AudioComponentFactoryFunction inFactory)
{
  if (!inDesc || !inFactory)
    return nullptr;
  Components& c = Registry();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.list.push_back({*inDesc, inName ? standin::cf::StringUTF8(inName) : std::string(), inVersion, inFactory});
  return &c.list.back();
}

AudioComponent AudioComponentFindNext(AudioComponent inComponent, const AudioComponentDescription* inDesc)
{
  Components& c = Registry();
  std::lock_guard<std::mutex> lock(c.mutex);
  bool started = inComponent == nullptr;
  for (OpaqueAudioComponent& comp : c.list) {
    if (!started) {
      started = &comp == inComponent;
      continue;
    }
    if (Matches(comp.description, inDesc))
      return &comp;
  }
  return nullptr;
}

UInt32 AudioComponentCount(const AudioComponentDescription* inDesc)
{
  Components& c = Registry();
  std::lock_guard<std::mutex> lock(c.mutex);
  UInt32 n = 0;
  for (const OpaqueAudioComponent& comp : c.list)
    n += Matches(comp.description, inDesc) ? 1 : 0;
  return n;
}

OSStatus AudioComponentCopyName(AudioComponent inComponent, CFStringRef* outName)
{
  if (!inComponent || !outName)
    return paramErr;
  *outName = standin::cf::MakeString(inComponent->name);
  return noErr;
}

OSStatus AudioComponentGetDescription(AudioComponent inComponent, AudioComponentDescription* outDesc)
{
  if (!inComponent || !outDesc)
    return paramErr;
  *outDesc = inComponent->description;
  return noErr;
}

OSStatus AudioComponentGetVersion(AudioComponent inComponent, UInt32* outVersion)
{
  if (!inComponent || !outVersion)
    return paramErr;
  *outVersion = inComponent->version;
  return noErr;
}

OSStatus AudioComponentInstanceNew(AudioComponent inComponent, AudioComponentInstance* outInstance)
{
  if (!inComponent || !outInstance)
    return paramErr;
  *outInstance = nullptr;
  AudioComponentPlugInInterface* plugin = inComponent->factory(&inComponent->description);
  if (!plugin)
    return memFullErr;
  AudioComponentInstance instance = standin::NewInstanceForPlugInInterface(plugin);
  instance->component = inComponent;
  const OSStatus status = plugin->Open ? plugin->Open(plugin, instance) : OSStatus(badComponentSelector);
  if (status != noErr) {
    if (plugin->Close)
      plugin->Close(plugin);
    standin::DisposeInstance(instance);
    return status;
  }
  *outInstance = instance;
  return noErr;
}

OSStatus AudioComponentInstanceDispose(AudioComponentInstance inInstance)
{
  ComponentInstanceRecord* r = standin::au::Record(inInstance);
  if (!r)
    return badComponentInstance;
  OSStatus status = noErr;
  if (r->plugin && r->plugin->Close) {
    status = r->plugin->Close(r->plugin);
  } else if (r->entry) {
    status = CallComponentClose(inInstance, inInstance);
  }
  standin::DisposeInstance(inInstance);
  return status;
}

AudioComponent AudioComponentInstanceGetComponent(AudioComponentInstance inInstance)
{
  ComponentInstanceRecord* r = standin::au::Record(inInstance);
  return r ? r->component : nullptr;
}
