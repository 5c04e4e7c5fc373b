#pragma once
// Pointer, key and gesture records the platform hands to the graphics
// context. Coordinates are in unscaled GUI units.

#include <cstdint>
#include <functional>
#include <vector>

namespace plugin {

// Virtual-key code (letters are their upper-case character codes, 0 when
// the platform has none), the typed character as NUL-terminated UTF-8, and
// the shift, control/command and alt flags.
struct IKeyPress {
  int VK = 0;
  char utf8[5] = {};
  bool S = false, C = false, A = false;

  IKeyPress() = default;
  IKeyPress(const char* text, int vk, bool s = false, bool c = false, bool a = false) : VK(vk), S(s), C(c), A(a)
  {
    if (text)
      for (int i = 0; i < 4 && text[i]; ++i)
        utf8[i] = text[i];
  }
};

} // namespace plugin

namespace plugin::igraphics {

class IControl;
using plugin::IKeyPress;

struct IMouseMod {
  bool L = false, R = false, S = false, C = false, A = false;
  std::uint64_t touchID = 0;
  float touchRadius = 0.f;
};

struct IMouseInfo {
  float x = 0.f, y = 0.f;
  float dX = 0.f, dY = 0.f;
  IMouseMod ms;
};

using IMouseInfoList = std::vector<IMouseInfo>;

enum class EUIAppearance : int { Light = 0, Dark = 1 };

// Gesture kinds come from the platform; they are stored and forwarded as is.
enum class EGestureType : int {
  Unknown = 0,
  DoubleTap,
  TripleTap,
  LongPress1,
  LongPress2,
  SwipeLeft,
  SwipeRight,
  SwipeUp,
  SwipeDown,
  Pinch,
  Rotate
};

enum class EGestureState : int { Unknown = 0, Began, InProcess, Ended };

// The first two fields are the gesture's position in GUI units.
struct IGestureInfo {
  float x = 0.f;
  float y = 0.f;
  float scale = 0.f;
  float velocity = 0.f;
  float angle = 0.f;
  EGestureState state = EGestureState::Unknown;
  EGestureType type = EGestureType::Unknown;
};

// Receives a recognised gesture; the control is null for a region.
using IGestureFunc = std::function<void(IControl*, const IGestureInfo&)>;

} // namespace plugin::igraphics
