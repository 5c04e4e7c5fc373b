// Options the back end hands on to the engine, looked at where they land:
// in the pixels shown. Miter limit, fill rule, film-strip frames, gradient
// shadows, a collection's face, and drawing at screen scale 2.
#include <cstring>
#include <utility>

#include <standin/Testing.h>

#include "BackendFixture.h"

namespace backendtest {
namespace {

using BackendOptions = BackendFixture;

const IColor kWhite(255, 255, 255, 255), kBlack(255, 0, 0, 0);

bool IsWhite(const std::vector<int>& p) { return p[0] > 240 && p[1] > 240 && p[2] > 240; }
bool IsBlack(const std::vector<int>& p) { return p[0] < 15 && p[1] < 15 && p[2] < 15; }

// A path through the points, after any earlier one when clear is false.
void Polygon(IGraphics& gr, std::initializer_list<std::pair<float, float>> points, bool clear = true)
{
  if (clear)
    gr.PathClear();
  bool first = true;
  for (auto [x, y] : points) {
    first ? gr.PathMoveTo(x, y) : gr.PathLineTo(x, y);
    first = false;
  }
}

// A black square of content on white with its unblurred shadow painted by pattern.
void DrawShadowed(IGraphics& gr, const IRECT& content, const IPattern& pattern, float dx, float dy)
{
  gr.FillRect(kWhite, gr.GetBounds());
  gr.StartLayer(nullptr, IRECT(0, 0, 120, 100));
  gr.FillRect(kBlack, content);
  ILayerPtr layer = gr.EndLayer();
  IShadow shadow;
  shadow.mPattern = pattern;
  shadow.mXOffset = dx;
  shadow.mYOffset = dy;
  shadow.mOpacity = 1.f;
  gr.ApplyLayerDropShadow(layer, shadow);
  gr.DrawLayer(layer);
}

TEST_F(BackendOptions, MiterLimitDecidesWhetherASharpCornerKeepsItsTip)
{
  // Legs 41 degrees apart meet at (50, 20): 10 wide, the miter reaches 2.85
  // half widths past the apex (up to y 5.8), a bevel only to y 18.2.
  for (float limit : {10.f, 2.f}) {
    Frame([&](IGraphics& gr) {
      gr.FillRect(kWhite, gr.GetBounds());
      Polygon(gr, {{20, 100}, {50, 20}, {80, 100}}); // left open
      IStrokeOptions options;
      options.mMiterLimit = limit;
      options.mJoinOption = kJoinMiter;
      gr.PathStroke(IPattern(kBlack), 10, options, nullptr);
    });
    WriteShown(limit > 2.85f ? "backend_miter_kept.png" : "backend_miter_bevelled.png", 100, 110);
    EXPECT_EQ(IsBlack(Shown(50, 12)), limit > 2.85f) << "limit " << limit;
    EXPECT_TRUE(IsWhite(Shown(50, 4))) << "limit " << limit;
    EXPECT_TRUE(IsBlack(Shown(50, 22))) << "limit " << limit;
  }
}

TEST_F(BackendOptions, EvenOddLeavesTheOverlapOfSameWayContoursEmpty)
{
  // Two squares drawn the same way round, in either order: the non-zero rule
  // fills the inner one, even-odd leaves it empty.
  for (EFillRule rule : {kFillWinding, kFillEvenOdd})
    for (bool outerFirst : {true, false}) {
      Frame([&](IGraphics& gr) {
        gr.FillRect(kWhite, gr.GetBounds());
        gr.PathClear();
        for (int k = 0; k < 2; k++) {
          const bool outer = (k == 0) == outerFirst;
          const float l = outer ? 20.f : 50.f, r = outer ? 120.f : 90.f;
          Polygon(gr, {{l, l}, {r, l}, {r, r}, {l, r}}, false);
          gr.PathClose();
        }
        IFillOptions options;
        options.mFillRule = rule;
        gr.PathFill(IPattern(kBlack), options, nullptr);
      });
      const std::string what =
        std::string(rule == kFillEvenOdd ? "even-odd" : "winding") + (outerFirst ? ", outer first" : ", inner first");
      if (!outerFirst)
        WriteShown(rule == kFillEvenOdd ? "backend_even_odd.png" : "backend_winding.png", 140, 140);
      EXPECT_TRUE(IsBlack(Shown(30, 30))) << what;
      EXPECT_EQ(IsWhite(Shown(70, 70)), rule == kFillEvenOdd) << what;
      EXPECT_TRUE(IsWhite(Shown(150, 70))) << what;
    }
}

TEST_F(BackendOptions, FramesOfAFilmStripComeFromTheirRowOrColumn)
{
  // Three 8 x 8 frames, red, green and blue, stacked or side by side.
  const int colours[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  for (bool horizontal : {false, true}) {
    const int w = horizontal ? 24 : 8, h = horizontal ? 8 : 24;
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        const int* c = colours[horizontal ? x / 8 : y / 8];
        uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
        p[0] = uint8_t(c[0]), p[1] = uint8_t(c[1]), p[2] = uint8_t(c[2]), p[3] = 255;
      }
    IGraphicsVG::Bitmap pixels(static_cast<VGcontext*>(g->GetDrawContext()), w, h, px.data(), 1.f, 1.f);
    const IBitmap strip(&pixels, 3, horizontal, "strip");
    Frame([&](IGraphics& gr) {
      for (int frame = 1; frame <= 3; frame++)
        gr.DrawBitmapFrame(strip, IRECT(20.f * frame, 10, 20.f * frame + 8, 18), frame);
    });
    for (int frame = 1; frame <= 3; frame++) {
      const std::vector<int> p = Shown(20 * frame + 4, 14);
      for (int k = 0; k < 3; k++)
        EXPECT_NEAR(p[k], colours[frame - 1][k], 2) << (horizontal ? "horizontal" : "vertical") << " frame " << frame;
    }
  }
}

TEST_F(BackendOptions, AGradientShadowIsPaintedWithItsGradient)
{
  // A square of content, its unblurred shadow 30 to the right: red on the
  // left of the shadow, blue on its right.
  IPattern ramp(kLinearPattern);
  ramp.mNStops = 2;
  ramp.mStops[0] = {IColor(255, 255, 0, 0), 0.f};
  ramp.mStops[1] = {IColor(255, 0, 0, 255), 1.f};
  ramp.mTransform = IMatrix(0, 1.0 / 40, 1, 0, -60, -50.0 / 40); // x 50 .. 90 in the shadow's place
  Frame([&](IGraphics& gr) { DrawShadowed(gr, IRECT(20, 40, 60, 80), ramp, 30, 0); });
  WriteShown("backend_gradient_shadow.png", 120, 100);
  for (int x : {62, 70, 78, 86}) {
    const double t = (x + 0.5 - 50) / 40;
    const std::vector<int> p = Shown(x, 60);
    EXPECT_NEAR(p[0], 255 * (1 - t), 6) << x;
    EXPECT_NEAR(p[2], 255 * t, 6) << x;
  }
  EXPECT_TRUE(IsBlack(Shown(40, 60)));
  EXPECT_TRUE(IsWhite(Shown(100, 60)));
}

// Two faces in one collection file: each face's tables keep their offsets
// from the start of the file.
std::vector<unsigned char> Collection(const std::vector<std::vector<unsigned char>>& faces)
{
  std::vector<unsigned char> out = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, uint8_t(faces.size())};
  out.resize(out.size() + 4 * faces.size());
  for (size_t f = 0; f < faces.size(); f++) {
    while (out.size() % 4)
      out.push_back(0);
    const uint32_t at = static_cast<uint32_t>(out.size());
    for (int k = 0; k < 4; k++)
      out[12 + 4 * f + k] = uint8_t(at >> (24 - 8 * k));
    std::vector<unsigned char> face = faces[f];
    const int tables = face[4] << 8 | face[5];
    for (int t = 0; t < tables; t++) {
      unsigned char* off = &face[12 + 16 * t + 8];
      const uint32_t v = (uint32_t(off[0]) << 24 | off[1] << 16 | off[2] << 8 | off[3]) + at;
      for (int k = 0; k < 4; k++)
        off[k] = uint8_t(v >> (24 - 8 * k));
    }
    out.insert(out.end(), face.begin(), face.end());
  }
  return out;
}

TEST_F(BackendOptions, TheFaceIndexOfACollectionChoosesTheFaceDrawn)
{
  const char* bold = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Bold.ttf";
  const std::vector<unsigned char> pair = Collection({ReadFileBytes(kRobotoPath), ReadFileBytes(bold)});
  PlatformFontPtr face0 = std::make_unique<BytesFont>(pair, 0), face1 = std::make_unique<BytesFont>(pair, 1);
  PlatformFontPtr alone = std::make_unique<BytesFont>(ReadFileBytes(bold), 0);
  ASSERT_TRUE(g->LoadAPIFont("face0", face0));
  ASSERT_TRUE(g->LoadAPIFont("face1", face1));
  ASSERT_TRUE(g->LoadAPIFont("bold", alone));
  auto ink = [&](const char* font) {
    Frame([&](IGraphics& gr) {
      gr.FillRect(kWhite, gr.GetBounds());
      gr.DrawText(IText(60, kBlack, font), "WM", IRECT(0, 0, 200, 150));
    });
    long sum = 0;
    for (int y = 0; y < 150; y++)
      for (int x = 0; x < 200; x++)
        sum += 255 - Shown(x, y)[0];
    return sum;
  };
  const long regular = ink("face0"), second = ink("face1"), reference = ink("bold");
  EXPECT_EQ(second, reference) << "face 1 is the bold face";
  EXPECT_GT(second, regular * 11 / 10) << "and not the regular one";
}

TEST_F(BackendOptions, AtScreenScaleTwoShadowsAndShapesLandOnDevicePixels)
{
  Close(g);
  g = Open(dlg, 200, 150, 2.f);
  Frame([&](IGraphics& gr) { DrawShadowed(gr, IRECT(20, 20, 40, 40), IPattern(IColor(255, 255, 0, 0)), 30, 30); });
  WriteShown("backend_shadow@2x.png", 200, 200);
  // Points to device pixels: content at 40..80, shadow at 100..140.
  EXPECT_TRUE(IsBlack(Shown(60, 60)));
  const std::vector<int> shadow = Shown(120, 120);
  EXPECT_EQ((std::vector<int>{shadow[0], shadow[1], shadow[2]}), (std::vector<int>{255, 0, 0}));
  for (auto [x, y] : {std::pair{90, 90}, std::pair{145, 145}, std::pair{60, 120}})
    EXPECT_TRUE(IsWhite(Shown(x, y))) << x << "," << y;
}

TEST_F(BackendOptions, AViewLargerThanTheEditorDrawsTheEditorAndNothingElse)
{
  // The drawable outgrows the editor (a host resizing first): fills that
  // need the stencil still cover the editor up to its edge.
  Close(g);
  standin::ClearGPUValidationErrors();
  auto* graphics = new GraphicsVG(dlg, 200, 150);
  void* view = MakeView(260, 190);
  Views()[graphics] = view;
  graphics->OnViewInitialized(view);
  graphics->SetScreenScale(1.f);
  g = graphics;
  Frame([&](IGraphics& gr) {
    gr.FillRect(kWhite, gr.GetBounds());
    Polygon(gr, {{0, 0}, {200, 0}, {100, 75}, {200, 150}, {0, 150}});
    gr.PathClose();
    gr.PathFill(IPattern(kBlack), IFillOptions(), nullptr);
  });
  for (auto [x, y] : {std::pair{10, 140}, std::pair{195, 2}, std::pair{195, 147}})
    EXPECT_TRUE(IsBlack(Shown(x, y))) << x << "," << y;
  EXPECT_TRUE(IsWhite(Shown(190, 75)));
  EXPECT_EQ(Shown(230, 170)[3], 0) << "outside the editor";
  EXPECT_TRUE(standin::GPUValidationErrors().empty()) << "the stencil matches the colour target";
  WriteShown("backend_large_view.png", 260, 190);
}

} // namespace
} // namespace backendtest
