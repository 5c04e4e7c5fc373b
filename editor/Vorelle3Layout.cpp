#include "Vorelle3Layout.h"

#include <algorithm>

#include "EditorLayout.h"
#include "IBControlsZV.h"
#include "IBCornerResizerControlZV.h"
#include "IBInfoMenuZV.h"
#include "IBKnobMultiControlZV.h"
#include "IBRadioButtonsControl3.h"
#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IVFileSelectorControlHiddenZV.h"
#include "IVHiddenControlsZV.h"
#include "IVTextControlZV.h"
#include "PluginPaths.h"
#include "UT_String.h"
#include "Vorelle3EditorLinks.h"

namespace plugin::igraphics {

namespace {

namespace L = editorlayout;

// Parameters and messages of the plug-in the editor drives.
enum {
  kParamGUIScale = 0,
  kParamTooltips = 1,
  kParamActivity = 2,
  kParamReference = 3,
  kParamADMode = 4,
  kParamGain = 5,
  kParamMix = 6,
  kParamResetPeak = 7,
  kParamMatchPeak = 8,
  kParamUpdateCheck = 9
};
enum {
  kMsgAbout = 11,
  kMsgCheckUpdate = 12,
  kMsgSaveDefault = 16,
  kMsgScaleRescale = 20,
  kMsgScaleReset = 21,
  kMsgMinScale = 22,
  kMsgLoadFingerprint = 23,
  kMsgSaveFingerprint = 24,
  kMsgLoadReference = 25,
  kMsgSaveReference = 26
};
enum { kTagPluginMenu = 1 };
enum { kPromptOpen = 0, kPromptSave = 1 };

constexpr const char* kMakerSite = "https://www.zelvant.com";
// Beside the shared documents, where the installer puts it for every user.
constexpr const char* kManualSubPath = "/Vorelle3/Vorelle3 manual.pdf";

const IColor kBlack(255, 0, 0, 0);
const IColor kWhite(255, 255, 255, 255);

IText Style(float size, const IColor& fg, const char* font, EAlign align, EVAlign valign)
{
  return IText(size, fg, font, align, valign, 0.f, kWhite, kBlack);
}

IRECT ToIRECT(const L::Rect& r) { return IRECT(float(r.l), float(r.t), float(r.r), float(r.b)); }

IBitmap Load(IGraphics& g, const L::Strip& s)
{
  UT_String file(s.stem);
  file.Append(".png");
  return g.LoadBitmap(file.Get(), s.frames, false, 0);
}

// Attaches c and returns its list position (the last one).
int Attach(IGraphics& g, IControl* c, const char* tooltip = nullptr)
{
  g.AttachControl(c, -1, "");
  if (tooltip)
    c->SetTooltip(tooltip);
  return g.NControls() - 1;
}

IBKnobMultiControlZV* Knob(const L::Point& at, int param, const IBitmap& strip, const IText& text, const IColor& box,
                           bool prompt)
{
  return new IBKnobMultiControlZV(at.x, at.y, param, strip, text, box, 4, kVertical, !prompt, prompt, prompt, 1, false,
                                  true, 4.0, 0.f);
}

IBInfoMenuZV::Config PluginMenuConfig(IEditorPlugLinks& plug)
{
  IBInfoMenuZV::Config c;
  UT_String changelog;
  changelog.SetFormatted(1024, "%s", kMakerSite);
  changelog.AppendFormatted(1024, L::kChangelogPathFormat, L::kChangelogProduct);
  c.changelogURL = changelog.Get();
  c.dataFolderPath = plug.EditorDataFolder();
  UT_String manual;
  SharedDocumentsPath(manual);
  manual.AppendFormatted(4096, "%s", kManualSubPath);
  c.manualPath = manual.Get();
  c.aboutTag = kMsgAbout;
  c.updateCheckTag = kMsgCheckUpdate;
  c.tooltipsParam = kParamTooltips;
  c.autoUpdateParam = kParamUpdateCheck;
  c.enumParam = -1;
  c.resetGUISizeTag = -1;
  c.resetGUIScaleTag = kMsgScaleReset;
  c.minGUIScaleTag = kMsgMinScale;
  c.extraTags = {kMsgSaveDefault};
  c.extraTexts = {"Save to default"};
  for (int i = 0; IParam* p = plug.EditorOnlyParam(i); ++i) {
    c.editorParams.push_back(p);
    // "Fixed GUI Scale" changes "GUI scale" for the host.
    c.editorParamHostParams.push_back(kParamGUIScale);
  }
  c.editorParamBase = plug.EditorOnlyParamBaseTag();
  return c;
}

} // namespace

void LayoutVorelle3Editor(IGraphics& g, IEditorPlugLinks& plug)
{
  if (!g.IsContextReady()) {
    plug.EditorUnavailable();
    return;
  }
  if (g.NControls() > 0)
    return;

  for (int i = 0; i < 3; ++i)
    g.LoadFont(L::kFontNames[i], L::kFontFiles[i]);

  const IText menuText = Style(19, kBlack, "Roboto-Regular", kAlignCenter, kVAlignTop);
  const IText referenceText = Style(14, kBlack, "Roboto-Regular", kAlignCenter, kVAlignMiddle);
  const IText valueText = Style(15, kWhite, "Verdana Bold", kAlignCenter, kVAlignMiddle);
  const IText labelText = Style(14, IColor(255, 125, 124, 123), "Verdana Bold", kAlignNear, kVAlignMiddle);
  const IText peakText = Style(16, IColor(255, 101, 97, 86), "Verdana Bold", kAlignCenter, kVAlignMiddle);

  g.AttachTextEntryControl();
  g.AttachPopupMenuControl(menuText, IRECT(0, 0, 0, 0));
  g.EnableMouseOver(true);
  g.EnableMultiTouch(false);

  Attach(g, new IVParameterControlHiddenZV(kParamGUIScale));
  Attach(g, new IVParameterControlHiddenZV(kParamTooltips));
  Attach(g, new IVParameterControlHiddenZV(kParamUpdateCheck));

  g.AttachCornerResizer(
    new IBCornerResizerControlZV(Load(g, L::kResizeStrip), -1, -1, kMsgScaleRescale, kMsgScaleReset, g.GetBounds()), 0,
    true);
  if (const IParam* scale = g.GetDelegate() ? g.GetDelegate()->GetParam(kParamGUIScale) : nullptr) {
    double lo, hi;
    scale->GetBounds(lo, hi);
    g.SetScaleLimits(float(std::min(lo, hi)), float(std::max(lo, hi)));
  }

  Attach(g, new IBBitmapControlZV(0, 0, Load(g, L::kBackground)));
  {
    auto* menu = new IBInfoMenuZV(float(L::kPluginMenu.x), float(L::kPluginMenu.y), Load(g, L::kPluginMenuStrip),
                                  PluginMenuConfig(plug));
    g.AttachControl(menu, kTagPluginMenu, "");
    menu->SetTooltip("Plugin info and options");
  }
  plug.SetLinkedControl(
    IEditorPlugLinks::kCtrlUpdate,
    Attach(g, new IBUpdateControlZV(L::kUpdate.x, L::kUpdate.y, Load(g, L::kUpdateStrip), kMsgCheckUpdate)));
  {
    IBitmap b[3];
    IRECT r[3];
    IRECT bounds;
    for (int i = 0; i < 3; ++i) {
      b[i] = Load(g, L::kActivityStrips[i]);
      r[i] = FrameAt(b[i], float(L::kActivity[i].x), float(L::kActivity[i].y));
    }
    bounds = IRECT(r[0].L, r[0].T, std::max({r[0].R, r[1].R, r[2].R}), std::max({r[0].B, r[1].B, r[2].B}));
    Attach(g, new IBRadioButtonsControl3(kParamActivity, r[0], b[0], r[1], b[1], r[2], b[2], false, bounds),
           "Activity state");
  }
  Attach(g, Knob(L::kReferenceKnob, kParamReference, Load(g, L::kReferenceKnobStrip), referenceText, kBlack, false),
         "Reference mode");
  {
    auto* ad = new IBSwitchControlZV(float(L::kADSwitch.x), float(L::kADSwitch.y), Load(g, L::kADStrip), kParamADMode);
    ad->SetShowBitmap(true);
    ad->SetHoverHighlight(false);
    ad->SetHighlightColor(IColor(16, 255, 255, 255));
    Attach(g, ad, "AD mode");
  }
  const IBitmap small = Load(g, L::kSmallKnobStrip);
  const IColor valueBox(191, 36, 36, 36);
  Attach(g, Knob(L::kMixKnob, kParamMix, small, valueText, valueBox, true), "Mix");
  Attach(g, Knob(L::kGainKnob, kParamGain, small, valueText, valueBox, true), "Gain");

  {
    UT_String label("Custom Style: ");
    label.Append(plug.EditorCustomRefName().c_str());
    plug.SetLinkedControl(
      IEditorPlugLinks::kCtrlCustomStyle,
      Attach(g, new IVTextControlZV(ToIRECT(L::kCustomStyle), label.Get(), labelText, COLOR_TRANSPARENT, false),
             "Custom reference file name"));
  }
  plug.SetLinkedControl(IEditorPlugLinks::kCtrlCaptureLED,
                        Attach(g,
                               new IBBitmapControlZV(L::kCaptureLED.x, L::kCaptureLED.y, Load(g, L::kCaptureLEDStrip)),
                               "Capture status"));
  plug.SetLinkedControl(
    IEditorPlugLinks::kCtrlClipLED,
    Attach(g, new IBBitmapControlZV(L::kClipLED.x, L::kClipLED.y, Load(g, L::kClipLEDStrip)), "Clip status"));
  plug.SetLinkedControl(
    IEditorPlugLinks::kCtrlPeakText,
    Attach(g, new IVTextControlZV(ToIRECT(L::kPeak), "-144.0", peakText, COLOR_TRANSPARENT, false)));
  Attach(g, new IBPushControlHiddenZV(ToIRECT(L::kPeak), kParamResetPeak), "Max. peak, click to reset");
  Attach(g, new IBPushControlZV(float(L::kMatch.x), float(L::kMatch.y), Load(g, L::kMatchStrip), kParamMatchPeak),
         "Match gain to max peak");
  plug.SetLinkedControl(IEditorPlugLinks::kCtrlTuneBox,
                        Attach(g, new IBBitmapControlZV(L::kTuneBox.x, L::kTuneBox.y, Load(g, L::kTuneBoxStrip))));
  plug.SetLinkedControl(IEditorPlugLinks::kCtrlNeedle,
                        Attach(g, new IBBitmapControlZV(L::kTuneBox.x, L::kTuneBox.y, Load(g, L::kNeedleStrip))));

  const char* folder = plug.EditorDataFolder();
  struct Selector {
    IEditorPlugLinks::EControl slot;
    const L::Rect& rect;
    int msg, action;
    const char* extensions;
    const char* tooltip;
  };
  const Selector selectors[] = {
    {IEditorPlugLinks::kCtrlLoadFingerprint, L::kLoadFingerprint, kMsgLoadFingerprint, kPromptOpen, "vrl wav aiff",
     "Load fingerprint or wave/aiff file"},
    {IEditorPlugLinks::kCtrlSaveFingerprint, L::kSaveFingerprint, kMsgSaveFingerprint, kPromptSave, "vrl",
     "Save fingerprint"},
    {IEditorPlugLinks::kCtrlLoadReference, L::kLoadReference, kMsgLoadReference, kPromptOpen, "ref wav aiff",
     "Load reference or wave/aiff file"},
    {IEditorPlugLinks::kCtrlSaveReference, L::kSaveReference, kMsgSaveReference, kPromptSave, "ref",
     "Save finger print as reference file"},
  };
  for (const Selector& s : selectors)
    plug.SetLinkedControl(s.slot, Attach(g,
                                         new IVFileSelectorControlHiddenZV(ToIRECT(s.rect), s.msg, s.action,
                                                                           folder ? folder : "", s.extensions, -1),
                                         s.tooltip));

  plug.SetControlsAttached();
}

void LayoutVorelle3EditorOfDelegate(IGraphics* g)
{
  if (!g)
    return;
  if (auto* plug = dynamic_cast<IEditorPlugLinks*>(g->GetDelegate()))
    LayoutVorelle3Editor(*g, *plug);
}

} // namespace plugin::igraphics
