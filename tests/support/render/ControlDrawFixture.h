#pragma once
// Controls drawn through the real back end into the stand-in GPU's view, at a
// chosen draw scale, read back pixel by pixel and written as PNG pictures.
// Points are the editor's coordinates; Shown() converts them to pixels.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "BackendFixture.h"
#include "TestImageCodec.h"

namespace backendtest {

class ControlDrawFixture : public BackendFixture {
protected:
  // Each test opens its own editor.
  void SetUp() override {}

  // A fresh editor of w x h points drawn at the draw scale, fonts loaded.
  void Open(int w, int h, float drawScale)
  {
    Close(g);
    mScale = drawScale;
    g = new GraphicsVG(editor, w, h, drawScale);
    void* view = MakeView(static_cast<int>(std::lround(w * drawScale)), static_cast<int>(std::lround(h * drawScale)));
    Views()[g] = view;
    g->OnViewInitialized(view);
    g->SetScreenScale(1.f);
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  }

  // One whole frame of every control, the special ones included.
  void DrawFrame()
  {
    g->BeginFrame();
    g->Draw(g->GetBounds(), g->GetTotalScale());
    g->EndFrame();
  }

  // RGBA (straight alpha) at a point of the editor.
  std::vector<int> Shown(float x, float y)
  {
    return ShownPixel(*g, Views()[g], static_cast<int>(x * mScale), static_cast<int>(y * mScale));
  }

  static bool Near(const std::vector<int>& px, const std::vector<int>& want, int tol)
  {
    for (std::size_t k = 0; k < want.size() && k < px.size(); ++k)
      if (std::abs(px[k] - want[k]) > tol)
        return false;
    return px.size() >= want.size();
  }

  // The last frame as a picture under the build tree.
  void WritePicture(const std::string& name)
  {
    testsupport::RGBAImage img;
    img.w = static_cast<int>(std::lround(g->Width() * mScale));
    img.h = static_cast<int>(std::lround(g->Height() * mScale));
    img.px.resize(static_cast<std::size_t>(img.w) * img.h * 4);
    void* view = Views()[g];
    for (int y = 0; y < img.h; y++)
      for (int x = 0; x < img.w; x++) {
        const std::vector<int> p = ShownPixel(*g, view, x, y);
        for (int k = 0; k < 4; k++)
          img.px[(static_cast<std::size_t>(y) * img.w + x) * 4 + k] = static_cast<std::uint8_t>(p[k]);
      }
    ASSERT_TRUE(testsupport::WritePNG(OutputDir() + "/" + name, img));
  }

  static std::string OutputDir()
  {
#ifdef VORELLE_TEST_OUTPUT_DIR
    return VORELLE_TEST_OUTPUT_DIR;
#else
    return ".";
#endif
  }

  // Four parameters for the controls to link to.
  testsupport::TestDelegate editor{4};
  float mScale = 1.f;
};

} // namespace backendtest
