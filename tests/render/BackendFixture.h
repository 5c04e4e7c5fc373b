#pragma once
// The back end opened the way the platform opens it (view initialised,
// framebuffer made at the size) over the software renderer stand-in.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "IControl.h"
#include "IFontData.h"
#include "IGraphicsVG.h"
#include "SoftGraphicsVG.h"
#include "TestGraphics.h"

namespace backendtest {

using namespace plugin;
using namespace plugin::igraphics;
using softmvg::BytesFont;
using softmvg::GraphicsVG;
using softmvg::kRobotoPath;
using softmvg::ReadFile;
using softmvg::SceneControl;

class BackendFixture : public ::testing::Test
{
protected:
  // One frame of the whole editor drawn by the core with draw as its only control.
  void Frame(std::function<void(IGraphics&)> draw)
  {
    g->AttachControl(new SceneControl(g->GetBounds(), std::move(draw)));
    g->BeginFrame();
    g->Draw(g->GetBounds(), g->GetTotalScale());
    g->EndFrame();
    g->RemoveAllControls();
  }

  void SetUp() override { g = Open(dlg, 200, 150); }
  void TearDown() override { Close(g); }

  // Forgets the engine calls recorded so far.
  void ResetCalls()
  {
    softmvg::Context& c = g->Soft();
    c.Clear();
    c.firstPending = 0;
  }
  // The first recorded call of a kind, or null.
  const vgtest::RecordedCall* First(vgtest::ECall kind)
  {
    for (const auto& c : g->Soft().calls)
      if (c.kind == kind)
        return &c;
    return nullptr;
  }

  static GraphicsVG* Open(testsupport::TestDelegate& d, int w, int h, float screenScale = 1.f)
  {
    auto* graphics = new GraphicsVG(d, w, h);
    graphics->OnViewInitialized(nullptr);
    graphics->SetScreenScale(screenScale);
    return graphics;
  }
  static void Close(GraphicsVG*& graphics)
  {
    if (!graphics)
      return;
    graphics->OnViewDestroyed();
    delete graphics;
    graphics = nullptr;
  }

  testsupport::TestDelegate dlg{1};
  GraphicsVG* g = nullptr;
};

} // namespace backendtest
