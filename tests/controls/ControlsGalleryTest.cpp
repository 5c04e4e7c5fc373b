// Every vector and SVG control in its normal, hovered, pressed and disabled
// looks, drawn through the real back end into the stand-in GPU at draw
// scales 1 and 2, checked at chosen points and written as pictures
// (controls-gallery-1x.png and controls-gallery-2x.png under the build tree).

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "ControlDrawFixture.h"
#include "ControlMakers.h"
#include "ISVGControls.h"
#include "ITextControls.h"
#include "IVButtonControls.h"
#include "IVColorSwatchControl.h"
#include "IVGroupControl.h"
#include "IVKnobControl.h"
#include "IVPlotControl.h"
#include "IVSliderControl.h"
#include "IVTabSwitchControl.h"
#include "IVTrackControls.h"
#include "IVXYPadControl.h"

namespace controlstest {
namespace {

using namespace backendtest;

enum ELook { kNormal = 0, kHovered, kPressed, kDisabled, kNumLooks };
const char* const kLookNames[kNumLooks] = {"normal", "hovered", "pressed", "disabled"};

const IColor kPanel(255, 150, 158, 168);
constexpr float kNameW = 110.f, kCellW = 140.f, kGap = 8.f, kTop = 28.f;

// Style of the gallery: the default look with texts sized for its rows.
IVStyle GalleryStyle()
{
  IVStyle s;
  s.labelStyle.mSize = 13.f;
  s.valueStyle.mSize = 12.f;
  return s;
}

std::string Svg(int w, int h, const std::string& body)
{
  return "<svg xmlns='http://www.w3.org/2000/svg' width='" + std::to_string(w) + "' height='" + std::to_string(h) +
         "'>" + body + "</svg>";
}

struct Row {
  const char* name;
  float h;
  std::function<IControl*(const IRECT&)> make;
  // Where the pointer rests for the hovered look and presses for the pressed
  // one (the middle of the hit area when empty).
  std::function<void(IControl*, float&, float&)> point;
};

class ControlsGallery : public ControlDrawFixture {
protected:
  void InitParams()
  {
    editor.GetParam(0)->InitDouble("Gain", 6.0, -24.0, 24.0, 0.1, "dB", IParam::kFlagStepped);
    editor.GetParam(1)->InitEnum("Mode", 1, {"Low", "Mid", "High"});
    editor.GetParam(2)->InitDouble("Mix", 50.0, 0.0, 100.0, 0.1, "%");
    editor.GetParam(3)->InitBool("Bypass", false);
  }

  ISVG LoadSvg(const char* name, const std::string& text)
  {
    return g->LoadSVGFromData(name, text.data(), static_cast<int>(text.size()));
  }

  std::vector<Row> Rows()
  {
    const IVStyle st = GalleryStyle();
    IVStyle rounded = st;
    rounded.cornerRoundness = 0.5f;
    const ISVG off = LoadSvg("off", Svg(40, 20,
                                        "<rect x='1' y='1' width='38' height='18' rx='5' fill='#505a64' "
                                        "stroke='#202020' stroke-width='2'/>"));
    const ISVG on = LoadSvg("on", Svg(40, 20,
                                      "<rect x='1' y='1' width='38' height='18' rx='5' fill='#30c060' "
                                      "stroke='#202020' stroke-width='2'/>"));
    const ISVG dial = LoadSvg("dial", Svg(40, 40,
                                          "<circle cx='20' cy='20' r='18' fill='#e0e0e0' stroke='#303030' "
                                          "stroke-width='2'/><rect x='18' y='3' width='4' height='15' "
                                          "fill='#c03030'/>"));
    const ISVG s0 = LoadSvg("s0", Svg(20, 20, "<circle cx='10' cy='10' r='9' fill='#c03030'/>"));
    const ISVG s1 = LoadSvg("s1", Svg(20, 20, "<circle cx='10' cy='10' r='9' fill='#e0c020'/>"));
    const ISVG s2 = LoadSvg("s2", Svg(20, 20, "<circle cx='10' cy='10' r='9' fill='#30c060'/>"));
    const ISVG track = LoadSvg("track", Svg(100, 20,
                                            "<rect x='0' y='6' width='100' height='8' rx='4' "
                                            "fill='#404850'/>"));
    const ISVG handle = LoadSvg("handle", Svg(12, 20,
                                              "<rect x='0' y='0' width='12' height='20' rx='3' "
                                              "fill='#f0f0f0' stroke='#202020' stroke-width='1.5'/>"));
    auto centreOf = [](const IRECT& r, float& x, float& y) {
      x = r.MW();
      y = r.MH();
    };
    return {
      {"Label", 30,
       [=](const IRECT& r) {
         IVStyle s = st;
         s.valueStyle.mVAlign = kVAlignMiddle;
         return new IVLabelControl(r, "Vorelle", s);
       },
       nullptr},
      {"Button", 44,
       [=](const IRECT& r) {
         IVStyle s = st;
         s.labelStyle.mVAlign = kVAlignMiddle;
         return new IVButtonControl(r, nullptr, "Push", s);
       },
       nullptr},
      {"Switch", 54,
       [=](const IRECT& r) {
         IVStyle s = rounded;
         s.labelVisible = false;
         return new IVSwitchControl(r, 1, "", s, true);
       },
       nullptr},
      {"Toggle", 44,
       [=](const IRECT& r) {
         return new IVToggleControl(
           r, [](IControl*) {}, "", rounded, "off", "on", false);
       },
       nullptr},
      {"Slide switch", 34,
       [=](const IRECT& r) {
         IVStyle s = rounded;
         s.labelVisible = false;
         return new IVSlideSwitchControl(
           r, [](IControl*) {}, "", s, true, kHorizontal, 3, 0);
       },
       [](IControl* c, float& x, float& y) {
         const IRECT h = static_cast<IVSlideSwitchControl*>(c)->GetHandleBounds();
         x = h.MW();
         y = h.MH();
       }},
      {"Tabs", 34,
       [=](const IRECT& r) {
         IVStyle s = rounded;
         s.labelVisible = false;
         s.cornerRoundness = 0.6f;
         return new IVTabSwitchControl(
           r, [](IControl*) {}, {"A", "B", "C"}, "", s, kVShapeEndsRounded);
       },
       [=](IControl* c, float& x, float& y) { centreOf(static_cast<IVTabSwitchControl*>(c)->GetTabRects()[1], x, y); }},
      {"Radio buttons", 58,
       [=](const IRECT& r) {
         IVStyle s = st;
         s.labelVisible = false;
         return new IVRadioButtonControl(
           r, [](IControl*) {}, {"One", "Two", "Three"}, "", s, kVShapeEllipse, kVertical, 10.f);
       },
       [=](IControl* c, float& x, float& y) {
         const IRECT t = static_cast<IVTabSwitchControl*>(c)->GetTabRects()[1];
         x = t.L + 15.f;
         y = t.MH();
       }},
      {"Knob", 96, [=](const IRECT& r) { return new IVKnobControl(r, 0, "", st, true); }, nullptr},
      {"Slider", 54,
       [=](const IRECT& r) { return new IVSliderControl(r, 2, "", st, true, kHorizontal, false, 4.0, 8.f, 2.f); },
       [](IControl* c, float& x, float& y) {
         const IRECT h = static_cast<IVSliderControl*>(c)->HandleBounds();
         x = h.MW();
         y = h.MH();
       }},
      {"Range slider", 46,
       [=](const IRECT& r) {
         IVStyle s = st;
         s.labelVisible = false;
         auto* c = new IVRangeSliderControl(r, {-1, -1}, "", s, kHorizontal, 7.f, 2.f);
         c->SetValue(0.25, 0);
         c->SetValue(0.75, 1);
         return c;
       },
       [](IControl* c, float& x, float& y) {
         const IRECT h = static_cast<IVRangeSliderControl*>(c)->GetHandleBounds(1);
         x = h.MW();
         y = h.MH();
       }},
      {"Tracks", 60,
       [=](const IRECT& r) {
         IVStyle s = st;
         s.labelVisible = false;
         auto* c = new IVTrackControlBase(r, "", s, {-1, -1, -1, -1}, 0, kVertical);
         c->SetTrackGap(3.f);
         const double v[] = {0.3, 0.6, 0.9, 0.45};
         for (int i = 0; i < 4; ++i)
           c->SetValue(v[i], i);
         return c;
       },
       [=](IControl* c, float& x, float& y) {
         centreOf(static_cast<IVTrackControlBase*>(c)->GetTrackRects()[2], x, y);
       }},
      {"XY pad", 80,
       [=](const IRECT& r) {
         IVStyle s = st;
         s.labelVisible = false;
         auto* c = new IVXYPadControl(r, {-1, -1}, "", s, 7.f);
         c->SetValue(0.5, 0);
         c->SetValue(0.5, 1);
         return c;
       },
       [](IControl* c, float& x, float& y) {
         const IRECT h = static_cast<IVXYPadControl*>(c)->HandleBounds();
         x = h.MW();
         y = h.MH();
       }},
      {"Plot", 70,
       [=](const IRECT& r) {
         IVStyle s = st;
         s.labelVisible = false;
         return new IVPlotControl(r,
                                  {{IColor(255, 200, 30, 30), [](double x) { return std::sin(x * 2.0 * M_PI); }},
                                   {IColor(255, 30, 30, 200), [](double x) { return 2.0 * x - 1.0; }}},
                                  64, "", s, -1.2f, 1.2f, true);
       },
       nullptr},
      {"Group", 56, [=](const IRECT& r) { return new IVGroupControl(r, "Group", 10.f, rounded); }, nullptr},
      {"Colour swatch", 40,
       [=](const IRECT& r) {
         IVStyle s = st;
         s.labelVisible = false;
         s.colors.SetColor(kExtra2, IColor(255, 230, 160, 40));
         return new IVColorSwatchControl(r, "", nullptr, s, kSwatchRow, {kForeground, kFrame, kExtra2, kExtra3});
       },
       [=](IControl* c, float& x, float& y) {
         centreOf(static_cast<IVColorSwatchControl*>(c)->GetCellRects()[1], x, y);
       }},
      {"SVG button", 30,
       [=](const IRECT& r) {
         return new ISVGButtonControl(
           IRECT(r.MW() - 30, r.T, r.MW() + 30, r.B), [](IControl*) {}, off, on);
       },
       nullptr},
      {"SVG knob", 50,
       [=](const IRECT& r) {
         auto* c = new ISVGKnobControl(IRECT(r.MW() - 25, r.T, r.MW() + 25, r.B), dial);
         c->SetValue(0.75);
         return c;
       },
       nullptr},
      {"SVG switch", 30,
       [=](const IRECT& r) {
         return new ISVGSwitchControl(IRECT(r.MW() - 15, r.T, r.MW() + 15, r.B), {s0, s1, s2});
       },
       nullptr},
      {"SVG slider", 34,
       [=](const IRECT& r) {
         auto* c = new ISVGSliderControl(r, handle, track, -1, kHorizontal);
         c->SetValue(0.6);
         return c;
       },
       [](IControl* c, float& x, float& y) {
         const IRECT h = static_cast<ISVGSliderControl*>(c)->GetHandleBounds();
         x = h.MW();
         y = h.MH();
       }},
    };
  }

  // Builds the gallery; controls[row][look].
  std::vector<std::vector<IControl*>> Build(float scale)
  {
    std::vector<Row> rows;
    float h = kTop;
    Open(static_cast<int>(kNameW + static_cast<float>(kNumLooks) * kCellW), 10, scale);
    rows = Rows();
    for (const Row& r : rows)
      h += r.h + kGap;
    Open(static_cast<int>(kNameW + static_cast<float>(kNumLooks) * kCellW), static_cast<int>(h), scale);
    InstallControlMakers(*g);
    rows = Rows();
    g->AttachPanelBackground(IPattern(kPanel));
    IText header(13.f, COLOR_BLACK, "Roboto-Regular", kAlignCenter, kVAlignMiddle);
    IText name(13.f, COLOR_BLACK, "Roboto-Regular", kAlignNear, kVAlignMiddle);
    for (int k = 0; k < kNumLooks; ++k)
      g->AttachControl(new ITextControl(
        IRECT(kNameW + kCellW * static_cast<float>(k), 4, kNameW + kCellW * static_cast<float>(k + 1), kTop - 4),
        kLookNames[k], header));
    std::vector<std::vector<IControl*>> out;
    float y = kTop;
    for (const Row& row : rows) {
      g->AttachControl(new ITextControl(IRECT(8, y, kNameW - 4, y + row.h), row.name, name));
      std::vector<IControl*> looks;
      for (int k = 0; k < kNumLooks; ++k) {
        const float x0 = kNameW + kCellW * static_cast<float>(k);
        const IRECT cell(x0 + 6, y, x0 + kCellW - 6, y + row.h);
        looks.push_back(g->AttachControl(row.make(cell)));
      }
      // The values the host holds, as the delegate hands them over on opening.
      for (int p = 0; p < editor.NParams(); ++p)
        g->SendParameterValueFromDelegate(p, editor.GetParam(p)->GetNormalized());
      for (int k = 0; k < kNumLooks; ++k) {
        IControl* c = looks[static_cast<std::size_t>(k)];
        float px, py;
        if (row.point)
          row.point(c, px, py);
        else {
          px = c->GetTargetRECT().MW();
          py = c->GetTargetRECT().MH();
        }
        IMouseMod mod;
        mod.L = true;
        if (k == kHovered)
          c->OnMouseOver(px, py, mod);
        else if (k == kPressed) {
          c->OnMouseOver(px, py, mod);
          c->OnMouseDown(px, py, mod);
          // Mid-way through the click's splash.
          if (auto* v = dynamic_cast<IVectorBase*>(c)) {
            v->SetSplashPoint(px, py);
            v->SetSplashRadius(14.f);
          }
        } else if (k == kDisabled)
          c->SetDisabled(true);
      }
      out.push_back(looks);
      y += row.h + kGap;
    }
    return out;
  }

  void ExpectShown(float x, float y, const std::vector<int>& rgb, int tol, const std::string& what)
  {
    const std::vector<int> px = Shown(x, y);
    EXPECT_TRUE(Near(px, rgb, tol)) << what << " at " << x << "," << y << " scale " << mScale << ": " << px[0] << ","
                                    << px[1] << "," << px[2] << " want " << rgb[0] << "," << rgb[1] << "," << rgb[2];
  }
};

// A colour at weight w over the panel.
std::vector<int> Over(const IColor& c, float w)
{
  auto mix = [&](int a, int b) { return static_cast<int>(std::lround(a * w + b * (1.f - w))); };
  return {mix(c.R, kPanel.R), mix(c.G, kPanel.G), mix(c.B, kPanel.B)};
}

TEST_F(ControlsGallery, EveryControlInEveryLookAtBothScales)
{
  InitParams();
  enum {
    kLabel,
    kButton,
    kSwitch,
    kToggle,
    kSlide,
    kTabs,
    kRadio,
    kKnob,
    kSlider,
    kRange,
    kTracks,
    kPad,
    kPlot,
    kGroup,
    kSwatch,
    kSvgButton,
    kSvgKnob,
    kSvgSwitch,
    kSvgSlider
  };
  const std::vector<int> face = {200, 200, 200}, pressed = {240, 240, 240}, dark = {137, 137, 137};
  // The hover overlay (alpha 10 of black) over the face.
  const std::vector<int> hovered = {192, 192, 192};
  for (float scale : {1.f, 2.f}) {
    // Each picture starts from the same parameter values.
    for (int p = 0; p < editor.NParams(); ++p)
      editor.GetParam(p)->SetToDefault();
    auto c = Build(scale);
    DrawFrame();
    WritePicture(scale > 1.f ? "controls-gallery-2x.png" : "controls-gallery-1x.png");

    // Faces of the push button and the toggle in each look.
    const std::vector<int> buttonLooks[] = {face, hovered, pressed, dark};
    for (int k = 0; k < kNumLooks; ++k) {
      const IRECT w = static_cast<IVButtonControl*>(c[kButton][k])->GetWidgetBounds();
      ExpectShown(w.L + 10, w.MH(), buttonLooks[k], 3, std::string("button ") + kLookNames[k]);
    }
    ExpectShown(c[kToggle][kPressed]->GetRECT().L + 12, c[kToggle][kPressed]->GetRECT().T + 8, pressed, 3, "toggle on");
    // The knob's handle, away from its pointer (the pointer is up-right at 6 dB of +-24).
    for (int k = 0; k < kNumLooks; ++k) {
      const IRECT w = static_cast<IVKnobControl*>(c[kKnob][k])->GetWidgetBounds();
      ExpectShown(w.MW() - 8, w.MH() + 8, buttonLooks[k], 3, std::string("knob ") + kLookNames[k]);
    }
    // The slider's filled track in black over the track's shadow, each at a
    // quarter weight while disabled.
    const float shadowThenBlack = 1.f - (1.f - 60.f / 255.f * 0.25f) * 0.75f;
    for (int k : {kNormal, kDisabled}) {
      const auto* s = static_cast<IVSliderControl*>(c[kSlider][k]);
      const IRECT f = s->FilledArea();
      ExpectShown(f.L + f.W() * 0.3f, f.MH(),
                  k == kDisabled ? Over(COLOR_BLACK, shadowThenBlack) : std::vector<int>{0, 0, 0}, 4,
                  std::string("slider fill ") + kLookNames[k]);
    }
    // Tabs: the first selected; the pressed look selects the middle one.
    const auto* tabs = static_cast<IVTabSwitchControl*>(c[kTabs][kNormal]);
    // The switch steps from the host's "Mid" to "High" when pressed, and its
    // peers follow.
    for (int k = 0; k < kNumLooks; ++k)
      EXPECT_STREQ(static_cast<IVSwitchControl*>(c[kSwitch][k])->GetValueStr(), "High");
    ExpectShown(tabs->GetTabRects()[0].L + 8, tabs->GetTabRects()[0].MH() + 6, pressed, 3, "selected tab");
    ExpectShown(tabs->GetTabRects()[2].R - 12, tabs->GetTabRects()[2].MH() + 6, face, 3, "other tab");
    const auto* tabsHover = static_cast<IVTabSwitchControl*>(c[kTabs][kHovered]);
    ExpectShown(tabsHover->GetTabRects()[1].L + 5, tabsHover->GetTabRects()[1].MH() + 6, hovered, 3, "hovered tab");
    const auto* tabsPressed = static_cast<IVTabSwitchControl*>(c[kTabs][kPressed]);
    EXPECT_EQ(tabsPressed->GetSelectedIdx(), 1);
    // The range between the handles in black.
    const auto* range = static_cast<IVRangeSliderControl*>(c[kRange][kNormal]);
    const IRECT t = range->GetTrackRects()[0];
    ExpectShown(t.L + t.W() * 0.5f, t.MH(), {0, 0, 0}, 4, "range span");
    ExpectShown(t.L + t.W() * 0.1f, t.MH() + 0.5f, {kPanel.R, kPanel.G, kPanel.B}, 3, "range track outside the span");
    // Swatch cells show their colours.
    const auto* swatch = static_cast<IVColorSwatchControl*>(c[kSwatch][kNormal]);
    ExpectShown(swatch->GetCellRects()[2].MW(), swatch->GetCellRects()[2].MH(), {230, 160, 40}, 3, "swatch cell");
    // The pad's handle in its middle.
    const std::vector<int> padLooks[] = {face, hovered, pressed, dark};
    for (int k = 0; k < kNumLooks; ++k) {
      const IRECT h = static_cast<IVXYPadControl*>(c[kPad][k])->HandleBounds();
      ExpectShown(h.MW() - 3, h.MH() - 3, padLooks[k], 4, std::string("pad handle ") + kLookNames[k]);
    }
    // SVG button off, then on while pressed; a quarter weight while disabled.
    const IRECT sb = c[kSvgButton][kNormal]->GetRECT();
    const float sbx = sb.L + sb.W() * 0.3f, sby = sb.MH();
    ExpectShown(sbx, sby, {0x50, 0x5a, 0x64}, 3, "svg button off");
    const IRECT sbp = c[kSvgButton][kPressed]->GetRECT();
    ExpectShown(sbp.L + sbp.W() * 0.3f, sbp.MH(), {0x30, 0xc0, 0x60}, 3, "svg button on");
    const IRECT sbd = c[kSvgButton][kDisabled]->GetRECT();
    ExpectShown(sbd.L + sbd.W() * 0.3f, sbd.MH(), Over(IColor(255, 0x50, 0x5a, 0x64), 0.25f), 4, "svg button disabled");
    // The SVG switch steps to its second image when pressed.
    const IRECT sw = c[kSvgSwitch][kPressed]->GetRECT();
    ExpectShown(sw.MW(), sw.MH(), {0xe0, 0xc0, 0x20}, 3, "svg switch second state");
    // The panel between cells.
    ExpectShown(kNameW + kCellW - 2, c[kKnob][0]->GetRECT().MH(), {kPanel.R, kPanel.G, kPanel.B}, 2, "panel");
    g->RemoveAllControls();
  }
}

} // namespace
} // namespace controlstest
