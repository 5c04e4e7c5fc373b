#pragma once
// The back end finding the pictures and fonts the build put into the
// plug-in's bundle, as the platform's context does. Shared by the editor's
// picture tests and its benchmark.

#include "EditorLayout.h"
#include "PluginPaths.h"
#include "TestGraphicsVG.h"

namespace backendtest {

class BundleGraphicsVG : public GraphicsVG {
public:
  using GraphicsVG::GraphicsVG;
  const char* GetBundleID() override { return editorlayout::kBundleID; }
  PlatformFontPtr LoadPlatformFont(const char* id, const char* file) override
  {
    UT_String path;
    if (!LocateResource(file, "ttf", path, GetBundleID(), ""))
      return nullptr;
    return GraphicsVG::LoadPlatformFont(id, path.Get());
  }
};

} // namespace backendtest
