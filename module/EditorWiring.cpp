#include "EditorWiring.h"

#include "ControlMakers.h"
#include "EditorLayout.h"
#include "IGEditorDelegate.h"
#include "IGraphicsMac.h"
#include "Vorelle3EditorLinks.h"
#include "Vorelle3Layout.h"

namespace {

using namespace plugin::igraphics;

// The editor's context at the plug-in's "GUI scale", finding its pictures
// and fonts in this bundle.
IEditorGraphics* MakeEditorGraphics(IGEditorDelegate& delegate)
{
  auto* plug = dynamic_cast<IEditorPlugLinks*>(&delegate);
  const float scale = plug ? float(plug->EditorGUIScale()) : 1.f;
  auto* g =
    new IGraphicsMac(delegate, editorlayout::kEditor.w, editorlayout::kEditor.h, editorlayout::kFrameRate, scale);
  g->SetBundleID(editorlayout::kBundleID);
  g->SetSharedResourcesSubPath(editorlayout::kSharedResourcesSubPath);
  // Without makers the layout's drawn popup menu and text entry are never
  // attached and every prompt falls back to the platform's.
  InstallControlMakers(*g);
  return g;
}

} // namespace

void InstallEditor(plugin::InstanceInfo& info)
{
  info.mMakeGraphicsFunc = MakeEditorGraphics;
  info.mLayoutFunc = LayoutVorelle3EditorOfDelegate;
}
