// Drawing calls with values a control may compute at an extreme (an empty or
// inverted layer area, a dotted line far larger than its dash, a scale of
// zero), and bitmaps loaded from memory on a dense screen: what cannot be
// drawn is dropped, the rest of the frame is drawn, nothing is owned twice.

#include <chrono>
#include <cstring>
#include <functional>
#include <limits>

#include "BackendFixture.h"
#include "TempFolder.h"
#include "TestImageCodec.h"

namespace backendtest {
namespace {

class ExtremeDrawing : public BackendFixture {
protected:
  // At most 65,536 moves and lines (a throw past them): a call without bound
  // fails its test at once rather than exhausting memory.
  void Bounded(const char* what, const std::function<void()>& draw)
  {
    g->mPathSteps = 0;
    g->mPathStepLimit = 65536;
    EXPECT_NO_THROW(draw()) << what;
    g->mPathStepLimit = std::numeric_limits<long>::max();
  }
};

TEST_F(ExtremeDrawing, LayersOverEmptyOrInvertedAreasDrawNothingAndTheFrameGoesOn)
{
  const IRECT areas[] = {IRECT(60, 40, 20, 10), IRECT(30, 30, 30, 30), IRECT(30, 30, 30, 60)};
  for (const IRECT& area : areas) {
    Frame([&](IGraphics& gr) {
      gr.StartLayer(nullptr, area);
      gr.FillRect(IColor(255, 255, 0, 0), IRECT(0, 0, 200, 150));
      ILayerPtr layer = gr.EndLayer();
      gr.DrawLayer(layer, nullptr);
      gr.FillRect(IColor(255, 0, 0, 255), IRECT(100, 100, 120, 120));
    });
    // The layer's red reaches neither the view nor anything around it.
    EXPECT_EQ(Shown(40, 20)[3], 0) << area.L;
    EXPECT_EQ(Shown(5, 5)[3], 0) << area.L;
    EXPECT_EQ(Shown(110, 110), (std::vector<int>{0, 0, 255, 255})) << area.L;
  }
}

TEST_F(ExtremeDrawing, ShadowsOfLayersTooLargeForAFramebufferAreDroppedAndTheFrameGoesOn)
{
  // Sizes saturate at the largest int; no framebuffer holds them. Layers of
  // no height or width have no pixels either. Each is handed an opaque green
  // mask of 4,096 bytes, fewer than a 120 x 90 layer's: a layer that took it
  // would show green at (5, 5).
  const struct {
    const char* what;
    IRECT area;
    int pixelBytes;
  } rows[] = {
    {"1e30 square", IRECT(0, 0, 1e30f, 1e30f), 0},
    {"1e30 either way", IRECT(-1e30f, -1e30f, 1e30f, 1e30f), 0},
    {"1e30 wide", IRECT(0, 0, 1e30f, 50), 0},
    {"3e9 square", IRECT(0, 0, 3e9f, 3e9f), 0},
    {"no height", IRECT(0, 0, 120, 0), 0},
    {"no width", IRECT(0, 0, 0, 90), 0},
    {"larger than its mask", IRECT(0, 0, 120, 90), 120 * 90 * 4},
  };
  for (const auto& row : rows) {
    int pixelBytes = -1;
    Frame([&](IGraphics& gr) {
      gr.StartLayer(nullptr, row.area);
      ILayerPtr layer = gr.EndLayer();
      RawBitmapData pixels;
      gr.GetLayerBitmapData(layer, pixels);
      pixelBytes = pixels.GetSize();
      RawBitmapData mask;
      ASSERT_NE(mask.Resize(4096), nullptr);
      std::memset(mask.Get(), 255, 4096);
      IShadow shadow;
      shadow.mPattern = IPattern(IColor(255, 0, 255, 0));
      shadow.mBlurSize = 2.f;
      shadow.mDrawForeground = false;
      gr.ReplaceLayerBitmapData(layer, mask);
      gr.ApplyShadowMask(layer, mask, shadow);
      gr.ApplyLayerDropShadow(layer, shadow);
      gr.DrawLayer(layer, nullptr);
      gr.FillRect(IColor(255, 0, 0, 255), IRECT(100, 100, 120, 120));
    });
    EXPECT_EQ(pixelBytes, row.pixelBytes) << row.what;
    EXPECT_EQ(Shown(110, 110), (std::vector<int>{0, 0, 255, 255})) << row.what;
    EXPECT_EQ(Shown(5, 5)[3], 0) << row.what;
    EXPECT_EQ(Shown(40, 20)[3], 0) << row.what;
  }
  WriteShown("huge-layer-shadow.png", 200, 150);
}

TEST_F(ExtremeDrawing, ADottedLineDrawsItsFirstDashesWithinABoundOfWork)
{
  // A line of 4e9 dashes and a rectangle of as many: only the first dashes
  // are drawn, quickly, and they lie where the dash length puts them.
  const auto start = std::chrono::steady_clock::now();
  const IColor black(255, 0, 0, 0);
  // Coordinates, width and dash of 65,536 and a dash of 1 / 65,536.
  Frame([&](IGraphics& gr) {
    Bounded("line of short dashes", [&] { gr.DrawDottedLine(black, 65536, 65536, 0, 0, nullptr, 65536, 1 / 65536.f); });
    Bounded("line of one dash", [&] { gr.DrawDottedLine(black, 0, 0, 65536, 65536, nullptr, 65536, 65536); });
    Bounded("rectangle of short dashes",
            [&] { gr.DrawDottedRect(black, IRECT(0, 0, 65536, 65536), nullptr, 65536, 1 / 65536.f); });
  });
  Frame([&](IGraphics& gr) {
    Bounded("far line", [&] { gr.DrawDottedLine(black, 0.f, 10.5f, 1e10f, 10.5f, nullptr, 1.f, 2.5f); });
    Bounded("far rectangle", [&] { gr.DrawDottedRect(black, IRECT(0.5f, 50.5f, 1e10f, 1e10f), nullptr, 1.f, 2.5f); });
  });
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  WriteShown("dotted_far.png", 200, 150);
  // Dashes of 2.5 along the line: on over [0, 2.5), off over [2.5, 5) ...
  EXPECT_GT(Shown(1, 10)[3], 200);
  EXPECT_EQ(Shown(3, 10)[3], 0);
  EXPECT_GT(Shown(6, 10)[3], 200);
  EXPECT_EQ(Shown(8, 10)[3], 0);
  // The rectangle's top edge starts the same way.
  EXPECT_GT(Shown(1, 50)[3], 200);
  EXPECT_EQ(Shown(3, 50)[3], 0);
}

TEST_F(ExtremeDrawing, AGridOverAHugeRectangleDrawsTheLinesInView)
{
  // From -2^30 in steps of 10 the grid's lines lie at 6, 16, ...; half a
  // point down and right each fills one pixel row or column. Turned 90
  // degrees about (20, 20), far from the view's centre, x = 6 + 10 k shows
  // as row 6 + 10 k and y = 6 + 10 k as column 34 - 10 k: columns 4, 14, ...
  // come from lines far from those the untransformed view would show.
  const float far = 1073741824.f;
  const struct {
    const char* png;
    float turn;
    struct {
      int x, y, alpha;
    } pixels[7];
  } scenes[] = {
    {"grid_far.png",
     0,
     {{6, 3, 255}, {196, 3, 255}, {3, 6, 255}, {150, 146, 255}, {3, 3, 0}, {11, 11, 0}, {199, 149, 0}}},
    {"grid_far_turned.png",
     90,
     {{4, 3, 255}, {194, 3, 255}, {3, 6, 255}, {196, 146, 255}, {3, 3, 0}, {11, 11, 0}, {199, 149, 0}}},
  };
  for (const auto& scene : scenes) {
    Frame([&](IGraphics& gr) {
      gr.PathTransformTranslate(20.5f, 20.5f);
      gr.PathTransformRotate(scene.turn);
      gr.PathTransformTranslate(-20.f, -20.f);
      Bounded("grid", [&] { gr.DrawGrid(IColor(255, 0, 0, 0), IRECT(-far, -far, far, far), 10, 10); });
    });
    WriteShown(scene.png, 200, 150);
    for (const auto& p : scene.pixels)
      EXPECT_NEAR(Shown(p.x, p.y)[3], p.alpha, 8) << scene.png << " at " << p.x << ", " << p.y;
  }
}

TEST_F(ExtremeDrawing, FramesAtAScreenScaleOfZeroDrawNothingAndDoNotStop)
{
  Frame([&](IGraphics& gr) { gr.FillRect(IColor(255, 0, 0, 255), IRECT(0, 0, 20, 20)); });
  for (float scale : {0.f, -1.f}) {
    g->SetScreenScale(scale);
    Frame([&](IGraphics& gr) { gr.FillRect(IColor(255, 255, 0, 0), IRECT(0, 0, 200, 150)); });
  }
  g->SetScreenScale(1.f);
  Frame([&](IGraphics& gr) { gr.FillRect(IColor(255, 0, 255, 0), IRECT(0, 0, 20, 20)); });
  EXPECT_EQ(Shown(10, 10), (std::vector<int>{0, 255, 0, 255}));
}

TEST_F(ExtremeDrawing, BitmapsFromMemoryHaveOneOwnerAtScalesOneAndTwo)
{
  // A 4 x 2 image, left half red and right half blue, loaded from its bytes
  // by editors on screens of scale 1 and 2, drawn, and closed.
  testsupport::TempFolder dir;
  testsupport::RGBAImage img;
  img.w = 4;
  img.h = 2;
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 4; x++)
      img.px.insert(img.px.end(), {uint8_t(x < 2 ? 255 : 0), 0, uint8_t(x < 2 ? 0 : 255), 255});
  const std::string path = dir.File("strip.png");
  ASSERT_TRUE(testsupport::WritePNG(path, img));
  const std::vector<unsigned char> bytes = ReadFileBytes(path.c_str());
  for (float scale : {1.f, 2.f}) {
    GraphicsVG* editor = Open(dlg, 40, 30, scale);
    for (int twice = 0; twice < 2; twice++) {
      const IBitmap b = editor->LoadBitmapFromData("strip.png", bytes.data(), static_cast<int>(bytes.size()));
      ASSERT_TRUE(b.IsValid()) << scale;
      EXPECT_EQ(b.W(), 4) << scale;
      editor->AttachControl(new SceneControl(
        editor->GetBounds(), [&](IGraphics& gr) { gr.DrawBitmap(b, IRECT(0, 0, 4, 2), 0, 0, nullptr); }));
      editor->BeginFrame();
      editor->Draw(editor->GetBounds(), editor->GetTotalScale());
      editor->EndFrame();
      editor->RemoveAllControls();
    }
    EXPECT_EQ(editor->NCachedBitmaps(), 1) << scale;
    const int s = static_cast<int>(scale);
    EXPECT_EQ(ShownPixel(*editor, Views()[editor], 0, 0), (std::vector<int>{255, 0, 0, 255})) << scale;
    EXPECT_EQ(ShownPixel(*editor, Views()[editor], 3 * s, s), (std::vector<int>{0, 0, 255, 255})) << scale;
    Close(editor); // the view goes and the editor with it: each bitmap freed once
  }
}

} // namespace
} // namespace backendtest
