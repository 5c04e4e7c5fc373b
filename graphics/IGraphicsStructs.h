#pragma once
// Plain value types passed by every drawing call, control and back end.
// Copied by value; none owns a resource except ILayer (owns its bitmap).

#include <cstdint>
#include <cstring>
#include <memory>

#include "IMatrix.h"
#include "IRECT.h"
#include "UT_TypedBuf.h"

namespace plugin::igraphics {

class APIBitmap;
class IControl;

// Colour channels each meant to lie in 0..255, alpha first.
struct IColor {
  int A = 255, R = 0, G = 0, B = 0;

  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  constexpr bool operator==(const IColor&) const = default;
};

enum EAlign : int { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };
enum EVAlign : int { kVAlignTop = 0, kVAlignMiddle = 1, kVAlignBottom = 2 };
enum EDirection : int { kVertical = 0, kHorizontal = 1 };

struct IText {
  char mFont[64] = "Roboto-Regular";
  float mSize = 14.f;
  IColor mFGColor{255, 0, 0, 0};
  IColor mTextEntryBGColor{255, 255, 255, 255};
  IColor mTextEntryFGColor{255, 0, 0, 0};
  float mAngle = 0.f;
  EAlign mAlign = kAlignCenter;
  EVAlign mVAlign = kVAlignMiddle;

  IText() = default;
  // The font name is cut to 63 characters; null keeps the default face.
  IText(float size, const IColor& fg, const char* font = nullptr, EAlign align = kAlignCenter,
        EVAlign valign = kVAlignMiddle, float angle = 0.f, const IColor& entryBG = IColor(255, 255, 255, 255),
        const IColor& entryFG = IColor(255, 0, 0, 0))
  : mSize(size), mFGColor(fg), mTextEntryBGColor(entryBG), mTextEntryFGColor(entryFG), mAngle(angle), mAlign(align),
    mVAlign(valign)
  {
    if (font) {
      std::strncpy(mFont, font, sizeof(mFont) - 1);
      mFont[sizeof(mFont) - 1] = '\0';
    }
  }
};

struct IColorStop {
  IColor mColor{255, 0, 0, 0};
  float mOffset = 0.f;
};

enum EPatternType : int { kSolidPattern = 0, kLinearPattern = 1, kRadialPattern = 2 };
enum EPatternExtend : int { kExtendPad = 1, kExtendReflect = 2, kExtendRepeat = 3 };

struct IPattern {
  static constexpr int kMaxStops = 16;

  EPatternType mType = kSolidPattern;
  EPatternExtend mExtend = kExtendPad;
  IColorStop mStops[kMaxStops];
  int mNStops = 0;
  IMatrix mTransform;

  IPattern() = default;
  explicit IPattern(EPatternType type) : mType(type) {}
  // The one-colour paint every stroke and fill builds.
  IPattern(const IColor& color) : mNStops(1) { mStops[0].mColor = color; }
};

enum EBlend : int {
  kBlendDefault = 0,
  kBlendSourceIn,
  kBlendSourceOut,
  kBlendSourceAtop,
  kBlendDestOver,
  kBlendDestIn,
  kBlendDestOut,
  kBlendDestAtop,
  kBlendAdd,
  kBlendXOR
};

// Passed by pointer; a null pointer means source-over at full weight.
struct IBlend {
  EBlend mMethod = kBlendDefault;
  float mWeight = 1.f;
};

enum EFillRule : int { kFillWinding = 0, kFillEvenOdd = 1, kFillPreserveWinding = 2 };

struct IFillOptions {
  EFillRule mFillRule = kFillWinding;
  bool mPreserve = false;
};

enum ELineCap : int { kCapButt = 0, kCapRound = 1, kCapSquare = 2 };
enum ELineJoin : int { kJoinMiter = 0, kJoinRound = 1, kJoinBevel = 2 };

struct IStrokeOptions {
  struct DashOptions {
    float mArray[8] = {};
    float mOffset = 0.f;
    int mCount = 0;
  };

  float mMiterLimit = 10.f;
  bool mPreserve = false;
  ELineCap mCapOption = kCapButt;
  ELineJoin mJoinOption = kJoinMiter;
  DashOptions mDash;
};

// Offscreen drawing target. Owns its back-end bitmap; APIBitmap has a
// virtual destructor, so the owner needs only this forward declaration
// where the layer is created or destroyed alongside APIBitmap.h.
struct ILayer {
  std::unique_ptr<APIBitmap> mBitmap;
  IControl* mControl = nullptr;
  IRECT mControlRECT;
  IRECT mRECT;
  bool mInvalid = false;

  ILayer(std::unique_ptr<APIBitmap> bitmap, const IRECT& layerRect, IControl* control, const IRECT& controlRect);
  ~ILayer();
  ILayer(const ILayer&) = delete;
  ILayer& operator=(const ILayer&) = delete;
};

using ILayerPtr = std::unique_ptr<ILayer>;

// Layer pixels handed between the core and the back end: width x height
// pixels of four bytes, one of them alpha; rows are size / height bytes.
using RawBitmapData = UT_TypedBuf<std::uint8_t>;

struct IShadow {
  IPattern mPattern;
  float mBlurSize = 0.f;
  float mXOffset = 0.f;
  float mYOffset = 0.f;
  float mOpacity = 1.f;
  bool mDrawForeground = true;
};

} // namespace plugin::igraphics
