#include "EditorWiring.h"

#include "Vorelle3Layout.h"

void InstallEditor(plugin::InstanceInfo& info)
{
  // The platform graphics context is not part of this build yet: without a
  // make-graphics function the view factory gets no view.
  info.mMakeGraphicsFunc = nullptr;
  info.mLayoutFunc = plugin::igraphics::LayoutVorelle3EditorOfDelegate;
}
