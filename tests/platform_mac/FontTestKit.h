#pragma once
// What the font tests share: the fonts installed here, an independent
// reading of their tables (fontTools in a child process), fonts made by
// fontTools in the build tree, and a small hand-built font.

#include <cstdint>
#include <string>
#include <vector>

namespace fonttest {

inline const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";
inline const std::string kRoboto = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/";

struct Tables {
  int unitsPerEm = -1, macStyle = -1, ascent = 0, descent = 0, lineGap = 0;
  std::string family, style;
};

// fontTools' reading of face `face` of the file; unitsPerEm -1 when it failed.
Tables ReadWithFontTools(const std::string& path, int face = 0);

// A folder under the build tree, made on first use.
std::string OutputDir();
// Roboto Regular and Bold renamed to family "Vorelle Pair" in one
// collection (made once per run); "" when fontTools failed.
std::string PairCollection();
// Roboto Regular and Bold as family "Vorelle One", then DejaVu Sans and Sans
// Bold as "Vorelle Two", styles Regular and Bold, in one collection.
std::string TwoFamilyCollection();
// A copy of Roboto Regular with new em size, ascender and descender.
std::string EditedRoboto(const std::string& name, int upm, int ascent, int descent);

std::vector<uint8_t> ReadFile(const std::string& path);

// A minimal TrueType file: head, hhea and name tables (in that order, name
// last) with the given names in Windows Unicode and Macintosh Roman records.
struct SynthFont {
  std::vector<uint8_t> bytes;
  size_t headAt = 0, hheaAt = 0, nameAt = 0, nameRecordsAt = 0, stringsAt = 0;
};
SynthFont MakeSynthFont(const std::u16string& family, const std::string& macFamily, const std::string& style,
                        int upm = 1000, int ascent = 800, int descent = -200, int lineGap = 90);

void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v);
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v);

} // namespace fonttest
