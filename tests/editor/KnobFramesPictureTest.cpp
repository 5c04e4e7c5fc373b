// The frame the multi-frame knob shows for its value, through the real back
// end: 101 knobs over a 101-frame strip whose frames carry their own number
// in their colour, at screen scales 1 and 2 (the @2x file), read back pixel
// by pixel (controls-bitmap-knob-*.png under the build tree).

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ControlDrawFixture.h"
#include "IBKnobMultiControlZV.h"
#include "TempFolder.h"

namespace editortest {
namespace {

using namespace backendtest;

constexpr int kFrames = 101;
constexpr int kSide = 12; // points of one frame
constexpr int kColumns = 11;

// Frame f (1-based) of the strip at pixel density s: red 2f and green 255 - 2f
// say which frame it is, blue says which density the file was made for.
testsupport::RGBAImage NumberedStrip(int s)
{
  testsupport::RGBAImage img{kSide * s, kSide * s * kFrames, {}};
  img.px.resize(static_cast<std::size_t>(img.w) * img.h * 4);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) {
      const int f = y / (kSide * s) + 1;
      unsigned char* p = &img.px[(static_cast<std::size_t>(y) * img.w + x) * 4];
      // A dark border keeps neighbouring knobs apart in the picture.
      const bool edge = x < s || y % (kSide * s) < s;
      p[0] = static_cast<unsigned char>(edge ? 0 : 2 * f);
      p[1] = static_cast<unsigned char>(edge ? 0 : 255 - 2 * f);
      p[2] = static_cast<unsigned char>(s == 1 ? 0 : 200);
      p[3] = 255;
    }
  return img;
}

// The frame the rule picks, worked out as the nearest of the 100 steps.
int ExpectedFrame(double v) { return static_cast<int>(std::lround(v * (kFrames - 1))) + 1; }

class KnobFramesPicture : public ControlDrawFixture {
protected:
  testsupport::TempFolder folder;
};

TEST_F(KnobFramesPicture, EveryValueShowsTheFrameOfItsNearestStepAtScalesOneAndTwo)
{
  const std::string strip = (folder.Path() / "knob.png").string();
  ASSERT_TRUE(testsupport::WritePNG(strip, NumberedStrip(1)));
  ASSERT_TRUE(testsupport::WritePNG((folder.Path() / "knob@2x.png").string(), NumberedStrip(2)));
  editor.GetParam(0)->InitDouble("Mix", 100.0, 0.0, 100.0, 1.0, "%", IParam::kFlagStepped);

  // Exact steps, then just below and above each half step.
  const double offsets[] = {0.0, 0.49, 0.51};
  for (float scale : {1.f, 2.f}) {
    for (double offset : offsets) {
      Close(g);
      mScale = scale;
      g = BackendFixture::Open(editor, kColumns * kSide, 10 * kSide, scale);
      // Loaded for density 1: attaching re-fetches the strip for the screen.
      const IBitmap bitmap = g->LoadBitmap(strip.c_str(), kFrames, false, 1);
      ASSERT_TRUE(bitmap.IsValid());
      std::vector<double> values;
      for (int i = 0; i < kFrames; ++i) {
        const double v = std::min(1.0, (i + offset) / (kFrames - 1));
        auto* k = new IBKnobMultiControlZV((i % kColumns) * kSide, (i / kColumns) * kSide, 0, bitmap, DEFAULT_TEXT,
                                           COLOR_BLACK, 4, kVertical, true, false, false, 1, false, false, 4.0, 0.f);
        g->AttachControl(k);
        k->SetValue(v);
        values.push_back(v);
      }
      DrawFrame();
      if (offset == 0.0)
        WritePicture(std::string("controls-bitmap-knob-") + (scale > 1.f ? "2x.png" : "1x.png"));
      for (int i = 0; i < kFrames; ++i) {
        const std::vector<int> px = Shown((i % kColumns) * kSide + kSide / 2.f, (i / kColumns) * kSide + kSide / 2.f);
        const int want = ExpectedFrame(values[static_cast<std::size_t>(i)]);
        EXPECT_EQ(px[0], 2 * want) << "value " << values[static_cast<std::size_t>(i)] << " at scale " << scale;
        EXPECT_EQ(px[1], 255 - 2 * want);
        EXPECT_EQ(px[2], scale > 1.f ? 200 : 0) << "the strip for the screen's density";
      }
      g->RemoveAllControls();
    }
  }
}

} // namespace
} // namespace editortest
