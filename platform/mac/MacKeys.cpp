#include "MacKeys.h"

#include <cctype>

namespace plugin::igraphics {

namespace {

// Hardware key codes the table knows, with their Windows virtual keys.
struct KeyEntry {
  unsigned short mac;
  int vk;
};
constexpr KeyEntry kKeyTable[] = {
  {51, 8},    {65, 110},  {67, 106},  {69, 107},  {71, 144},  {75, 111},  {76, 13 + 0x8000}, {78, 109},  {81, 108},
  {82, 96},   {83, 97},   {84, 98},   {85, 99},   {86, 100},  {87, 101},  {88, 102},         {89, 103},  {91, 104},
  {92, 105},  {114, 45},  {115, 36},  {116, 33},  {117, 46},  {119, 35},  {121, 34},         {96, 116},  {97, 117},
  {98, 118},  {99, 114},  {100, 119}, {101, 120}, {103, 122}, {105, 124}, {106, 127},        {107, 125}, {109, 121},
  {111, 123}, {113, 126}, {118, 115}, {120, 113}, {122, 112}, {123, 37},  {124, 39},         {125, 40},  {126, 38}};

constexpr unsigned long kShift = 1ul << 17, kControl = 1ul << 18, kOption = 1ul << 19, kCommand = 1ul << 20;

} // namespace

MacKey MacKeyEventToVirtualKey(unsigned short keyCode, unsigned long modifierFlags, const char16_t* chars,
                               std::size_t nChars)
{
  MacKey k;
  if (modifierFlags & kShift)
    k.flags |= kMacKeyShift;
  if (modifierFlags & kCommand)
    k.flags |= kMacKeyCommand;
  if (modifierFlags & kOption)
    k.flags |= kMacKeyOption;
  if (modifierFlags & kControl)
    k.flags |= kMacKeyControl;

  for (const KeyEntry& e : kKeyTable) {
    if (e.mac == keyCode) {
      k.code = e.vk;
      k.flags |= kMacKeyVirtual;
      return k;
    }
  }
  if (!chars || nChars == 0) {
    k.code = keyCode + 1024;
    k.flags |= kMacKeyVirtual;
    return k;
  }
  int c = chars[0];
  if (c >= 63236 && c <= 63259) { // F1 to F24 function-key characters
    k.code = c - 63124;
    k.flags |= kMacKeyVirtual;
    return k;
  }
  if (c >= 'a' && c <= 'z')
    c += 'A' - 'a';
  // Shift-tab arrives as back-tab with shift held; with command it is a tab.
  if (c == 25 && (k.flags & (kMacKeyShift | kMacKeyCommand)))
    c = 9;
  const bool alnum = c < 128 && std::isalnum(c);
  if (alnum || c == 9 || c == 10 || c == 13 || c == 27 || c == 32) {
    k.code = c;
    k.flags |= kMacKeyVirtual;
    return k;
  }
  k.code = c;
  k.flags &= ~kMacKeyShift;
  return k;
}

IKeyPress MacKeyPress(const MacKey& key, const char16_t* chars, std::size_t nChars)
{
  char utf8[5] = {};
  if (chars && nChars == 1) {
    const char16_t c = chars[0];
    if (c < 0x80) {
      utf8[0] = char(c);
    } else if (c < 0x800) {
      utf8[0] = char(0xC0 | (c >> 6));
      utf8[1] = char(0x80 | (c & 0x3F));
    } else if (c < 0xD800 || c > 0xDFFF) { // a lone surrogate is no character
      utf8[0] = char(0xE0 | (c >> 12));
      utf8[1] = char(0x80 | ((c >> 6) & 0x3F));
      utf8[2] = char(0x80 | (c & 0x3F));
    }
  }
  return IKeyPress(utf8, (key.flags & kMacKeyVirtual) ? key.code : 0, (key.flags & kMacKeyShift) != 0,
                   (key.flags & kMacKeyCommand) != 0, (key.flags & kMacKeyOption) != 0);
}

bool MessageBoxHasPanel(int type) { return type >= 0 && type <= 5 && type != 2; }

MessageBoxButtons MessageBoxButtonsForType(int type)
{
  switch (type) {
  case 0: return {"OK", nullptr, nullptr};
  case 1: return {"OK", "Cancel", nullptr};
  case 3: return {"Yes", "Cancel", "No"};
  case 4: return {"Yes", "No", nullptr};
  case 5: return {"Retry", "Cancel", nullptr};
  default: return {nullptr, nullptr, nullptr};
  }
}

int MessageBoxResult(int type, long panelAnswer)
{
  const bool isDefault = panelAnswer == 1;
  switch (type) {
  case 1: return isDefault ? 1 : 2;
  case 3: return isDefault ? 6 : panelAnswer == -1 ? 7 : 2;
  case 4: return isDefault ? 6 : 7;
  case 5: return isDefault ? 4 : 2;
  case 0: return 1;
  default: return 2;
  }
}

} // namespace plugin::igraphics
