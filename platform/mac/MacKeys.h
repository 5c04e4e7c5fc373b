#pragma once
// AppKit key events in the editor's terms: hardware key codes and the
// characters a key gives become Windows virtual-key codes, and modifier
// flags become a flag word. Pure functions of the event's fields.

#include <cstddef>
#include <cstdint>

#include "IGraphicsEvents.h"

namespace plugin::igraphics {

enum EMacKeyFlags : int {
  kMacKeyVirtual = 1 << 0,
  kMacKeyShift = 1 << 2,
  kMacKeyCommand = 1 << 3,
  kMacKeyOption = 1 << 4,
  kMacKeyControl = 1 << 5
};

struct MacKey {
  int code = 0;  // virtual-key code, or the character itself (flag bit 0 clear)
  int flags = 0; // EMacKeyFlags
};

// keyCode: the hardware code; chars: charactersIgnoringModifiers as UTF-16.
MacKey MacKeyEventToVirtualKey(unsigned short keyCode, unsigned long modifierFlags, const char16_t* chars,
                               std::size_t nChars);
// The key press the editor sees: the code when it is a virtual key, the
// single character as UTF-8 (empty unless exactly one unit), shift, command
// as control, option.
IKeyPress MacKeyPress(const MacKey& key, const char16_t* chars, std::size_t nChars);

// The message-box table: the buttons shown (nullptr: none) for a type.
// Only types 0, 1, 3, 4, 5 have a panel; any other type shows none and
// answers cancel, so no caller takes an unknown request as agreed to.
struct MessageBoxButtons {
  const char* defaultButton;
  const char* alternateButton;
  const char* otherButton;
};
bool MessageBoxHasPanel(int type);
MessageBoxButtons MessageBoxButtonsForType(int type);
// The result (OK 1, cancel 2, retry 4, yes 6, no 7) for the panel's answer
// (1 default, 0 alternate, -1 other).
int MessageBoxResult(int type, long panelAnswer);

} // namespace plugin::igraphics
