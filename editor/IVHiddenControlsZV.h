#pragma once
// The maker's controls that draw nothing and only give an area, or a
// parameter link without an area, a behaviour: a link that lets the editor
// receive a parameter's changes, an area that sends a message tag to the
// plug-in, and an area that holds a two-state parameter "On" while pressed.
// Main thread.

#include "IControl.h"

namespace plugin::igraphics {

class IVParameterControlHiddenZV : public IControl {
public:
  // No area: never hit by the mouse, but linked, so the delegate's values
  // for the parameter reach the editor.
  explicit IVParameterControlHiddenZV(int paramIdx) : IControl(IRECT(), paramIdx) {}

  void Draw(IGraphics&) override {}
};

class IVClickControlHiddenZV : public IControl {
public:
  // A negative tag sends nothing.
  IVClickControlHiddenZV(const IRECT& bounds, int msgTag) : IControl(bounds, -1), mMsgTag(msgTag) {}

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void Draw(IGraphics&) override {}
  void SetMsgTag(int msgTag) { mMsgTag = msgTag; }

protected:
  int mMsgTag;
};

class IBPushControlHiddenZV : public IControl {
public:
  IBPushControlHiddenZV(const IRECT& bounds, int paramIdx) : IControl(bounds, paramIdx) {}

  // 1 on press, 0 on release, each sent at once.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void Draw(IGraphics&) override {}
};

// The delegate's OnParamChange(msgTag, kUI, -1): how the maker's controls
// send a message tag to the plug-in. Nothing unattached or for a tag below 0.
void SendMessageToPlugin(const IControl& control, int msgTag);

} // namespace plugin::igraphics
