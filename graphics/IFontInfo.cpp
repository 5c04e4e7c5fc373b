#include "IFontInfo.h"

#include <climits>
#include <cstring>
#include <string>

namespace plugin::igraphics {

namespace {

// Smallest table lengths that hold every field read here.
constexpr uint32_t kHeadMinLength = 54;
constexpr uint32_t kHheaMinLength = 36;
constexpr uint32_t kNameMinLength = 6;

bool HasTag(const unsigned char* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

void AppendUTF8(std::string& out, uint32_t c)
{
  if (c < 0x80)
    out += char(c);
  else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

} // namespace

IFontInfo::IFontInfo(const void* data, int size, int faceIdx)
: mBytes(static_cast<const unsigned char*>(data)), mSize(data && size > 0 ? size : 0)
{
  const int64_t face = FaceOffset(faceIdx);
  uint32_t headLength = 0, hheaLength = 0;
  if (face >= 0) {
    mHeadLocation = FindTable(face, "head", kHeadMinLength, headLength);
    mNameLocation = FindTable(face, "name", kNameMinLength, mNameLength);
    mHheaLocation = FindTable(face, "hhea", kHheaMinLength, hheaLength);
  }
  if (!mHeadLocation || !mNameLocation || !mHheaLocation) {
    *this = IFontInfo();
    return;
  }
  mData = mBytes;
  mMacStyle = U16(mHeadLocation + 44);
  mUnitsPerEM = U16(mHeadLocation + 18);
  mAscender = int16_t(U16(mHheaLocation + 4));
  mDescender = int16_t(U16(mHheaLocation + 6));
  mLineGap = int16_t(U16(mHheaLocation + 8));
  GetNameString(1, mFamily);
  GetNameString(2, mStyle);
}

int IFontInfo::FindFace(const void* data, int size, const char* family, const char* style)
{
  const char* wantedFamily = family ? family : "";
  const char* wanted = style ? style : "";
  auto matches = [](const UT_String& name, const char* want) { return !*want || std::strcmp(name.Get(), want) == 0; };
  for (int i = 0; i < INT_MAX; ++i) {
    const IFontInfo info(data, size, i);
    if (!info.IsComplete())
      return -1;
    if (!info.GetStyle().GetLength())
      continue;
    if (matches(info.GetFamily(), wantedFamily) && matches(info.GetStyle(), wanted))
      return i;
    // Faces of a large family name the family by its typographic name.
    UT_String typoFamily, typoStyle;
    if (*wantedFamily && info.GetNameString(16, typoFamily) && matches(typoFamily, wantedFamily) &&
        matches(info.GetNameString(17, typoStyle) ? typoStyle : info.GetStyle(), wanted))
      return i;
  }
  return -1;
}

bool IFontInfo::InRange(int64_t offset, int64_t count) const
{
  return offset >= 0 && count >= 0 && offset + count <= mSize;
}

uint16_t IFontInfo::U16(int64_t offset) const
{
  if (!InRange(offset, 2))
    return 0;
  return uint16_t(mBytes[offset] << 8 | mBytes[offset + 1]);
}

uint32_t IFontInfo::U32(int64_t offset) const
{
  if (!InRange(offset, 4))
    return 0;
  return uint32_t(mBytes[offset]) << 24 | uint32_t(mBytes[offset + 1]) << 16 | uint32_t(mBytes[offset + 2]) << 8 |
         uint32_t(mBytes[offset + 3]);
}

int64_t IFontInfo::FaceOffset(int faceIdx) const
{
  if (faceIdx < 0 || !InRange(0, 4))
    return -1;
  const unsigned char* p = mBytes;
  const bool single = (p[0] == 0 && p[1] == 1 && p[2] == 0 && p[3] == 0) || (p[0] == '1' && !p[1] && !p[2] && !p[3]) ||
                      HasTag(p, "OTTO") || HasTag(p, "typ1");
  if (single)
    return faceIdx == 0 ? 0 : -1;
  if (!HasTag(p, "ttcf") || !InRange(0, 12))
    return -1;
  const uint32_t version = U32(4);
  if (version != 0x00010000 && version != 0x00020000)
    return -1;
  if (U32(8) <= uint32_t(faceIdx))
    return -1;
  const int64_t at = 12 + 4 * int64_t(faceIdx);
  if (!InRange(at, 4))
    return -1;
  const int64_t face = U32(at);
  return InRange(face, 12) ? face : -1;
}

uint32_t IFontInfo::FindTable(int64_t face, const char* tag, uint32_t minLength, uint32_t& length) const
{
  length = 0;
  if (!InRange(face, 12))
    return 0;
  const int count = U16(face + 4);
  for (int i = 0; i < count; ++i) {
    const int64_t record = face + 12 + 16 * int64_t(i);
    if (!InRange(record, 16))
      return 0;
    if (!HasTag(mBytes + record, tag))
      continue;
    const uint32_t offset = U32(record + 8);
    const uint32_t declared = U32(record + 12);
    // A table reaching past the file, or too short for its fields, is absent.
    if (offset == 0 || declared < minLength || !InRange(offset, declared))
      return 0;
    length = declared;
    return offset;
  }
  return 0;
}

bool IFontInfo::GetNameString(int nameID, UT_String& out) const
{
  out.Set("");
  if (!mNameLocation)
    return false;
  const int64_t table = mNameLocation;
  const int64_t end = table + mNameLength; // within the file, checked when found
  const int count = U16(table + 2);
  const int64_t strings = table + U16(table + 4);

  // Bytes of the first record with these ids, or false.
  auto find = [&](int platform, int encoding, int language, int64_t& at, int& length) {
    for (int i = 0; i < count; ++i) {
      const int64_t r = table + 6 + 12 * int64_t(i);
      if (r + 12 > end)
        return false;
      if (U16(r) != platform || U16(r + 2) != encoding || U16(r + 4) != language || U16(r + 6) != nameID)
        continue;
      length = U16(r + 8);
      at = strings + U16(r + 10);
      return at + length <= end && InRange(at, length);
    }
    return false;
  };

  std::string text;
  int64_t at = 0;
  int length = 0;
  if (find(3, 1, 1033, at, length)) {
    for (int i = 0; i + 1 < length; i += 2) {
      uint32_t c = U16(at + i);
      if (c >= 0xD800 && c < 0xDC00 && i + 3 < length) {
        const uint32_t low = U16(at + i + 2);
        if (low >= 0xDC00 && low < 0xE000) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        }
      }
      if (c >= 0xD800 && c < 0xE000)
        c = 0xFFFD; // a lone surrogate
      if (c)
        AppendUTF8(text, c);
    }
  }
  if (text.empty() && find(1, 0, 0, at, length)) {
    for (int i = 0; i < length; ++i)
      if (mBytes[at + i])
        text += char(mBytes[at + i]);
  }
  out.Set(text.c_str());
  return !text.empty();
}

} // namespace plugin::igraphics
