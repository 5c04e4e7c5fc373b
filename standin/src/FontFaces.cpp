#include "FontFaces.h"

#include <strings.h>

#include <cstring>

namespace standin::ct {
namespace {

class Bytes {
public:
  Bytes(const uint8_t* p, size_t n) : mP(p), mN(p ? n : 0) {}
  bool Has(size_t at, size_t count) const { return at <= mN && count <= mN - at; }
  uint16_t U16(size_t at) const { return Has(at, 2) ? uint16_t(mP[at] << 8 | mP[at + 1]) : 0; }
  uint32_t U32(size_t at) const { return Has(at, 4) ? uint32_t(U16(at)) << 16 | U16(at + 2) : 0; }
  bool Tag(size_t at, const char* tag) const { return Has(at, 4) && std::memcmp(mP + at, tag, 4) == 0; }
  const uint8_t* At(size_t at) const { return mP + at; }

private:
  const uint8_t* mP;
  size_t mN;
};

void PutUTF8(std::string& out, uint32_t c)
{
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | c >> 6);
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | c >> 12);
    out += char(0x80 | (c >> 6 & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | c >> 18);
    out += char(0x80 | (c >> 12 & 0x3F));
    out += char(0x80 | (c >> 6 & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

std::string Decode(const Bytes& b, size_t at, size_t length, bool utf16)
{
  std::string text;
  if (!utf16) {
    // Macintosh Roman names of the fonts here are ASCII; others read as Latin-1.
    for (size_t i = 0; i < length; ++i)
      PutUTF8(text, *b.At(at + i));
    return text;
  }
  for (size_t i = 0; i + 1 < length; i += 2) {
    uint32_t c = b.U16(at + i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < length) {
      const uint32_t low = b.U16(at + i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    PutUTF8(text, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
  }
  return text;
}

// Ranks a name record: Windows US English first, other Windows Unicode, then Macintosh Roman.
int Rank(uint16_t platform, uint16_t encoding, uint16_t language)
{
  if (platform == 3 && (encoding == 1 || encoding == 10))
    return language == 0x409 ? 3 : 2;
  if (platform == 0)
    return 2;
  if (platform == 1 && encoding == 0)
    return 1;
  return 0;
}

bool ReadFace(const Bytes& b, size_t face, FaceNames& names)
{
  if (!b.Has(face, 12))
    return false;
  const size_t tables = b.U16(face + 4);
  size_t name = 0, nameLength = 0;
  bool head = false;
  for (size_t i = 0; i < tables; ++i) {
    const size_t record = face + 12 + 16 * i;
    if (!b.Has(record, 16))
      return false;
    const uint32_t offset = b.U32(record + 8), length = b.U32(record + 12);
    if (!b.Has(offset, length))
      continue;
    if (b.Tag(record, "head") && length >= 54)
      head = true;
    if (b.Tag(record, "name") && length >= 6) {
      name = offset;
      nameLength = length;
    }
  }
  if (!head || !name)
    return false;

  std::string* slots[] = {nullptr, &names.family, &names.style, nullptr, nullptr, nullptr, &names.postScript};
  int ranks[18] = {};
  const size_t count = b.U16(name + 2);
  const size_t strings = name + b.U16(name + 4);
  for (size_t i = 0; i < count; ++i) {
    const size_t r = name + 6 + 12 * i;
    if (r + 12 > name + nameLength)
      break;
    const uint16_t id = b.U16(r + 6);
    std::string* slot = id < 7     ? slots[id]
                        : id == 16 ? &names.typographicFamily
                        : id == 17 ? &names.typographicStyle
                                   : nullptr;
    const int rank = Rank(b.U16(r), b.U16(r + 2), b.U16(r + 4));
    const size_t length = b.U16(r + 8), at = strings + b.U16(r + 10);
    if (!slot || rank <= ranks[id] || at + length > name + nameLength || !b.Has(at, length))
      continue;
    std::string text = Decode(b, at, length, rank > 1);
    if (text.empty())
      continue;
    *slot = std::move(text);
    ranks[id] = rank;
  }
  return !names.family.empty();
}

bool SameText(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

} // namespace

std::vector<FaceNames> ReadFaceNames(const uint8_t* bytes, size_t size)
{
  const Bytes b(bytes, size);
  std::vector<size_t> faces;
  if (b.U32(0) == 0x00010000 || b.Tag(0, "true") || b.Tag(0, "OTTO")) {
    faces.push_back(0);
  } else if (b.Tag(0, "ttcf")) {
    const size_t count = b.U32(8);
    for (size_t i = 0; i < count && b.Has(12 + 4 * i, 4); ++i)
      faces.push_back(b.U32(12 + 4 * i));
  }
  std::vector<FaceNames> result;
  for (size_t face : faces) {
    FaceNames names;
    if (ReadFace(b, face, names))
      result.push_back(std::move(names));
  }
  return result;
}

bool FaceMatches(const FaceNames& face, const std::string& family, const std::string& style)
{
  if (SameText(face.family, family) && SameText(face.style, style))
    return true;
  const std::string& typoFamily = face.typographicFamily.empty() ? face.family : face.typographicFamily;
  const std::string& typoStyle = face.typographicStyle.empty() ? face.style : face.typographicStyle;
  return SameText(typoFamily, family) && SameText(typoStyle, style);
}

} // namespace standin::ct
