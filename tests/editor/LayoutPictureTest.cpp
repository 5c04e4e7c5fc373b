// The laid-out editor drawn through the real back end on the software GPU,
// with the pictures and fonts the build put into the bundle: the first
// frame shows the background wherever no control draws; a host change of
// "Reference mode" turns the knob and the needle after one timer tick, and
// output past full scale lights the clip LED; at
// scale 2 the @2x pictures are drawn. Each frame is written as a PNG.

#include <AudioUnit/AudioUnit.h>
#include <standin/Host.h>

#include <cmath>

#include "BackendFixture.h"
#include "BundleGraphicsVG.h"
#include "LayoutFixture.h"
#include "PluginPaths.h"
#include "TestImageCodec.h"

namespace layouttest {
namespace {

using L = IEditorPlugLinks;

// The bundle's back end over the stand-in GPU, with the view it draws into.
class EditorVG : public backendtest::BundleGraphicsVG {
public:
  using BundleGraphicsVG::BundleGraphicsVG;
  void* mView = nullptr;
};

class DrawnPlug : public LaidOutPlug {
public:
  // A screen of the given density (2: pictures are picked at @2x).
  explicit DrawnPlug(float screenScale)
  {
    SetMakeGraphicsFunc([screenScale](IGEditorDelegate& d) -> IEditorGraphics* {
      auto* g = new EditorVG(d, 650, 470, 1.f);
      g->mView = backendtest::MakeView(int(std::lround(650 * screenScale)), int(std::lround(470 * screenScale)));
      g->OnViewInitialized(g->mView);
      g->SetScreenScale(screenScale);
      return g;
    });
  }
  EditorVG* OpenVG() { return static_cast<EditorVG*>(OpenAny()); }
  void CloseVG()
  {
    auto* g = static_cast<EditorVG*>(GetGraphics());
    void* view = g ? g->mView : nullptr;
    if (g)
      g->OnViewDestroyed();
    Close();
    backendtest::ReleaseView(view);
  }
};

class EditorPicture : public LayoutFixture {
protected:
  void TearDown() override
  {
    backendtest::EndViews();
    LayoutFixture::TearDown();
  }

  static void DrawAll(EditorVG& g)
  {
    g.BeginFrame();
    g.Draw(g.GetBounds(), g.GetTotalScale());
    g.EndFrame();
  }

  // The shown frame, written under the build tree.
  static testsupport::RGBAImage Shown(EditorVG& g, float scale, const std::string& name)
  {
    testsupport::RGBAImage img;
    img.w = int(std::lround(650 * scale));
    img.h = int(std::lround(470 * scale));
    img.px.resize(size_t(img.w) * img.h * 4);
    for (int y = 0; y < img.h; y++)
      for (int x = 0; x < img.w; x++) {
        const std::vector<int> p = backendtest::ShownPixel(g, g.mView, x, y);
        for (int k = 0; k < 4; k++)
          img.px[(size_t(y) * img.w + x) * 4 + k] = uint8_t(p[k]);
      }
    EXPECT_TRUE(testsupport::WritePNG(std::string(VORELLE_TEST_OUTPUT_DIR) + "/" + name, img));
    return img;
  }

  static testsupport::RGBAImage Resource(const std::string& file)
  {
    testsupport::RGBAImage img;
    EXPECT_TRUE(
      testsupport::DecodeImageFile((std::string(VORELLE3_BUNDLE_DIR) + "/Contents/Resources/" + file).c_str(), img))
      << file;
    return img;
  }

  static const uint8_t* At(const testsupport::RGBAImage& img, int x, int y)
  {
    return &img.px[(size_t(y) * img.w + x) * 4];
  }
  static bool Differs(const testsupport::RGBAImage& a, const testsupport::RGBAImage& b, int x, int y)
  {
    const uint8_t *p = At(a, x, y), *q = At(b, x, y);
    return std::abs(p[0] - q[0]) > 2 || std::abs(p[1] - q[1]) > 2 || std::abs(p[2] - q[2]) > 2;
  }

  // Which frame of a vertical strip the screen shows at (x0, y0): the frame
  // whose opaque pixels the screen matches best.
  static int ShownFrame(const testsupport::RGBAImage& screen, const testsupport::RGBAImage& strip, int frames, int x0,
                        int y0)
  {
    const int fh = strip.h / frames;
    int best = -1;
    long bestScore = -1;
    for (int f = 0; f < frames; ++f) {
      long score = 0;
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < strip.w; ++x) {
          const uint8_t* s = At(strip, x, f * fh + y);
          if (s[3] < 255)
            continue;
          const uint8_t* p = At(screen, x0 + x, y0 + y);
          if (std::abs(p[0] - s[0]) + std::abs(p[1] - s[1]) + std::abs(p[2] - s[2]) <= 9)
            ++score;
        }
      if (score > bestScore) {
        bestScore = score;
        best = f + 1;
      }
    }
    return best;
  }
};

TEST_F(EditorPicture, FirstFrameIsTheBackgroundWhereNoControlDraws)
{
  DrawnPlug plug(1.f);
  EditorVG* g = plug.OpenVG();
  ASSERT_NE(g, nullptr);
  ASSERT_TRUE(plug.ControlsAttached());
  DrawAll(*g);
  const testsupport::RGBAImage screen = Shown(*g, 1.f, "editor_first_frame.png");
  const testsupport::RGBAImage background = Resource("background.png");
  ASSERT_EQ(background.w, 650);
  ASSERT_EQ(background.h, 470);

  // Every control but the background (and the invisible ones) draws
  // somewhere; elsewhere the screen is the background, pixel for pixel.
  std::vector<IRECT> drawn;
  for (int i = 0; i < g->NControls(); ++i) {
    IControl* c = g->GetControl(i);
    if (c->GetRECT().W() < 650 && !c->IsHidden())
      drawn.push_back(c->GetRECT());
  }
  drawn.push_back(g->GetCornerResizer()->GetRECT());
  long compared = 0, differing = 0;
  for (int y = 0; y < 470; y += 3)
    for (int x = 0; x < 650; x += 3) {
      bool covered = false;
      for (const IRECT& r : drawn)
        covered = covered || (x >= r.L - 1 && x < r.R + 1 && y >= r.T - 1 && y < r.B + 1);
      if (covered)
        continue;
      ++compared;
      differing += Differs(screen, background, x, y);
    }
  EXPECT_GT(compared, 15000);
  EXPECT_EQ(differing, 0);

  // Idle, reference 0: the second activity button ("Idle") is lit.
  EXPECT_EQ(ShownFrame(screen, Resource("act_but2.png"), 2, 147, 229), 2);
  EXPECT_EQ(ShownFrame(screen, Resource("act_but1.png"), 2, 66, 229), 1);
  EXPECT_EQ(ShownFrame(screen, Resource("tune_but_a.png"), 5, 319, 219), 1);
  plug.CloseVG();
}

TEST_F(EditorPicture, HostReferenceModeTurnsKnobAndNeedleAfterOneTimerTick)
{
  DrawnPlug plug(1.f);
  EditorVG* g = plug.OpenVG();
  ASSERT_NE(g, nullptr);
  DrawAll(*g);

  // As the host writes it: the value, the queue towards the editor, the
  // plug-in's reaction; the editor follows on the next 20 ms tick.
  ASSERT_EQ(plug.SetParameter(kReferenceMode, kAudioUnitScope_Global, 0, 3.f, 0), noErr);
  // The host keeps playing: a metering period of audio passes.
  std::vector<double> l(512), r(512), ol(512), orr(512);
  double* in[2] = {l.data(), r.data()};
  double* out[2] = {ol.data(), orr.data()};
  for (int i = 0; i < 3; ++i)
    plug.ProcessBlock(in, out, 512);
  standin::RunMainRunLoopFor(0.021);
  IRECTList dirty;
  ASSERT_TRUE(g->IsDirty(dirty));
  DrawAll(*g);
  const testsupport::RGBAImage screen = Shown(*g, 1.f, "editor_reference_3.png");
  EXPECT_EQ(ShownFrame(screen, Resource("tune_but_a.png"), 5, 319, 219), 4);
  EXPECT_EQ(ShownFrame(screen, Resource("tune_needle.png"), 5, 189, 44), 4);
  plug.CloseVG();
}

TEST_F(EditorPicture, OutputPastFullScaleLightsTheClipLedBesideThePeak)
{
  DrawnPlug plug(1.f);
  EditorVG* g = plug.OpenVG();
  ASSERT_NE(g, nullptr);
  DrawAll(*g);
  const testsupport::RGBAImage led = Resource("led_clip.png");
  EXPECT_EQ(ShownFrame(Shown(*g, 1.f, "editor_clip_dark.png"), led, 2, 490, 186), 1);

  // Idle passes the input through: a metering period of it past full scale.
  std::vector<double> l(512, 1.25), r(512, -0.5), ol(512), orr(512);
  double* in[2] = {l.data(), r.data()};
  double* out[2] = {ol.data(), orr.data()};
  for (int i = 0; i < 3; ++i)
    plug.ProcessBlock(in, out, 512);
  standin::RunMainRunLoopFor(0.021);
  DrawAll(*g);
  EXPECT_EQ(ShownFrame(Shown(*g, 1.f, "editor_clip_lit.png"), led, 2, 490, 186), 2);
  plug.CloseVG();
}

TEST_F(EditorPicture, OnADoubleDensityScreenTheDoubleDensityPicturesAreDrawn)
{
  DrawnPlug plug(2.f);
  EditorVG* g = plug.OpenVG();
  ASSERT_NE(g, nullptr);
  DrawAll(*g);
  const testsupport::RGBAImage screen = Shown(*g, 2.f, "editor_scale_2.png");
  const testsupport::RGBAImage background = Resource("background@2x.png");
  ASSERT_EQ(background.w, 1300);
  // The title's letters, drawn at twice the density, match pixel for pixel.
  long differing = 0;
  for (int y = 30; y < 100; ++y)
    for (int x = 100; x < 360; ++x)
      differing += Differs(screen, background, x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(ShownFrame(screen, Resource("act_but2@2x.png"), 2, 294, 458), 2);
  plug.CloseVG();
}

} // namespace
} // namespace layouttest
