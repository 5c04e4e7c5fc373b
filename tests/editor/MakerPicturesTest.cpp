// The maker's drawn controls in each of their states through the real back
// end into the stand-in GPU, at draw scales 1 and 2, checked at chosen points
// and written as pictures (controls-bitmap-*.png under the build tree).

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControlDrawFixture.h"
#include "ControlMakers.h"
#include "IBControlsZV.h"
#include "IBCornerResizerControlZV.h"
#include "IBKnobMultiControlZV.h"
#include "IBRadioButtonsControl3.h"
#include "IVTextControlZV.h"

namespace editortest {
namespace {

using namespace backendtest;

using RGB = std::vector<int>;

class MakerPictures : public ControlDrawFixture {
protected:
  // A stacked strip of w x h point frames at density 1, frame f filled with
  // colours[f - 1] inside a black one-point border.
  IBitmap Strip(const char* name, int w, int h, const std::vector<RGB>& colours)
  {
    const int n = static_cast<int>(colours.size());
    std::vector<unsigned char> px(static_cast<std::size_t>(w) * h * n * 4);
    for (int y = 0; y < h * n; ++y)
      for (int x = 0; x < w; ++x) {
        const RGB& c = colours[static_cast<std::size_t>(y / h)];
        const bool edge = x == 0 || x == w - 1 || y % h == 0 || y % h == h - 1;
        unsigned char* p = &px[(static_cast<std::size_t>(y) * w + x) * 4];
        for (int k = 0; k < 3; ++k)
          p[k] = static_cast<unsigned char>(edge ? 0 : c[static_cast<std::size_t>(k)]);
        p[3] = 255;
      }
    mImages.push_back(std::make_unique<IGraphicsVG::Bitmap>(static_cast<VGcontext*>(g->GetDrawContext()), w, h * n,
                                                            px.data(), 1.f, 1.f));
    return IBitmap(mImages.back().get(), n, false, name);
  }

  struct Probe {
    float x, y;
    RGB rgb;
    const char* what;
  };

  // Each family on a grey panel at both draw scales, checked and written.
  void Picture(const char* family, int w, int h, const std::function<void()>& build, const std::vector<Probe>& probes)
  {
    for (float scale : {1.f, 2.f}) {
      Open(w, h, scale);
      InstallControlMakers(*g);
      g->AttachPanelBackground(IPattern(IColor(255, 120, 120, 120)));
      build();
      DrawFrame();
      WritePicture(std::string("controls-bitmap-") + family + (scale > 1.f ? "-2x.png" : "-1x.png"));
      for (const Probe& p : probes) {
        const RGB px = Shown(p.x, p.y);
        EXPECT_TRUE(Near(px, p.rgb, 3)) << family << " " << p.what << " at scale " << scale << ": " << px[0] << ","
                                        << px[1] << "," << px[2];
      }
      g->RemoveAllControls();
      mImages.clear();
    }
  }

  void SetUp() override
  {
    editor.GetParam(0)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB", IParam::kFlagStepped);
    for (int i = 1; i < 4; ++i)
      editor.GetParam(i)->InitEnum("Activity state", i - 1, {"Capture", "Idle", "Processing"});
  }

  std::vector<std::unique_ptr<APIBitmap>> mImages;
};

const RGB kOff{60, 20, 20}, kOn{250, 40, 40}, kUp{40, 90, 160}, kDown{120, 200, 255};

TEST_F(MakerPictures, DisplaySwitchPushAndUpdateInTheirStates)
{
  Picture(
    "display-switch-push-update", 200, 80,
    [&] {
      // LED off and on.
      for (int i = 0; i < 2; ++i) {
        auto* led = new IBBitmapControlZV(10 + 25 * i, 10, Strip("led", 20, 20, {kOff, kOn}));
        g->AttachControl(led);
        led->SetValue(i);
      }
      // Switch off, on, on with the hover highlight, hidden.
      for (int i = 0; i < 4; ++i) {
        auto* s = new IBSwitchControlZV(10 + 30 * static_cast<float>(i), 40, Strip("ad", 24, 24, {kUp, kDown}), -1);
        g->AttachControl(s);
        s->SetValue(i == 0 ? 0.0 : 1.0);
        s->SetHoverHighlight(i == 2);
        s->SetShowBitmap(i != 3);
        if (i == 2)
          s->OnMouseOver(0, 0, IMouseMod());
      }
      // Push at rest and held.
      for (int i = 0; i < 2; ++i) {
        auto* p = new IBPushControlZV(130 + 30 * static_cast<float>(i), 10, Strip("match", 24, 16, {kUp, kDown}), -1);
        g->AttachControl(p);
        if (i == 1)
          p->OnMouseDown(0, 0, IMouseMod());
      }
      // Update indicator: nothing new, then an update available.
      for (int i = 0; i < 2; ++i) {
        auto* u = new IBUpdateControlZV(130 + 30 * i, 40, Strip("update", 20, 20, {kUp, kOn}), 12);
        g->AttachControl(u);
        u->SetValue(i);
      }
    },
    {{20, 20, kOff, "led off"},
     {45, 20, kOn, "led on"},
     {22, 52, kUp, "switch off"},
     {52, 52, kDown, "switch on"},
     {82, 52, kDown, "switch on over its highlight"},
     {102, 52, {120, 120, 120}, "hidden switch"},
     {142, 18, kUp, "push at rest"},
     {172, 18, kDown, "push held"},
     {140, 50, kUp, "no update"},
     {170, 50, kOn, "update available"}});
}

TEST_F(MakerPictures, RadioButtonsShowTheSelectedStateOfEachValue)
{
  Picture("radio", 120, 100,
          [&] {
            // One row per value of its own parameter: Capture, Idle, Processing.
            for (int row = 0; row < 3; ++row) {
              const float y = 10 + 30 * static_cast<float>(row);
              auto* r = new IBRadioButtonsControl3(row + 1, IRECT(10, y, 40, y + 20), Strip("b1", 30, 20, {kUp, kDown}),
                                                   IRECT(45, y, 75, y + 20), Strip("b2", 30, 20, {kUp, kDown}),
                                                   IRECT(80, y, 110, y + 20), Strip("b3", 30, 20, {kUp, kDown}), false,
                                                   IRECT(10, y, 110, y + 20));
              g->AttachControl(r);
            }
          },
          {{25, 20, kDown, "capture selected"},
           {60, 20, kUp, "idle not selected"},
           {60, 50, kDown, "idle selected"},
           {95, 50, kUp, "processing not selected"},
           {95, 80, kDown, "processing selected"},
           {25, 80, kUp, "capture not selected"},
           {42, 20, {120, 120, 120}, "gap between buttons"}});
}

TEST_F(MakerPictures, KnobWithItsReadOutResizerAndText)
{
  const RGB kLow{30, 60, 30}, kMid{60, 160, 60}, kHigh{90, 250, 90};
  // The read-out box, three quarters dark grey over the knob, is probed at
  // its top left, clear of the text.
  const auto over = [](int box, int knob) { return (box * 191 + knob * 64 + 127) / 255; };
  std::vector<Probe> probes = {{20, 20, kLow, "knob at 0"},
                               {70, 20, kMid, "knob at 0.5"},
                               {120, 20, kHigh, "knob at 1"},
                               {210, 110, kDown, "hovered resizer"},
                               {200, 60, {120, 120, 120}, "panel"}};
  const std::size_t fixedProbes = probes.size();
  Picture(
    "knob-resizer-text", 220, 120,
    [&] {
      // Three frames: the low, middle and high third of the range.
      for (int i = 0; i < 3; ++i) {
        auto* k = new IBKnobMultiControlZV(10 + 50 * i, 10, 0, Strip("knob", 44, 44, {kLow, kMid, kHigh}),
                                           IText(12, COLOR_WHITE), IColor(191, 36, 36, 36), 4, kVertical, false, true,
                                           true, IBKnobMultiControlZV::kPlaceBottom, false, true, 4.0, 0.f);
        g->AttachControl(k);
        k->SetValue(i * 0.5);
        // The last one hovered: its read-out shows the value and unit.
        if (i == 2) {
          k->OnMouseOver(0, 0, IMouseMod());
          const IRECT box = k->GetValueTextRect();
          probes.resize(fixedProbes);
          probes.push_back({box.L + 1.5f, box.T + 1.f, {over(36, 90), over(36, 250), over(36, 90)}, "read-out box"});
        }
      }
      editor.GetParam(0)->Set(24.0);
      auto* text = new IVTextControlZV(IRECT(10, 70, 160, 90), "Custom Style: (None)",
                                       IText(14, IColor(255, 250, 240, 200), nullptr, kAlignNear));
      g->AttachControl(text);
      auto* resizer =
        new IBCornerResizerControlZV(Strip("resize", 20, 20, {kUp, kDown}), -1, -1, 20, 21, g->GetBounds());
      g->AttachCornerResizer(resizer, 0, false);
      resizer->OnMouseOver(0, 0, IMouseMod());
    },
    probes);
}

} // namespace
} // namespace editortest
