#pragma once
// The Cocoa view factory the unit names in its CocoaUI property. The host
// makes one by class name and asks it for the editor view of a unit; it
// finds the plug-in object through the unit's private property and lets it
// open its editor. Main thread only.

#include <AudioUnit/AUCocoaUIView.h>
#include <Foundation/Foundation.h>

namespace plugin {
class IPluginAPIBase;
}

class NS_EXPORT Vorelle3_View : public NSObject, public AUCocoaUIBase {
public:
  static constexpr const char* kClassName = "Vorelle3_View";

  static Vorelle3_View* alloc() { return new Vorelle3_View(); }
  Vorelle3_View* init() override;

  // The editor view of the unit's plug-in object, or nil (another maker's
  // unit, no editor, or the editor made no view). The size is not used.
  NSView* uiViewForAudioUnit(AudioUnit unit, NSSize preferredSize) override;
  unsigned interfaceVersion() override { return 0; }
  NSString* description() override;
  const char* className() const override { return kClassName; }

  // The plug-in object of the last view made (borrowed), or null.
  plugin::IPluginAPIBase* GetPlug() const { return mPlug; }

  // Adds the class to the registry under its name; Unregister removes it.
  static void Register();
  static void Unregister();

protected:
  Vorelle3_View() = default;

private:
  plugin::IPluginAPIBase* mPlug = nullptr;
};
