// Hidden parameter link, click area and push area.

#include "IVHiddenControlsZV.h"

#include "IGEditorDelegate.h"

namespace plugin::igraphics {

void SendMessageToPlugin(const IControl& control, int msgTag)
{
  if (IGEditorDelegate* dlg = control.GetDelegate(); dlg && msgTag >= 0)
    dlg->OnParamChange(msgTag, kUI, -1);
}

void IVClickControlHiddenZV::OnMouseDown(float, float, const IMouseMod&) { SendMessageToPlugin(*this, mMsgTag); }

void IBPushControlHiddenZV::OnMouseDown(float, float, const IMouseMod&)
{
  SetValue(1.0, 0);
  SetDirty(true, -1);
}

void IBPushControlHiddenZV::OnMouseUp(float, float, const IMouseMod&)
{
  SetValue(0.0, 0);
  SetDirty(true, -1);
}

} // namespace plugin::igraphics
