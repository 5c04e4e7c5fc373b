// Key translation, entry by entry, against the table as the platform
// documents it (written out again here).

#include <gtest/gtest.h>

#include <string>

#include "MacKeys.h"

namespace {

using namespace plugin::igraphics;

constexpr unsigned long kShift = 1ul << 17, kControl = 1ul << 18, kOption = 1ul << 19, kCommand = 1ul << 20;

MacKey Translate(unsigned short code, const std::u16string& chars, unsigned long mods = 0)
{
  return MacKeyEventToVirtualKey(code, mods, chars.data(), chars.size());
}

TEST(MacKeys, EveryHardwareKeyOfTheTableGivesItsVirtualKeyWhateverTheCharacters)
{
  struct Row {
    unsigned short mac;
    int vk;
  };
  // Back space; keypad . * + clear / enter - =; keypad 0-9; insert, home,
  // page up, delete, end, page down; F1-F16; arrows.
  const Row rows[] = {{51, 8},    {65, 110},  {67, 106},  {69, 107},  {71, 144},  {75, 111},  {76, 32781}, {78, 109},
                      {81, 108},  {82, 96},   {83, 97},   {84, 98},   {85, 99},   {86, 100},  {87, 101},   {88, 102},
                      {89, 103},  {91, 104},  {92, 105},  {114, 45},  {115, 36},  {116, 33},  {117, 46},   {119, 35},
                      {121, 34},  {122, 112}, {120, 113}, {99, 114},  {118, 115}, {96, 116},  {97, 117},   {98, 118},
                      {100, 119}, {101, 120}, {109, 121}, {103, 122}, {111, 123}, {105, 124}, {107, 125},  {113, 126},
                      {106, 127}, {123, 37},  {124, 39},  {125, 40},  {126, 38}};
  for (const Row& r : rows) {
    const MacKey k = Translate(r.mac, u"q", kShift);
    EXPECT_EQ(k.code, r.vk) << "key code " << r.mac;
    EXPECT_EQ(k.flags, kMacKeyVirtual | kMacKeyShift) << "key code " << r.mac;
  }
}

TEST(MacKeys, CharactersDecideForOtherKeys)
{
  struct Row {
    const char* what;
    unsigned short code;
    std::u16string chars;
    unsigned long mods;
    int vk; // IKeyPress::VK
    const char* text;
    bool shift, control, option;
  };
  const Row rows[] = {
    {"return through its character", 36, u"\r", 0, 13, "\r", false, false, false},
    {"command-a", 0, u"a", kCommand, 65, "a", false, true, false},
    {"shift-a comes upper-cased", 0, u"A", kShift, 65, "A", true, false, false},
    {"digit", 18, u"1", 0, 49, "1", false, false, false},
    {"comma is no virtual key and loses shift", 43, u",", kShift, 0, ",", false, false, false},
    {"option-e gives its accent text", 14, u"\u00e9", kOption, 0, "\xc3\xa9", false, false, true},
    {"U+07FF is the last two-byte text", 0, u"\u07ff", 0, 0, "\xdf\xbf", false, false, false},
    {"U+0800 is the first three-byte text", 0, u"\u0800", 0, 0, "\xe0\xa0\x80", false, false, false},
    {"F1 character", 200, u"\uF704", 0, 112, "\xef\x9c\x84", false, false, false},
    {"F24 character", 200, u"\uF71B", 0, 135, "\xef\x9c\x9b", false, false, false},
    {"escape", 53, u"\x1b", 0, 27, "\x1b", false, false, false},
    {"space", 49, u" ", kControl, 32, " ", false, false, false},
    {"tab", 48, u"\t", 0, 9, "\t", false, false, false},
    {"shift-tab arrives as back-tab with shift", 48, u"\x19", kShift, 9, "\x19", true, false, false},
    {"command back-tab is a tab", 48, u"\x19", kCommand, 9, "\x19", false, true, false},
    {"bare back-tab stays itself", 48, u"\x19", 0, 0, "\x19", false, false, false},
    {"no characters: code + 1024", 10, u"", 0, 1034, "", false, false, false},
    {"two characters: no text", 0, u"ab", 0, 65, "", false, false, false},
  };
  for (const Row& r : rows) {
    const MacKey k = Translate(r.code, r.chars, r.mods);
    const IKeyPress p = MacKeyPress(k, r.chars.data(), r.chars.size());
    EXPECT_EQ(p.VK, r.vk) << r.what;
    EXPECT_STREQ(p.utf8, r.text) << r.what;
    EXPECT_EQ(p.S, r.shift) << r.what;
    EXPECT_EQ(p.C, r.control) << r.what;
    EXPECT_EQ(p.A, r.option) << r.what;
  }
}

TEST(MacKeys, ModifierBitsFollowTheirFlags)
{
  const unsigned long all = kShift | kControl | kOption | kCommand;
  EXPECT_EQ(Translate(126, u"", all).flags,
            kMacKeyVirtual | kMacKeyShift | kMacKeyCommand | kMacKeyOption | kMacKeyControl);
  EXPECT_EQ(Translate(126, u"", kControl).flags, kMacKeyVirtual | kMacKeyControl);
}

} // namespace
