// A small SVG document parsed and drawn through the back end, its pixels
// checked against values worked out from the SVG rules.

#include <memory>
#include <string>

#include "BackendFixture.h"
#include "SVGParser.h"
#include "TestImageCodec.h"

namespace backendtest {
namespace {

struct SVGFree {
  void operator()(SVGImage* i) const { svgDelete(i); }
};

class SVGPixels : public BackendFixture {};

TEST_F(SVGPixels, OpacityHolesHiddenChildrenAndTheCentredViewReachThePixels)
{
  // A 100 x 100 view in a 200 x 100 document: met and centred, so view x
  // lands at x + 50 with scale 1.
  std::string text =
    "<svg width='200' height='100' viewBox='0 0 100 100'>"
    "<rect width='40' height='40' fill='red' fill-opacity='0.5'/>"
    "<g opacity='0.5'><g opacity='0.5'><rect x='60' width='40' height='40' fill='blue'/></g></g>"
    // A circle with a small square hole close to its outline (even-odd).
    "<path fill-rule='evenodd' d='M58 70 A28 28 0 1 1 2 70 A28 28 0 1 1 58 70 Z M51.5 82 h2 v2 h-2 z'/>"
    // Same-direction squares under nonzero: the inner one is filled too.
    "<path fill='green' d='M65 45 H95 V75 H65 Z M72 52 H88 V68 H72 Z'/>"
    "<clipPath id='c'><rect x='62' y='80' width='36' height='18'/></clipPath>"
    "</svg>";
  std::unique_ptr<SVGImage, SVGFree> image(svgParse(text.data(), "px", 96.f));
  ASSERT_NE(image, nullptr);
  Frame([&](IGraphics& gr) {
    gr.FillRect(IColor(255, 255, 255, 255), gr.GetBounds());
    gr.DrawSVG(ISVG(image.get()), IRECT(0, 0, 200, 100));
  });

  testsupport::RGBAImage shown;
  shown.w = 200;
  shown.h = 150;
  shown.px.resize(200 * 150 * 4);
  for (int y = 0; y < shown.h; y++)
    for (int x = 0; x < shown.w; x++) {
      const std::vector<int> p = Shown(x, y);
      for (int k = 0; k < 4; k++)
        shown.px[(y * shown.w + x) * 4 + k] = static_cast<uint8_t>(p[k]);
    }
  ASSERT_TRUE(testsupport::WritePNG(std::string(VORELLE_TEST_OUTPUT_DIR) + "/svg_scene.png", shown));

  const struct {
    const char* what;
    int x, y;
    int r, g, b;
  } probes[] = {
    {"left of the centred view", 20, 20, 255, 255, 255},
    {"fill-opacity 0.5: alpha 127 over white", 70, 20, 255, 128, 128},
    {"0.5 in 0.5: alpha 64 over white", 130, 20, 191, 191, 255},
    {"circle", 80, 70, 0, 0, 0},
    {"hole by the curve", 102, 83, 255, 255, 255},
    {"nonzero, same direction: filled", 130, 60, 0, 128, 0},
    {"clip path child not drawn", 130, 90, 255, 255, 255},
  };
  for (const auto& p : probes) {
    const std::vector<int> got = Shown(p.x, p.y);
    EXPECT_NEAR(got[0], p.r, 2) << p.what;
    EXPECT_NEAR(got[1], p.g, 2) << p.what;
    EXPECT_NEAR(got[2], p.b, 2) << p.what;
  }
}

} // namespace
} // namespace backendtest
