#pragma once
// A labelled frame around the controls of a named group, sized from them;
// the label sits in a gap of the frame's top edge. Never takes the mouse.

#include "IControl.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

class IVGroupControl : public IControl, public IVectorBase {
public:
  IVGroupControl(const IRECT& bounds, const char* label = "", float labelOffset = 10.f,
                 const IVStyle& style = DEFAULT_STYLE);
  // Takes the union of the group's members (pads added) when attached.
  IVGroupControl(const char* label, const char* groupName, float padL = 0.f, float padT = 0.f, float padR = 0.f,
                 float padB = 0.f, const IVStyle& style = DEFAULT_STYLE);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  void OnInit() override;
  void OnResize() override;

  void SetBoundsBasedOnGroup(const char* groupName, float padL, float padT, float padR, float padB);

protected:
  UT_String mGroupName;
  float mPadL = 0.f;
  float mPadT = 0.f;
  float mPadR = 0.f;
  float mPadB = 0.f;
  float mLabelOffset = 10.f;
  float mLabelPadding = 10.f;
};

} // namespace plugin::igraphics
