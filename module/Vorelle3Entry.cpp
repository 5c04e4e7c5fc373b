// The module's two exported doors and MakePlug, the only place that builds
// the plug-in object.
#include <new>

#include "AUPlugInInstance.h"
#include "EditorWiring.h"
#include "PlugClass.h"
#include "Vorelle3_View.h"

#define VORELLE3_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using plugin::IPluginAU;

// With memory: built in place; else with new (freed again when the
// constructor throws, which passes the exception on).
IPluginAU* MakePlug(void* memory)
{
  plugin::InstanceInfo info;
  info.mCocoaViewFactoryClassName.Set(Vorelle3_View::kClassName);
  InstallEditor(info);
  if (memory)
    return new (memory) PlugClass(info);
  return new PlugClass(info);
}

IPluginAU* AUPlugInConstruct(void* memory, AudioComponentInstance) { return MakePlug(memory); }

void AUPlugInDestruct(void* memory) { static_cast<PlugClass*>(memory)->~PlugClass(); }

// The view factory is known by name as soon as the module is loaded.
__attribute__((constructor)) void RegisterViewFactory() { Vorelle3_View::Register(); }
__attribute__((destructor)) void UnregisterViewFactory() { Vorelle3_View::Unregister(); }

} // namespace

VORELLE3_EXPORT AudioComponentPlugInInterface* Vorelle3_Factory(const AudioComponentDescription*)
{
  plugin::AUPlugInInstance* record =
    plugin::AUPlugInInstanceCreate(sizeof(PlugClass), alignof(PlugClass), AUPlugInConstruct, AUPlugInDestruct);
  return record ? &record->mInterface : nullptr;
}

VORELLE3_EXPORT OSStatus Vorelle3_Entry(ComponentParameters* params, void* storage)
{
  return IPluginAU::ComponentEntry(params, storage, MakePlug);
}
