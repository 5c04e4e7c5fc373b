#pragma once
// Standard click actions and animations for IControl's function objects:
// the 100 ms click animation, the splash ripple of the vector controls and
// the value bubble.

namespace plugin::igraphics {

class IControl;

void EmptyClickActionFunc(IControl* caller);
// Runs DefaultAnimationFunc for 100 ms.
void DefaultClickActionFunc(IControl* caller);
// Starts a 100 ms splash at the last mouse-down point; a control that is not
// a vector control is left alone.
void SplashClickActionFunc(IControl* caller);
void DefaultAnimationFunc(IControl* caller);
void SplashAnimationFunc(IControl* caller);
// The bubble shows the linked parameter's display text and unit, right of
// the control or above it.
void ShowBubbleHorizontalActionFunc(IControl* caller);
void ShowBubbleVerticalActionFunc(IControl* caller);

} // namespace plugin::igraphics
