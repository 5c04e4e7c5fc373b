// Shared between the AppKit stand-in's files: what a person will do next,
// what was shown, and the system pointer.
#pragma once

#include <standin/Testing.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class NSString;

namespace standin::appkit {

struct PersonState {
  std::deque<long> alertButtons;
  std::deque<std::optional<std::string>> panelChoices;
  std::function<bool(const std::string&, const std::string&)> panelChoiceCheck;
  std::deque<std::vector<int>> menuChoices;
  std::vector<ShownAlert> alerts;
  std::vector<ShownPanel> panels;
  std::vector<ShownMenu> menus;
  std::vector<std::string> workspace;
  std::vector<std::string> unavailableCursors;
  PointerState pointer;
  std::string cursor = "arrow";
  std::string appearance = "NSAppearanceNameAqua";
  double screenScale = 1.0;
  bool openURLSucceeds = true;
  bool helpCursorShown = false;
};

// Main thread only, as AppKit.
PersonState& Person();
void ResetAppKit();
std::string Text(NSString* string); // "" for nil
constexpr double kDisplayWidth = 1920;
constexpr double kDisplayHeight = 1080;

} // namespace standin::appkit
