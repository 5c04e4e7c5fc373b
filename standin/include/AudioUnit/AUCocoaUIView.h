// The protocol of a unit's Cocoa view factory: the host creates the class
// named by the CocoaUI property and asks it for a view.
#pragma once

#include <AppKit/NSView.h>
#include <AudioUnit/AUComponent.h>

class NS_EXPORT AUCocoaUIBase {
public:
  virtual ~AUCocoaUIBase();
  virtual unsigned interfaceVersion() = 0;
  // A view the host embeds (not retained for the host), or nil.
  virtual NSView* uiViewForAudioUnit(AudioUnit inAudioUnit, NSSize inPreferredSize) = 0;
};
