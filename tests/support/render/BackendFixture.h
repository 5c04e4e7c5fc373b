#pragma once
// The back end opened the way the platform opens it (view initialised,
// framebuffer made at the size) over the software renderer stand-in.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "IControl.h"
#include "IFontData.h"
#include "IGraphicsVG.h"
#include "TestGraphicsVG.h"
#include "TestGraphics.h"
#include "TestImageCodec.h"

namespace backendtest {

using namespace plugin;
using namespace plugin::igraphics;

// The view the back end draws into, per renderer: made at a size in pixels,
// read back as straight RGBA after a frame, released.
void* MakeView(int w, int h);
void ReleaseView(void* view);
std::vector<int> ShownPixel(GraphicsVG& g, void* view, int x, int y);
// After each test: the platform back to a fresh state.
void EndViews();

class BackendFixture : public ::testing::Test {
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
  void TearDown() override
  {
    Close(g);
    EndViews();
  }

  std::vector<int> Shown(int x, int y) { return ShownPixel(*g, Views()[g], x, y); }
  // The top-left w x h pixels shown, as a PNG in the build tree.
  void WriteShown(const std::string& name, int w, int h)
  {
    testsupport::RGBAImage img;
    img.w = w;
    img.h = h;
    img.px.resize(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        const std::vector<int> p = Shown(x, y);
        for (int k = 0; k < 4; k++)
          img.px[(static_cast<size_t>(y) * w + x) * 4 + k] = static_cast<uint8_t>(p[k]);
      }
    std::string path = VORELLE_TEST_OUTPUT_DIR;
    path.append("/").append(name);
    ASSERT_TRUE(testsupport::WritePNG(path, img));
  }
  static std::map<GraphicsVG*, void*>& Views()
  {
    static std::map<GraphicsVG*, void*> views;
    return views;
  }

  static GraphicsVG* Open(testsupport::TestDelegate& d, int w, int h, float screenScale = 1.f)
  {
    auto* graphics = new GraphicsVG(d, w, h);
    void* view = MakeView(static_cast<int>(w * screenScale), static_cast<int>(h * screenScale));
    Views()[graphics] = view;
    graphics->OnViewInitialized(view);
    graphics->SetScreenScale(screenScale);
    return graphics;
  }
  static void Close(GraphicsVG*& graphics)
  {
    if (!graphics)
      return;
    graphics->OnViewDestroyed();
    delete graphics;
    ReleaseView(Views()[graphics]);
    Views().erase(graphics);
    graphics = nullptr;
  }

  testsupport::TestDelegate dlg{1};
  GraphicsVG* g = nullptr;
};

} // namespace backendtest
