// The names of the faces of a font file, read from their name tables, for
// the font registry and the font objects. Reads stay inside the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace standin::ct {

struct FaceNames {
  std::string family;            // name 1
  std::string style;             // name 2
  std::string typographicFamily; // name 16, often absent
  std::string typographicStyle;  // name 17, often absent
  std::string postScript;        // name 6
};

// One entry per face that has head and name tables and a family name;
// empty when the bytes are not a font or a collection of fonts.
std::vector<FaceNames> ReadFaceNames(const uint8_t* bytes, size_t size);

// Family and style equal (ignoring ASCII case) either the typographic or
// the legacy pair of names.
bool FaceMatches(const FaceNames& face, const std::string& family, const std::string& style);

} // namespace standin::ct
