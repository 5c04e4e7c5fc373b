#pragma once
// Interaction bases of the common control kinds: a button that fires on
// press and resets after its click animation, an n-state switch, and knob
// and slider bases that turn drags and wheel turns into a normalised value
// with gearing, fine adjust (shift or control) and parameter steps. None
// draws. Each acts on value record 0 and commits with SetDirty(true, -1).

#include <vector>

#include "IControl.h"

namespace plugin::igraphics {

class IButtonControlBase : public IControl {
public:
  IButtonControlBase(const IRECT& bounds, IActionFunction action);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnEndAnimation() override;
};

class ISwitchControlBase : public IControl {
public:
  ISwitchControlBase(const IRECT& bounds, int paramIdx = -1, IActionFunction action = nullptr, int numStates = 2);

  // A linked parameter decides the number of states (its range + 1).
  void OnInit() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;

  void SetAllStatesDisabled(bool disabled);
  // Indices outside 0..NumStates()-1 are ignored (read as enabled).
  void SetStateDisabled(int stateIdx, bool disabled);
  bool GetStateDisabled(int stateIdx) const;
  int NumStates() const { return mNumStates; }
  bool IsPressed() const { return mMouseDown; }

protected:
  int mNumStates;
  std::vector<bool> mDisabledState;
  bool mMouseDown = false;
};

class IKnobControlBase : public IControl {
public:
  IKnobControlBase(const IRECT& bounds, int paramIdx = -1, EDirection direction = kVertical, double gearing = 4.0);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;
  // The area a full-range drag travels; knob classes may make it larger.
  virtual IRECT GetKnobDragBounds() { return mTargetRECT; }

  void SetGearing(double gearing) { mGearing = gearing; }
  double GetGearing() const { return mGearing; }
  bool IsPressed() const { return mMouseDown; }

protected:
  bool mHideCursorOnDrag = true;
  EDirection mDirection;
  double mGearing;
  bool mMouseDown = false;
  double mMouseDragValue = 0.0;
};

class ISliderControlBase : public IControl {
public:
  ISliderControlBase(const IRECT& bounds, int paramIdx = -1, EDirection direction = kVertical, double gearing = 4.0,
                     float handleSize = 0.f);
  ISliderControlBase(const IRECT& bounds, IActionFunction action, EDirection direction = kVertical,
                     double gearing = 4.0, float handleSize = 0.f);

  void OnResize() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;

  const IRECT& GetTrackBounds() const { return mTrackBounds; }
  bool IsPressed() const { return mMouseDown; }

protected:
  bool mHideCursorOnDrag = true;
  EDirection mDirection;
  IRECT mTrackBounds;
  float mHandleSize;
  double mGearing;
  bool mMouseDown = false;
  double mMouseDragValue = 0.0;
};

// Shared by knobs, sliders and the controls built on them.
namespace stepping {

// Real value u of a stepped parameter [lo, hi] moved to the nearest step
// lo + k * step; hi counts as a step even when it is not on the grid.
double Snap(double u, double lo, double hi, double step);
// The next step above (up) or below u, within [lo, hi]: one wheel notch.
double Next(double u, double lo, double hi, double step, bool up);

// Record 0's parameter when it is stepped with a usable step and range.
const IParam* SteppedParam(const IControl& c);
// Real and normalised values through the shape alone: the parameter's own
// conversions snap to multiples of the step from 0, off the grid from lo.
double RealOf(const IParam& p, double normalised);
double NormalisedOf(const IParam& p, double real); // 0 when not finite

} // namespace stepping

} // namespace plugin::igraphics
