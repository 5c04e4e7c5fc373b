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
#include "IVectorBase.h"

namespace controlstest {
namespace {

using namespace backendtest;

// The three pressable shapes of the vector base side by side.
struct Shapes : IControl, IVectorBase {
  explicit Shapes(const IRECT& r) : IControl(r), IVectorBase(DEFAULT_STYLE) { AttachIControl(this, ""); }
  void Draw(IGraphics& g) override
  {
    DrawPressableShape(g, kVShapeRectangle, IRECT(10, 10, 60, 60), false, false, false);
    DrawPressableShape(g, kVShapeEllipse, IRECT(70, 10, 120, 60), true, false, false);
    DrawPressableShape(g, kVShapeTriangle, IRECT(130, 10, 180, 60), false, false, true);
  }
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
    Open(200, 120, scale);
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
    };
    for (const Probe& p : probes)
      EXPECT_TRUE(Near(Shown(p.x, p.y), p.rgb, 3)) << p.what << " at scale " << scale << ": " << Shown(p.x, p.y)[0]
                                                   << "," << Shown(p.x, p.y)[1] << "," << Shown(p.x, p.y)[2];
    g->RemoveAllControls();
  }
}

} // namespace
} // namespace controlstest
