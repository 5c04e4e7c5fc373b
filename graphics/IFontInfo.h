#pragma once
// One face of a font file (a single font or a face of a collection), read
// from its head, hhea and name tables. Every read is checked against the
// size given; a face that does not parse has no base pointer and zero
// metrics. The info points into the caller's bytes and lives no longer.

#include <cstdint>

#include "UT_String.h"

namespace plugin::igraphics {

class IFontInfo {
public:
  IFontInfo() = default;
  IFontInfo(const void* data, int size, int faceIdx);

  // The first face of the family (exact; "" or null takes any) whose style
  // name is style (exact; "" takes any non-empty style), or -1 when none is
  // or a face does not parse first. A face answers to its family and style
  // names and to its typographic ones.
  static int FindFace(const void* data, int size, const char* family, const char* style);

  // Text of a name record: Windows Unicode (US English) as UTF-8, else
  // Macintosh Roman bytes. False, with out "", when neither gives text.
  bool GetNameString(int nameID, UT_String& out) const;

  // The base pointer and the three tables are all present.
  bool IsComplete() const { return mData && mHeadLocation && mNameLocation && mHheaLocation; }

  const unsigned char* GetData() const { return mData; }
  uint32_t GetHeadLocation() const { return mHeadLocation; }
  uint32_t GetNameLocation() const { return mNameLocation; }
  uint32_t GetHheaLocation() const { return mHheaLocation; }
  const UT_String& GetFamily() const { return mFamily; }
  const UT_String& GetStyle() const { return mStyle; }
  uint16_t GetMacStyle() const { return mMacStyle; }
  uint16_t GetUnitsPerEM() const { return mUnitsPerEM; }
  int16_t GetAscender() const { return mAscender; }
  int16_t GetDescender() const { return mDescender; }
  int16_t GetLineGap() const { return mLineGap; }

private:
  // Offset of the face's table directory in the file, or -1.
  int64_t FaceOffset(int faceIdx) const;
  // File offset of the table, 0 when absent or shorter than minLength.
  uint32_t FindTable(int64_t face, const char* tag, uint32_t minLength, uint32_t& length) const;
  bool InRange(int64_t offset, int64_t count) const;
  uint16_t U16(int64_t offset) const;
  uint32_t U32(int64_t offset) const;

  const unsigned char* mBytes = nullptr; // what the reads see, valid or not
  int mSize = 0;
  const unsigned char* mData = nullptr; // set only for a face that parsed
  uint32_t mHeadLocation = 0;
  uint32_t mNameLocation = 0;
  uint32_t mNameLength = 0;
  uint32_t mHheaLocation = 0;
  UT_String mFamily;
  UT_String mStyle;
  uint16_t mMacStyle = 0;
  uint16_t mUnitsPerEM = 0;
  int16_t mAscender = 0;
  int16_t mDescender = 0;
  int16_t mLineGap = 0;
};

} // namespace plugin::igraphics
