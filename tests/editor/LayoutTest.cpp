// The editor layout on the real plug-in: every control where the layout
// puts it with its parameter, tooltip and stored position, the fonts and
// pictures from the bundle, the "controls attached" flag across closing and
// reopening, and a context that cannot draw.

#include <algorithm>
#include <set>

#include "IBControlsZV.h"
#include "IBInfoMenuZV.h"
#include "IBitmapControl.h"
#include "IVHiddenControlsZV.h"
#include "IVTextControlZV.h"
#include "LayoutFixture.h"

namespace layouttest {
namespace {

using L = IEditorPlugLinks;

class EditorLayout : public LayoutFixture {};

std::string PictureOf(const IControl* c)
{
  auto* b = dynamic_cast<const IBitmapBase*>(c);
  return b && b->GetBitmap().IsValid() ? b->GetBitmap().GetResourceName() : "";
}

TEST_F(EditorLayout, EveryControlSitsWhereTheLayoutPutsItAndEveryStoredPositionAddressesIt)
{
  LaidOutPlug plug;
  BundleGraphics* g = plug.Open();
  ASSERT_NE(g, nullptr);
  ASSERT_TRUE(plug.ControlsAttached());
  // Twenty-four rows, the resizer outside the list.
  ASSERT_EQ(g->NControls(), 23);

  const int none = -1;
  struct Row {
    int which;  // a stored position, or none
    int param;  // else the parameter the control shows
    IRECT rect; // the placement rule worked out from the strips' frame sizes
    const char* tooltip;
    const char* picture; // nullptr: not checked
  };
  const Row rows[] = {
    {L::kCtrlUpdate, none, IRECT(612, 18, 632, 38), "Click to check for updates", "iconupdateavailable.png"},
    {L::kCtrlCustomStyle, none, IRECT(238, 447, 528, 462), "Custom reference file name", ""},
    {L::kCtrlCaptureLED, none, IRECT(80, 186, 96, 202), "Capture status", "led_3.png"},
    {L::kCtrlClipLED, none, IRECT(490, 186, 506, 202), "Clip status", "led_clip.png"},
    {L::kCtrlPeakText, none, IRECT(478, 355, 539, 390), "", ""},
    {L::kCtrlTuneBox, none, IRECT(189, 44, 461, 168), "", "tune_box.png"},
    {L::kCtrlNeedle, none, IRECT(189, 44, 461, 168), "", "tune_needle.png"},
    {L::kCtrlLoadFingerprint, none, IRECT(84, 370, 112, 398), "Load fingerprint or wave/aiff file", ""},
    {L::kCtrlSaveFingerprint, none, IRECT(162, 370, 190, 398), "Save fingerprint", ""},
    {L::kCtrlLoadReference, none, IRECT(250, 370, 278, 398), "Load reference or wave/aiff file", ""},
    {L::kCtrlSaveReference, none, IRECT(328, 370, 356, 398), "Save finger print as reference file", ""},
    {none, kActivityState, IRECT(66, 229, 304, 259), "Activity state", nullptr},
    {none, kReferenceMode, IRECT(319, 219, 403, 303), "Reference mode", nullptr},
    {none, kADMode, IRECT(198, 180, 302, 206), "AD mode", nullptr},
    {none, kMix, IRECT(429, 227, 497, 295), "Mix", nullptr},
    {none, kGain, IRECT(523, 227, 591, 295), "Gain", nullptr},
    {none, kResetPeakMax, IRECT(478, 355, 539, 390), "Max. peak, click to reset", nullptr},
    {none, kMatchPeakMax, IRECT(401, 356, 469, 390), "Match gain to max peak", nullptr},
  };
  std::set<int> seen;
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "position " << row.which << " parameter " << row.param);
    int idx = none;
    if (row.which != none) {
      idx = plug.Index(static_cast<L::EControl>(row.which));
      ASSERT_GE(idx, 0);
      EXPECT_TRUE(seen.insert(idx).second) << "two members share position " << idx;
    } else {
      for (int i = 0; i < g->NControls(); ++i)
        if (g->GetControl(i)->GetParamIdx(0) == row.param && g->GetControl(i)->GetRECT().W() > 0)
          idx = i;
    }
    IControl* c = g->GetControl(idx);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetRECT(), row.rect);
    EXPECT_STREQ(c->GetTooltip(), row.tooltip);
    if (row.picture) {
      EXPECT_EQ(PictureOf(c), row.picture);
    }
  }
  EXPECT_NE(dynamic_cast<IEditorTextSink*>(g->GetControl(plug.Index(L::kCtrlPeakText))), nullptr);
  auto* label = dynamic_cast<ITextControl*>(g->GetControl(plug.Index(L::kCtrlCustomStyle)));
  ASSERT_NE(label, nullptr);
  EXPECT_STREQ(label->GetStr(), "Custom Style: (None)");
  // Idle shows the middle of the box's three frames.
  EXPECT_DOUBLE_EQ(g->GetControl(plug.Index(L::kCtrlTuneBox))->GetValue(0), 0.5);
  EXPECT_NE(dynamic_cast<IEditorPathSource*>(g->GetControl(plug.Index(L::kCtrlSaveReference))), nullptr);
  // The file selectors are last, in message order.
  EXPECT_EQ(plug.Index(L::kCtrlSaveReference), g->NControls() - 1);
  EXPECT_EQ(plug.Index(L::kCtrlLoadFingerprint), g->NControls() - 4);
  // Three invisible links without an area: GUI scale, tooltips, update check.
  std::vector<int> hidden;
  for (int i = 0; i < g->NControls(); ++i)
    if (dynamic_cast<IVParameterControlHiddenZV*>(g->GetControl(i)))
      hidden.push_back(g->GetControl(i)->GetParamIdx(0));
  EXPECT_EQ(hidden, (std::vector<int>{kGUIScale, kTooltips, kOnlineUpdateCheck}));
  // The plug-in menu answers to tag 1.
  EXPECT_NE(dynamic_cast<IBInfoMenuZV*>(g->GetControlWithTag(1)), nullptr);
  EXPECT_STREQ(g->GetControlWithTag(1)->GetTooltip(), "Plugin info and options");
  // A second layout on the same context changes nothing.
  const int needle = plug.Index(L::kCtrlNeedle);
  plug.LayoutUI(g);
  EXPECT_EQ(g->NControls(), 23);
  EXPECT_EQ(plug.Index(L::kCtrlNeedle), needle);
  plug.Close();
}

TEST_F(EditorLayout, FileSelectorsAskForTheirOwnFilesInTheDataFolderAndSendTheirOwnMessages)
{
  LaidOutPlug plug;
  plug.SetFingerprintValid(true); // else there is nothing to save: the save buttons hide
  BundleGraphics* g = plug.Open();
  ASSERT_NE(g, nullptr);
  const std::string folder = plug.EditorDataFolder();
  ASSERT_FALSE(folder.empty());
  const struct Row {
    int which;
    int action; // 0 open, 1 save
    const char* extensions;
    int message;
  } rows[] = {
    {L::kCtrlLoadFingerprint, 0, "vrl wav aiff", 23},
    {L::kCtrlSaveFingerprint, 1, "vrl", 24},
    {L::kCtrlLoadReference, 0, "ref wav aiff", 25},
    {L::kCtrlSaveReference, 1, "ref", 26},
  };
  for (const Row& r : rows) {
    const IRECT area = g->GetControl(plug.Index(static_cast<L::EControl>(r.which)))->GetRECT();
    g->mPrompts.clear();
    plug.mMessages.clear();
    // A press in the middle of the button painted under it.
    IMouseInfo i;
    i.x = area.MW();
    i.y = area.MH();
    i.ms.L = true;
    g->OnMouseDown({i});
    g->OnMouseUp({i});
    EXPECT_EQ(g->mPrompts, std::vector<std::string>{testsupport::Fmt("prompt %g in ", r.action) + folder + " for " + r.extensions})
      << r.message;
    EXPECT_EQ(plug.mMessages, std::vector<int>{r.message}); // also after the cancel
  }
  plug.Close();
}

TEST_F(EditorLayout, TextStylesAndTheADSwitchWithoutAHoverHighlight)
{
  LaidOutPlug plug;
  BundleGraphics* g = plug.Open();
  ASSERT_NE(g, nullptr);
  const auto linkedTo = [g](int param) -> IControl* {
    for (int i = 0; i < g->NControls(); ++i)
      if (g->GetControl(i)->GetParamIdx(0) == param && g->GetControl(i)->GetRECT().W() > 0)
        return g->GetControl(i);
    return nullptr;
  };
  const IColor black(255, 0, 0, 0), white(255, 255, 255, 255);
  const struct Row {
    const char* what;
    const IControl* control;
    const char* font;
    float size;
    IColor fg;
    EAlign align;
    EVAlign valign;
  } rows[] = {
    {"menu", g->GetPopupMenuControl(), "Roboto-Regular", 19, black, kAlignCenter, kVAlignTop},
    {"reference knob", linkedTo(kReferenceMode), "Roboto-Regular", 14, black, kAlignCenter, kVAlignMiddle},
    {"mix", linkedTo(kMix), "Verdana Bold", 15, white, kAlignCenter, kVAlignMiddle},
    {"gain", linkedTo(kGain), "Verdana Bold", 15, white, kAlignCenter, kVAlignMiddle},
    {"style label", g->GetControl(plug.Index(L::kCtrlCustomStyle)), "Verdana Bold", 14, IColor(255, 125, 124, 123),
     kAlignNear, kVAlignMiddle},
    {"peak", g->GetControl(plug.Index(L::kCtrlPeakText)), "Verdana Bold", 16, IColor(255, 101, 97, 86),
     kAlignCenter, kVAlignMiddle},
  };
  for (const Row& r : rows) {
    ASSERT_NE(r.control, nullptr) << r.what;
    const IText& t = r.control->GetText();
    EXPECT_STREQ(t.mFont, r.font) << r.what;
    EXPECT_EQ(t.mSize, r.size) << r.what;
    EXPECT_EQ(t.mFGColor, r.fg) << r.what;
    EXPECT_EQ(t.mAlign, r.align) << r.what;
    EXPECT_EQ(t.mVAlign, r.valign) << r.what;
    EXPECT_EQ(t.mTextEntryBGColor, white) << r.what;
    EXPECT_EQ(t.mTextEntryFGColor, black) << r.what;
  }

  // The "AD mode" switch under the mouse draws its picture and nothing else.
  auto* ad = dynamic_cast<IBSwitchControlZV*>(linkedTo(kADMode));
  ASSERT_NE(ad, nullptr);
  g->OnMouseOver(ad->GetRECT().MW(), ad->GetRECT().MH(), IMouseMod());
  EXPECT_TRUE(ad->GetMouseOver());
  g->TakeLog();
  ad->Draw(*g);
  EXPECT_EQ(g->TakeLog(), std::vector<std::string>{"DrawBitmap ad_but.png " + testsupport::RectStr(ad->GetRECT()) + " src 0,0"});
  plug.Close();
}

TEST_F(EditorLayout, FontsScaleLimitsAndEveryPictureLoadOnce)
{
  LaidOutPlug plug;
  BundleGraphics* g = plug.Open();
  ASSERT_NE(g, nullptr);
  std::vector<std::string> fonts, pictures;
  for (const std::string& line : g->TakeLog()) {
    if (line.rfind("LoadPlatformFont ", 0) == 0)
      fonts.push_back(line.substr(17));
    if (line.rfind("LoadAPIBitmap 1 ", 0) == 0)
      pictures.push_back(line.substr(line.rfind('/') + 1));
  }
  EXPECT_EQ(fonts, (std::vector<std::string>{"Roboto-Regular Roboto-Regular.ttf", "Verdana Normal verdana.ttf",
                                             "Verdana Bold verdanab.ttf"}));
  // Fifteen files (the small knob's strip serves both knobs), each decoded once.
  std::sort(pictures.begin(), pictures.end());
  EXPECT_EQ(pictures.size(), 15u);
  EXPECT_EQ(std::adjacent_find(pictures.begin(), pictures.end()), pictures.end());
  EXPECT_EQ(g->mBitmapLoads, 15);
  EXPECT_FLOAT_EQ(g->GetMinScale(), 0.5f);
  EXPECT_FLOAT_EQ(g->GetMaxScale(), 3.f);
  ASSERT_NE(g->GetCornerResizer(), nullptr);
  EXPECT_EQ(PictureOf(g->GetCornerResizer()), "button_resize.png");
  plug.Close();
}

// A context that cannot draw switches the editor off; missing pictures and
// fonts still attach every control.
TEST_F(EditorLayout, OnlyAContextThatCannotDrawKeepsTheControlsOut)
{
  const struct Row {
    const char* name;
    bool ready;
    const char* bundle;
    int controls;
  } rows[] = {{"context cannot draw", false, editorlayout::kBundleID, 0},
              {"no pictures or fonts", true, "com.example.nothing", 23}};
  for (const Row& r : rows) {
    LaidOutPlug plug;
    plug.SetMakeGraphicsFunc([&r](IGEditorDelegate& d) -> IEditorGraphics* {
      auto* g = new BundleGraphics(d, 650, 470);
      g->mBundleID = r.bundle;
      g->mReady = r.ready;
      return g;
    });
    BundleGraphics* g = plug.Open();
    ASSERT_NE(g, nullptr) << r.name;
    EXPECT_EQ(g->NControls(), r.controls) << r.name;
    EXPECT_EQ(plug.HasUI(), r.ready) << r.name;
    EXPECT_EQ(plug.ControlsAttached(), r.ready) << r.name;
    if (r.ready) {
      EXPECT_EQ(PictureOf(g->GetControl(plug.Index(L::kCtrlNeedle))), "") << r.name;
    }
    plug.Close();
  }
}

// Closing clears the flag, so the idle handler stops writing through the
// old positions; reopening shows the present state at once.
TEST_F(EditorLayout, ReopenedEditorShowsThePresentStateWithoutWaitingForAMeterPeriod)
{
  LaidOutPlug plug;
  ASSERT_NE(plug.Open(), nullptr);
  EXPECT_TRUE(plug.ControlsAttached());
  plug.Close();
  EXPECT_FALSE(plug.ControlsAttached());
  plug.OnIdle(); // nothing to write into

  plug.SetFingerprintValid(true);
  plug.SetParameterValue(kReferenceMode, 0.75, true); // mode 3 of 0..4
  BundleGraphics* g = plug.Open();
  ASSERT_NE(g, nullptr);
  EXPECT_DOUBLE_EQ(g->GetControl(plug.Index(L::kCtrlCaptureLED))->GetValue(0), 1.0);
  EXPECT_DOUBLE_EQ(g->GetControl(plug.Index(L::kCtrlNeedle))->GetValue(0), 0.75);
  plug.Close();
}

// A frame that follows a new peak redraws the read-out and nothing else.
TEST_F(EditorLayout, ANewPeakDirtiesOnlyTheReadOutsRectangle)
{
  LaidOutPlug plug;
  BundleGraphics* g = plug.Open();
  ASSERT_NE(g, nullptr);
  IRECTList first;
  g->IsDirty(first);
  g->SetAllControlsClean();
  IRECTList none;
  EXPECT_FALSE(g->IsDirty(none));

  auto* peak = dynamic_cast<IEditorTextSink*>(g->GetControl(plug.Index(L::kCtrlPeakText)));
  ASSERT_NE(peak, nullptr);
  peak->SetStr("-6.0");
  IRECTList rects;
  ASSERT_TRUE(g->IsDirty(rects));
  ASSERT_EQ(rects.Size(), 1);
  EXPECT_TRUE(rects.Get(0).Contains(IRECT(478, 355, 539, 390)));
  EXPECT_LT(rects.Get(0).W(), 61.f + 4.f);
  plug.Close();
}

} // namespace
} // namespace layouttest
