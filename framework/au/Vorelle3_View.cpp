#include "Vorelle3_View.h"

#include "IPluginAPIBase.h"
#include "IPluginAU.h"

Vorelle3_View* Vorelle3_View::init()
{
  mPlug = nullptr;
  NSObject::init();
  return this;
}

NSView* Vorelle3_View::uiViewForAudioUnit(AudioUnit unit, NSSize)
{
  plugin::IPluginAPIBase* plug = nullptr;
  UInt32 size = sizeof(plug);
  if (AudioUnitGetProperty(unit, plugin::kPlugInObjectPropertyID, kAudioUnitScope_Global, 0, &plug, &size) != noErr ||
      size != sizeof(plug))
    return nullptr;
  mPlug = plug;
  if (!mPlug || !mPlug->HasUI())
    return nullptr;
  return static_cast<NSView*>(mPlug->OpenWindow(nullptr));
}

NSString* Vorelle3_View::description() { return NSString::stringWithUTF8String("Vorelle3 View"); }

void Vorelle3_View::Register()
{
  objc_registerClass(kClassName, objc_getClass("NSObject"), []() -> NSObject* { return Vorelle3_View::alloc(); });
}

void Vorelle3_View::Unregister()
{
  if (Class cls = objc_getClass(kClassName))
    objc_disposeClassPair(cls);
}
