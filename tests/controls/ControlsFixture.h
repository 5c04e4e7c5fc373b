#pragma once
// An editor with the parameters the control tests link to: "Gain" (-24..24
// dB, step 0.1) and "Mix" (0..100 %, step 0.1), both stepped; a five-state
// integer; and 0..10 in steps of 3, whose top is off the step grid.

#include <cmath>

#include "ControlMakers.h"
#include "EditorFixture.h"
#include "IControlBases.h"
#include "IVectorBase.h"

namespace controlstest {

using namespace testsupport;

enum { kGain = 0, kMix, kStates, kOdd };

class ControlsFixture : public EditorFixture {
protected:
  void SetUp() override
  {
    EditorFixture::SetUp();
    InstallControlMakers(*g);
  }

  void InitParams() override
  {
    dlg.GetParam(kGain)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB", IParam::kFlagStepped);
    dlg.GetParam(kMix)->InitDouble("Mix", 100.0, 0.0, 100.0, 0.1, "%", IParam::kFlagStepped);
    dlg.GetParam(kStates)->InitInt("States", 0, 0, 4);
    dlg.GetParam(kOdd)->InitDouble("Odd", 0.0, 0.0, 10.0, 3.0, "", IParam::kFlagStepped);
  }

  static IMouseMod Mod(bool shift = false, bool control = false, bool right = false)
  {
    IMouseMod m;
    m.L = !right;
    m.R = right;
    m.S = shift;
    m.C = control;
    return m;
  }

  void Click(float x, float y)
  {
    g->OnMouseDown(Pt(x, y));
    g->OnMouseUp(Pt(x, y));
  }

  static IMouseInfoList Drag(float x, float y, float dx, float dy, const IMouseMod& mod)
  {
    IMouseInfo i;
    i.x = x;
    i.y = y;
    i.dX = dx;
    i.dY = dy;
    i.ms = mod;
    return {i};
  }
};

// A vector style without label or value text.
inline IVStyle Bare()
{
  IVStyle s;
  s.labelVisible = s.valueVisible = false;
  return s;
}

// The rectangle a rectangle path covers: (L, T) first, (R, B) third.
inline IRECT PathRect(const PaintCall& p)
{
  return IRECT(p.path[0].v[0], p.path[0].v[1], p.path[2].v[0], p.path[2].v[1]);
}

inline bool NearRect(const IRECT& a, const IRECT& b, float tol = 1e-4f)
{
  return std::abs(a.L - b.L) <= tol && std::abs(a.T - b.T) <= tol && std::abs(a.R - b.R) <= tol &&
         std::abs(a.B - b.B) <= tol;
}

// Concrete controls over the bases, drawing nothing.
struct TestKnob : IKnobControlBase {
  using IKnobControlBase::IKnobControlBase;
  void Draw(IGraphics&) override {}
};

struct TestSlider : ISliderControlBase {
  using ISliderControlBase::ISliderControlBase;
  void Draw(IGraphics&) override {}
};

struct TestSwitch : ISwitchControlBase {
  using ISwitchControlBase::ISwitchControlBase;
  void Draw(IGraphics&) override {}
};

struct TestButton : IButtonControlBase {
  using IButtonControlBase::IButtonControlBase;
  void Draw(IGraphics&) override {}
};

// A vector control reduced to its base: draws nothing of its own.
struct TestVector : IControl, IVectorBase {
  TestVector(const IRECT& r, IActionFunction action = nullptr, const IVStyle& style = DEFAULT_STYLE,
             bool labelInside = false)
  : IControl(r, -1, std::move(action)), IVectorBase(style, labelInside)
  {
    AttachIControl(this, "");
  }
  void Draw(IGraphics&) override {}
};

} // namespace controlstest
