// Each control family drawn through the real back end into the stand-in
// GPU at draw scales 1 and 2, checked at chosen points and written as
// pictures (controls-foundation-*.png under the build tree).

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "ControlDrawFixture.h"
#include "ControlMakers.h"
#include "IBitmapControl.h"
#include "IBubbleControl.h"
#include "IControlActions.h"
#include "IFPSDisplayControl.h"
#include "ITextControls.h"
#include "IVectorBase.h"

namespace controlstest {
namespace {

using namespace backendtest;

// The three pressable shapes of the vector base side by side, and a
// disabled ellipse, which casts no shadow.
struct Shapes : IControl, IVectorBase {
  explicit Shapes(const IRECT& r) : IControl(r), IVectorBase(DEFAULT_STYLE) { AttachIControl(this, ""); }
  void Draw(IGraphics& g) override
  {
    DrawPressableShape(g, kVShapeRectangle, IRECT(10, 10, 60, 60), false, false, false);
    DrawPressableShape(g, kVShapeEllipse, IRECT(70, 10, 120, 60), true, false, false);
    DrawPressableShape(g, kVShapeTriangle, IRECT(130, 10, 180, 60), false, false, true);
    DrawPressableShape(g, kVShapeEllipse, IRECT(84, 72, 104, 92), false, false, true);
  }
};

// A pressed rectangle in mid-splash: the ripple stays inside the handle,
// and inside the control's own clip where the handle reaches past it.
struct Splashing : IControl, IVectorBase {
  Splashing(const IRECT& r, const IRECT& handle, const IVStyle& style = DEFAULT_STYLE)
  : IControl(r), IVectorBase(style), mHandle(handle)
  {
    AttachIControl(this, "");
    SetAnimation([](IControl*) {}, 1000);
    SetSplashPoint(r.R - 8.f, r.B - 6.f);
    SetSplashRadius(30.f);
  }
  void Draw(IGraphics& g) override { DrawPressableShape(g, kVShapeRectangle, mHandle, true, false, false); }
  IRECT mHandle;
};

class FoundationPictures : public ControlDrawFixture {
protected:
  static std::string Name(const char* family, float scale)
  {
    return std::string("controls-foundation-") + family + (scale > 1.f ? "-2x.png" : "-1x.png");
  }
};

TEST_F(FoundationPictures, BasesBitmapSVGAndPanelLandWhereTheyShould)
{
  const char* svgText = "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='40'>"
                        "<rect x='0' y='0' width='40' height='40' fill='#ff8000'/></svg>";
  for (float scale : {1.f, 2.f}) {
    Open(200, 160, scale);
    InstallControlMakers(*g);
    // A 20 x 60 strip of red, green and blue frames.
    std::vector<unsigned char> px(20 * 60 * 4);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 20; ++x) {
        unsigned char* p = &px[(y * 20 + x) * 4];
        p[0] = y < 20 ? 255 : 0;
        p[1] = y >= 20 && y < 40 ? 255 : 0;
        p[2] = y >= 40 ? 255 : 0;
        p[3] = 255;
      }
    auto pixels =
      std::make_unique<IGraphicsVG::Bitmap>(static_cast<VGcontext*>(g->GetDrawContext()), 20, 60, px.data(), 1.f, 1.f);
    ASSERT_NE(g->AttachPanelBackground(IPattern(IColor(255, 180, 210, 240))), nullptr);
    g->AttachControl(new Shapes(g->GetBounds()));
    auto* bitmap = new IBitmapControl(10, 70, IBitmap(pixels.get(), 3, false, "rgb"));
    g->AttachControl(bitmap);
    bitmap->SetValue(0.5);
    g->AttachControl(new ISVGControl(IRECT(40, 70, 80, 110), g->LoadSVGFromData("orange", svgText, 0), true));
    g->AttachControl(new Splashing(IRECT(110, 70, 190, 110), IRECT(110, 70, 190, 110)));
    IVStyle red = DEFAULT_STYLE;
    red.colors.SetColor(kHover, IColor(255, 200, 40, 40));
    g->AttachControl(new Splashing(IRECT(20, 120, 80, 150), IRECT(10, 115, 120, 158), red));
    DrawFrame();
    WritePicture(Name("bases", scale));

    struct Probe {
      float x, y;
      std::vector<int> rgb;
      const char* what;
    } probes[] = {
      {195, 115, {180, 210, 240}, "panel"},
      {35, 35, {200, 200, 200}, "rectangle face"},
      {58.5f, 58.5f, {180 * 195 / 255, 210 * 195 / 255, 240 * 195 / 255}, "rectangle shadow"},
      {95, 35, {240, 240, 240}, "pressed ellipse"},
      {155, 45, {200 - 63, 200 - 63, 200 - 63}, "disabled triangle"},
      {20, 80, {0, 255, 0}, "middle bitmap frame"},
      {60, 90, {255, 128, 0}, "svg"},
      {150, 80, {240, 240, 240}, "pressed face"},
      {178, 100, {231, 231, 231}, "splash on the face"},
      {191, 108, {180, 210, 240}, "splash clipped at the handle"},
      {94, 82, {200 - 63, 200 - 63, 200 - 63}, "disabled ellipse"},
      {102.6f, 90.6f, {180, 210, 240}, "no shadow under the disabled ellipse"},
      {60, 135, {200, 40, 40}, "splash inside its control"},
      {90, 135, {180, 210, 240}, "splash clipped at the control, not at its handle"},
      {70, 117, {180, 210, 240}, "handle above the control"},
    };
    for (const Probe& p : probes)
      EXPECT_TRUE(Near(Shown(p.x, p.y), p.rgb, 3)) << p.what << " at scale " << scale << ": " << Shown(p.x, p.y)[0]
                                                   << "," << Shown(p.x, p.y)[1] << "," << Shown(p.x, p.y)[2];
    g->RemoveAllControls();
  }
}

TEST_F(FoundationPictures, TextControlsBubbleResizerAndFrameRateDisplay)
{
  editor.GetParam(0)->InitEnum("Mode", 1, {"Low", "Mid", "High"});
  const IColor panel(255, 200, 215, 230), textBG(255, 250, 230, 120), toggleBG(255, 170, 230, 170);
  for (float scale : {1.f, 2.f}) {
    Open(300, 200, scale);
    InstallControlMakers(*g);
    double nowMs = 0.0;
    g->SetClock([&] { return nowMs; });
    g->AttachPanelBackground(IPattern(panel));
    g->AttachControl(new ITextControl(IRECT(10, 10, 110, 35), "Vorelle", DEFAULT_TEXT, textBG));
    auto* toggle = new ITextToggleControl(IRECT(10, 45, 110, 70), -1, "OFF", "ON", DEFAULT_TEXT, toggleBG);
    g->AttachControl(toggle);
    toggle->SetValue(1.0);
    toggle->SetDirty(false, -1);
    auto* caption = new ICaptionControl(IRECT(10, 80, 110, 105), 0, DEFAULT_TEXT, COLOR_WHITE, false);
    g->AttachControl(caption);
    g->AttachControl(new PlaceHolder(IRECT(200, 10, 290, 90), "Knob"));
    g->AttachControl(new IURLControl(IRECT(200, 100, 290, 120), "example", "https://example.com",
                                     IText(14, IColor(255, 0, 0, 200)), COLOR_TRANSPARENT));
    auto* fps = new IFPSDisplayControl(IRECT(10, 130, 210, 180));
    ASSERT_TRUE(g->AttachFPSDisplay(fps));
    for (int i = 0; i < 100; ++i)
      fps->Update(1.f / 60.f);
    ASSERT_TRUE(g->AttachCornerResizer(0, false, COLOR_DARK_GRAY, COLOR_BLACK, COLOR_RED, 20.f));
    ASSERT_TRUE(g->AttachBubbleControl(DEFAULT_TEXT));
    ShowBubbleHorizontalActionFunc(caption);
    // Past the fade-in: fully shown.
    for (double t : {100.0, 250.0}) {
      nowMs = t;
      IRECTList rects;
      g->IsDirty(rects);
    }
    ASSERT_EQ(static_cast<IBubbleControl*>(g->GetBubble(0))->GetState(), 2);
    DrawFrame();
    WritePicture(Name("text-bubble-resizer-fps", scale));

    struct Probe {
      float x, y;
      std::vector<int> rgb;
      int tol;
      const char* what;
    } probes[] = {
      {250, 150, {200, 215, 230}, 2, "panel"},
      {14, 14, {250, 230, 120}, 2, "text background"},
      {14, 49, {170, 230, 170}, 2, "toggle background"},
      {100, 91.5f, {128, 128, 128}, 40, "caption triangle at half weight"},
      {280, 50, {255, 255, 255}, 2, "place holder"},
      {260, 10 + 80 * 60 / 90.f, {255, 128, 128}, 40, "place holder diagonal"},
      {100, 175, {200, 200, 200}, 3, "frame-rate graph"},
      {90, 140, {255, 255, 255}, 3, "frame-rate background"},
      {125, 82, {252, 253, 254}, 4, "bubble"},
      {150, 77.5f, {13, 13, 13}, 50, "bubble outline"},
      {298.5f, 198.5f, {70, 70, 70}, 3, "corner resizer"},
    };
    for (const Probe& p : probes) {
      const std::vector<int> px = Shown(p.x, p.y);
      EXPECT_TRUE(Near(px, p.rgb, p.tol))
        << p.what << " at scale " << scale << ": " << px[0] << "," << px[1] << "," << px[2];
    }
    g->RemoveAllControls();
  }
}

} // namespace
} // namespace controlstest
