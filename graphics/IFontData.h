#pragma once
// The bytes of a whole font file with the face chosen in it: what the
// platform stage hands the drawing back end, and what the process-wide
// font-data cache keeps. The info points into this object's own copy.

#include <memory>
#include <vector>

#include "IFontInfo.h"

namespace plugin::igraphics {

class IFontData {
public:
  // No bytes and no face.
  IFontData() = default;
  // Copies size bytes; faceIdx -1 (no face matched) parses nothing.
  IFontData(const void* data, int size, int faceIdx)
  : mBytes(data && size > 0 ? static_cast<const unsigned char*>(data) : nullptr,
           data && size > 0 ? static_cast<const unsigned char*>(data) + size : nullptr),
    mFaceIdx(faceIdx), mInfo(mBytes.data(), GetSize(), faceIdx)
  {
  }
  IFontData(const IFontData&) = delete;
  IFontData& operator=(const IFontData&) = delete;

  // Bytes, a face and complete face information: what the engine may take.
  bool IsValid() const { return GetSize() > 0 && mFaceIdx >= 0 && mInfo.IsComplete(); }

  const unsigned char* Get() const { return mBytes.data(); }
  int GetSize() const { return static_cast<int>(mBytes.size()); }
  int GetFaceIdx() const { return mFaceIdx; }
  const IFontInfo& GetInfo() const { return mInfo; }

private:
  std::vector<unsigned char> mBytes;
  int mFaceIdx = -1;
  IFontInfo mInfo;
};

using IFontDataPtr = std::unique_ptr<IFontData>;

} // namespace plugin::igraphics
