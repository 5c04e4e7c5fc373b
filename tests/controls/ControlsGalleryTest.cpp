// Every vector and SVG control in its normal, hovered, pressed and disabled
// looks, drawn through the real back end into the stand-in GPU at draw
// scales 1 and 2, checked at chosen points and written as pictures
// (controls-gallery-1x.png and controls-gallery-2x.png under the build tree).

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
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

struct Row {
  const char* name;
  float h;
  std::function<IControl*(const IRECT&)> make;
  // Centred on where the pointer rests for the hovered look and presses for
  // the pressed one (the middle of the hit area when empty).
  std::function<IRECT(IControl*)> point;
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

  ISVG LoadSvg(const char* name, int w, int h, const std::string& body)
  {
    const std::string text = "<svg xmlns='http://www.w3.org/2000/svg' width='" + std::to_string(w) + "' height='" +
                             std::to_string(h) + "'>" + body + "</svg>";
    return g->LoadSVGFromData(name, text.data(), static_cast<int>(text.size()));
  }

  std::vector<Row> Rows()
  {
    const IVStyle st = GalleryStyle();
    IVStyle rounded = st, bare = st, roundedBare;
    rounded.cornerRoundness = 0.5f;
    bare.labelVisible = false;
    roundedBare = rounded;
    roundedBare.labelVisible = false;
    const std::string button = "<rect x='1' y='1' width='38' height='18' rx='5' stroke='#202020' stroke-width='2' ";
    const std::string dot = "<circle cx='10' cy='10' r='9' fill=";
    const ISVG off = LoadSvg("off", 40, 20, button + "fill='#505a64'/>");
    const ISVG on = LoadSvg("on", 40, 20, button + "fill='#30c060'/>");
    const ISVG dial = LoadSvg("dial", 40, 40,
                              "<circle cx='20' cy='20' r='18' fill='#e0e0e0' stroke='#303030' stroke-width='2'/>"
                              "<rect x='18' y='3' width='4' height='15' fill='#c03030'/>");
    const ISVG s0 = LoadSvg("s0", 20, 20, dot + "'#c03030'/>");
    const ISVG s1 = LoadSvg("s1", 20, 20, dot + "'#e0c020'/>");
    const ISVG s2 = LoadSvg("s2", 20, 20, dot + "'#30c060'/>");
    const ISVG track = LoadSvg("track", 100, 20, "<rect x='0' y='6' width='100' height='8' rx='4' fill='#404850'/>");
    const ISVG handle = LoadSvg("handle", 12, 20,
                                "<rect x='0' y='0' width='12' height='20' rx='3' fill='#f0f0f0' stroke='#202020' "
                                "stroke-width='1.5'/>");
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
      {"Switch", 54, [=](const IRECT& r) { return new IVSwitchControl(r, 1, "", roundedBare, true); }, nullptr},
      {"Toggle", 44,
       [=](const IRECT& r) {
         return new IVToggleControl(
           r, [](IControl*) {}, "", rounded, "off", "on", false);
       },
       nullptr},
      {"Slide switch", 34,
       [=](const IRECT& r) {
         return new IVSlideSwitchControl(
           r, [](IControl*) {}, "", roundedBare, true, kHorizontal, 3, 0);
       },
       [](IControl* c) { return static_cast<IVSlideSwitchControl*>(c)->GetHandleBounds(); }},
      {"Tabs", 34,
       [=](const IRECT& r) {
         IVStyle s = roundedBare;
         s.cornerRoundness = 0.6f;
         return new IVTabSwitchControl(
           r, [](IControl*) {}, {"A", "B", "C"}, "", s, kVShapeEndsRounded);
       },
       [](IControl* c) { return static_cast<IVTabSwitchControl*>(c)->GetTabRects()[1]; }},
      {"Radio buttons", 58,
       [=](const IRECT& r) {
         return new IVRadioButtonControl(
           r, [](IControl*) {}, {"One", "Two", "Three"}, "", bare, kVShapeEllipse, kVertical, 10.f);
       },
       [](IControl* c) {
         const IRECT t = static_cast<IVTabSwitchControl*>(c)->GetTabRects()[1];
         return IRECT(t.L + 15.f, t.MH(), t.L + 15.f, t.MH());
       }},
      {"Knob", 96, [=](const IRECT& r) { return new IVKnobControl(r, 0, "", st, true); }, nullptr},
      {"Slider", 54,
       [=](const IRECT& r) { return new IVSliderControl(r, 2, "", st, true, kHorizontal, false, 4.0, 8.f, 2.f); },
       [](IControl* c) { return static_cast<IVSliderControl*>(c)->HandleBounds(); }},
      {"Range slider", 46,
       [=](const IRECT& r) {
         auto* c = new IVRangeSliderControl(r, {-1, -1}, "", bare, kHorizontal, 7.f, 2.f);
         c->SetValue(0.25, 0);
         c->SetValue(0.75, 1);
         return c;
       },
       [](IControl* c) { return static_cast<IVRangeSliderControl*>(c)->GetHandleBounds(1); }},
      {"Tracks", 60,
       [=](const IRECT& r) {
         auto* c = new IVTrackControlBase(r, "", bare, {-1, -1, -1, -1}, 0, kVertical);
         c->SetTrackGap(3.f);
         const double v[] = {0.3, 0.6, 0.9, 0.45};
         for (int i = 0; i < 4; ++i)
           c->SetValue(v[i], i);
         return c;
       },
       [](IControl* c) { return static_cast<IVTrackControlBase*>(c)->GetTrackRects()[2]; }},
      {"XY pad", 80,
       [=](const IRECT& r) {
         auto* c = new IVXYPadControl(r, {-1, -1}, "", bare, 7.f);
         c->SetValue(0.5, 0);
         c->SetValue(0.5, 1);
         return c;
       },
       [](IControl* c) { return static_cast<IVXYPadControl*>(c)->HandleBounds(); }},
      {"Plot", 70,
       [=](const IRECT& r) {
         return new IVPlotControl(r,
                                  {{IColor(255, 200, 30, 30), [](double x) { return std::sin(x * 2.0 * M_PI); }},
                                   {IColor(255, 30, 30, 200), [](double x) { return 2.0 * x - 1.0; }}},
                                  64, "", bare, -1.2f, 1.2f, true);
       },
       nullptr},
      {"Group", 56, [=](const IRECT& r) { return new IVGroupControl(r, "Group", 10.f, rounded); }, nullptr},
      {"Colour swatch", 40,
       [=](const IRECT& r) {
         IVStyle s = bare;
         s.colors.SetColor(kExtra2, IColor(255, 230, 160, 40));
         return new IVColorSwatchControl(r, "", nullptr, s, kSwatchRow, {kForeground, kFrame, kExtra2, kExtra3});
       },
       [](IControl* c) { return static_cast<IVColorSwatchControl*>(c)->GetCellRects()[1]; }},
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
       [](IControl* c) { return static_cast<ISVGSliderControl*>(c)->GetHandleBounds(); }},
    };
  }

  // Builds the gallery; controls[row name][look].
  std::map<std::string, std::vector<IControl*>> Build(float scale)
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
    std::map<std::string, std::vector<IControl*>> out;
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
        const IRECT at = row.point ? row.point(c) : c->GetTargetRECT();
        const float px = at.MW(), py = at.MH();
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
      out[row.name] = looks;
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
  const std::vector<int> face = {200, 200, 200}, pressed = {240, 240, 240}, dark = {137, 137, 137};
  // The hover overlay (alpha 10 of black) over the face.
  const std::vector<int> hovered = {192, 192, 192}, panel = {kPanel.R, kPanel.G, kPanel.B};
  const std::vector<int> looks[] = {face, hovered, pressed, dark};
  const IColor svgOff(255, 0x50, 0x5a, 0x64);
  for (float scale : {1.f, 2.f}) {
    // Each picture starts from the same parameter values.
    for (int p = 0; p < editor.NParams(); ++p)
      editor.GetParam(p)->SetToDefault();
    auto c = Build(scale);
    DrawFrame();
    WritePicture(scale > 1.f ? "controls-gallery-2x.png" : "controls-gallery-1x.png");

    for (int k = 0; k < kNumLooks; ++k) {
      const std::string look = kLookNames[k];
      // The faces of the push button, the knob's handle away from its pointer
      // (up-right at 6 dB of +-24) and the pad's handle in its middle.
      const IRECT b = static_cast<IVButtonControl*>(c["Button"][k])->GetWidgetBounds();
      ExpectShown(b.L + 10, b.MH(), looks[k], 3, "button " + look);
      const IRECT n = static_cast<IVKnobControl*>(c["Knob"][k])->GetWidgetBounds();
      ExpectShown(n.MW() - 8, n.MH() + 8, looks[k], 3, "knob " + look);
      const IRECT h = static_cast<IVXYPadControl*>(c["XY pad"][k])->HandleBounds();
      ExpectShown(h.MW() - 3, h.MH() - 3, looks[k], 4, "pad handle " + look);
      // The switch steps from the host's "Mid" to "High" when pressed, and
      // its peers follow.
      EXPECT_STREQ(static_cast<IVSwitchControl*>(c["Switch"][k])->GetValueStr(), "High") << look;
    }
    const IRECT toggle = c["Toggle"][kPressed]->GetRECT();
    ExpectShown(toggle.L + 12, toggle.T + 8, pressed, 3, "toggle on");
    // The slider's filled track in black over the track's shadow, each at a
    // quarter weight while disabled.
    const float shadowThenBlack = 1.f - (1.f - 60.f / 255.f * 0.25f) * 0.75f;
    for (int k : {kNormal, kDisabled}) {
      const IRECT f = static_cast<IVSliderControl*>(c["Slider"][k])->FilledArea();
      ExpectShown(f.L + f.W() * 0.3f, f.MH(),
                  k == kDisabled ? Over(COLOR_BLACK, shadowThenBlack) : std::vector<int>{0, 0, 0}, 4,
                  std::string("slider fill ") + kLookNames[k]);
    }
    // Tabs: the first selected; the pressed look selects the middle one.
    const auto tab = [&](int look, int i) {
      return static_cast<IVTabSwitchControl*>(c["Tabs"][look])->GetTabRects()[static_cast<std::size_t>(i)];
    };
    ExpectShown(tab(kNormal, 0).L + 8, tab(kNormal, 0).MH() + 6, pressed, 3, "selected tab");
    ExpectShown(tab(kNormal, 2).R - 12, tab(kNormal, 2).MH() + 6, face, 3, "other tab");
    ExpectShown(tab(kHovered, 1).L + 5, tab(kHovered, 1).MH() + 6, hovered, 3, "hovered tab");
    EXPECT_EQ(static_cast<IVTabSwitchControl*>(c["Tabs"][kPressed])->GetSelectedIdx(), 1);
    // The range between the handles in black.
    const IRECT t = static_cast<IVRangeSliderControl*>(c["Range slider"][kNormal])->GetTrackRects()[0];
    ExpectShown(t.L + t.W() * 0.5f, t.MH(), {0, 0, 0}, 4, "range span");
    ExpectShown(t.L + t.W() * 0.1f, t.MH() + 0.5f, panel, 3, "range track outside the span");
    const IRECT cell = static_cast<IVColorSwatchControl*>(c["Colour swatch"][kNormal])->GetCellRects()[2];
    ExpectShown(cell.MW(), cell.MH(), {230, 160, 40}, 3, "swatch cell");
    // SVG button off, then on while pressed; a quarter weight while disabled.
    const struct {
      int look;
      std::vector<int> rgb;
    } svgButton[] = {{kNormal, Over(svgOff, 1.f)}, {kPressed, {0x30, 0xc0, 0x60}}, {kDisabled, Over(svgOff, 0.25f)}};
    for (const auto& s : svgButton) {
      const IRECT r = c["SVG button"][s.look]->GetRECT();
      ExpectShown(r.L + r.W() * 0.3f, r.MH(), s.rgb, 4, std::string("svg button ") + kLookNames[s.look]);
    }
    // The SVG switch steps to its second image when pressed.
    const IRECT sw = c["SVG switch"][kPressed]->GetRECT();
    ExpectShown(sw.MW(), sw.MH(), {0xe0, 0xc0, 0x20}, 3, "svg switch second state");
    ExpectShown(kNameW + kCellW - 2, c["Knob"][0]->GetRECT().MH(), panel, 2, "panel between cells");
    g->RemoveAllControls();
  }
}

} // namespace
} // namespace controlstest
