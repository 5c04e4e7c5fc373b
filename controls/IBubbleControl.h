#pragma once
// A floating balloon with a control's value text beside the control while it
// is edited: placed to the right of or above its anchor (flipped to stay in
// the editor), with an arrow towards it; fades in over 200 ms, holds at
// least 1000 ms and while its caller is held, fades out over 200 ms.

#include <cstdint>

#include "IControl.h"
#include "IGraphicsConstants.h"
#include "ISpecialControls.h"
#include "UT_String.h"

namespace plugin::igraphics {

class IBubbleControl : public IControl, public IBubbleSlot {
public:
  enum EState : int { kHidden = 0, kFadingIn, kShown, kFadingOut };
  enum EArrowDir : int { kArrowTop = 0, kArrowRight, kArrowBottom, kArrowLeft };

  IBubbleControl(const IText& text = DEFAULT_TEXT, const IColor& fillColor = COLOR_WHITE,
                 const IColor& strokeColor = COLOR_BLACK, float roundness = 5.f);

  void ShowBubble(IControl* caller, const char* str, EDirection dir, std::uint64_t touchId, float x, float y,
                  IRECT minimumContentBounds) override;
  std::uint64_t GetTouchId() const override { return mTouchId; }
  void Draw(IGraphics& g) override;

  virtual void DrawContent(IGraphics& g, const IRECT& r);
  virtual void DrawBubble(IGraphics& g, const IRECT& r);
  virtual float MeasureContent(const char* str, IRECT& bounds);

  int GetState() const { return mState; }
  float GetOpacity() const { return mOpacityBlend.mWeight; }
  const IRECT& GetBubbleBounds() const { return mBubbleBounds; }
  int GetArrowDir() const { return mArrowDir; }
  const char* GetStr() const { return mStr.Get(); }

protected:
  void Step();

  std::uint64_t mTouchId = 0;
  EDirection mBubbleDirection = kHorizontal;
  IRECT mMaxBounds;
  IRECT mBubbleBounds;
  IControl* mCaller = nullptr;
  int mArrowDir = kArrowLeft;
  UT_String mStr;
  IBlend mOpacityBlend{kBlendDefault, 0.f};
  float mRoundness;
  float mDropShadowSize = 10.f;
  float mArrowSize = 10.f;
  float mMaxOpacity = 0.95f;
  float mStrokeThickness = 2.f;
  float mHorizontalPadding = 5.f;
  IColor mFillColor;
  IColor mStrokeColor;
  int mState = kHidden;
};

} // namespace plugin::igraphics
