#pragma once
// What the graphics context needs of its special controls, as interfaces the
// control classes implement beside IControl. The context holds the controls
// as IControl and reaches these sides by cross-casting, so graphics/ never
// names a concrete control class.

#include <cstdint>

#include "IGraphicsEvents.h"
#include "IGraphicsStructs.h"

namespace plugin::igraphics {

class IControl;
class IPopupMenu;

// The drawn popup menu that replaces the platform menu while attached.
class IPopupMenuSlot {
public:
  virtual ~IPopupMenuSlot() = default;
  // Expanded: the menu takes every click and key until it closes.
  virtual bool IsMenuOpen() const = 0;
  virtual void CreatePopupMenu(IPopupMenu& menu, const IRECT& anchorBounds) = 0;
  // Closes an open menu at once, handing back no choice; when the control
  // hands nothing back itself, the context completes the request with none.
  virtual void CollapseWithoutChoice() = 0;
};

// The drawn single-line text field that replaces the platform field.
class ITextEntrySlot {
public:
  virtual ~ITextEntrySlot() = default;
  virtual bool EditInProgress() const = 0;
  virtual void CreateTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length, const char* str) = 0;
  // Ends an edit without handing the text back.
  virtual void DismissEdit() = 0;
};

// A value bubble the context hands show requests to.
class IBubbleSlot {
public:
  virtual ~IBubbleSlot() = default;
  virtual void ShowBubble(IControl* caller, const char* str, EDirection dir, std::uint64_t touchId, float x, float y,
                          IRECT minimumContentBounds) = 0;
  // The pointer that holds the bubble's caller, 0 when none.
  virtual std::uint64_t GetTouchId() const = 0;
};

// The frame-rate display, fed one sample at the start of every frame.
class IFrameTimeSlot {
public:
  virtual ~IFrameTimeSlot() = default;
  virtual void Update(float secondsSincePreviousFrame) = 0;
};

} // namespace plugin::igraphics
