#pragma once
// Value handle to a loaded bitmap, copied freely. It never owns its
// APIBitmap: the process-wide bitmap cache does once the bitmap is retained,
// and the handle stays valid while the cache holds it.

#include "APIBitmap.h"
#include "FloatToInt.h"
#include "UT_String.h"

namespace plugin::igraphics {

class IBitmap {
public:
  IBitmap() = default;
  // Width and height in points are the pixels divided by the pixel density,
  // truncated toward zero.
  IBitmap(APIBitmap* bitmap, int nFrames, bool framesAreHorizontal, const char* name = "")
  : mBitmap(bitmap), mW(bitmap ? FloatToInt<int>(static_cast<float>(bitmap->GetWidth()) / bitmap->GetScale()) : 0),
    mH(bitmap ? FloatToInt<int>(static_cast<float>(bitmap->GetHeight()) / bitmap->GetScale()) : 0), mN(nFrames),
    mFramesAreHorizontal(framesAreHorizontal)
  {
    // An unnamed view (a layer drawn as a bitmap) stays free of the heap.
    if (name && *name)
      mResourceName.Set(name);
  }

  APIBitmap* GetAPIBitmap() const { return mBitmap; }
  int W() const { return mW; }
  int H() const { return mH; }
  // One frame of a strip: (W / N, H) side by side, else (W, H / N).
  int FW() const { return mFramesAreHorizontal && mN > 0 ? mW / mN : mW; }
  int FH() const { return !mFramesAreHorizontal && mN > 0 ? mH / mN : mH; }
  int N() const { return mN; }
  bool GetFramesAreHorizontal() const { return mFramesAreHorizontal; }
  const char* GetResourceName() const { return mResourceName.Get(); }
  float GetScale() const { return mBitmap ? mBitmap->GetScale() : 0.f; }
  float GetDrawScale() const { return mBitmap ? mBitmap->GetDrawScale() : 0.f; }
  bool IsValid() const { return mBitmap != nullptr; }

private:
  APIBitmap* mBitmap = nullptr;
  int mW = 0;
  int mH = 0;
  int mN = 0;
  bool mFramesAreHorizontal = false;
  UT_String mResourceName;
};

} // namespace plugin::igraphics
