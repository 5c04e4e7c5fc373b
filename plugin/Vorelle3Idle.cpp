// The main thread's timer work: deferred parameter work, latency, and, while
// an editor is open, resize, version check, About box, messages, meters and
// the queued file jobs.
#include <cmath>
#include <cstdio>

#include "HostDisplayNames.h"
#include "IControl.h"
#include "IGraphics.h"
#include "IXMLPreset.h"
#include "VersionCheck.h"
#include "Vorelle3.h"
#include "Vorelle3EditorLinks.h"

using namespace plugin;
using plugin::igraphics::IControl;
using plugin::igraphics::IGraphics;

namespace {

constexpr const char* kOwnVersion = "3.0.21";
constexpr double kDBPerNeper = 8.685889638065037;
constexpr double kSilentLevel = 6.309e-8;
constexpr int kEditorWidth = 650;
constexpr int kEditorHeight = 470;
constexpr int kLabelMaxBytes = 46;
constexpr int kLabelKeptBytes = 41;

// Sets a control's value and redraws it, only when it holds another value.
void SetControlValue(IControl* control, double value)
{
  if (!control || control->GetValue(0) == value)
    return;
  control->SetValue(value, 0);
  control->SetDirty(true, -1);
}

void SetControlText(IControl* control, const char* text)
{
  if (auto* sink = dynamic_cast<IEditorTextSink*>(control))
    sink->SetStr(text);
}

} // namespace

void Vorelle3::OnIdle()
{
  RunDeferredWork();

  if (GetHost() != kHostProTools && GetLatency() != IExtPDCHandler::mLatency)
    UpdateLatency(*this, IExtPDCHandler::mLatency);

  IGraphics* ui = GetUI();
  if (!mUIOpen || !ui)
    return;

  // A resize waits while a menu is showing.
  if (mGUIResizePending && (!ui->GetPopupMenuControl() || !ui->GetControlInPopupMenu())) {
    mGUIResizePending = false;
    ui->Resize(kEditorWidth, kEditorHeight, float(mGUIScale), true);
  }

  if (mOnlineUpdateCheck >= 1 && ClaimAutomaticVersionCheck()) {
    char name[256];
    char url[1024];
    NormaliseProductName(GetPluginName(), name, sizeof(name));
    int result = kVersionCheckServiceUnavailable;
    if (FormatVersionCheckURL(name, url, sizeof(url)))
      result = VersionCheckRequest(kOwnVersion, url, mVersionCheckError, &mVersionCheckCurlCode);
    SetUpdateAvailable(result == kVersionCheckUpdateAvailable);
  }

  if (mAboutPending) {
    mAboutPending = false;
    BuildAboutText();
  }

  if (mUpdateCheckPending) {
    mUpdateCheckPending = false;
    char name[256];
    NormaliseProductName(GetPluginName(), name, sizeof(name));
    SetUpdateAvailable(VersionCheckResultText(name, kOwnVersion, ui));
  }

  UpdateIndicator();

  if (mMessagePending) {
    mMessagePending = false;
    ui->ShowMessageBox(mMessageText.Get(), mMessageTitle.Get(), 0);
  }

  if (mOutput.TakeMeterUpdate())
    UpdateGUIControls();

  RunPendingFileJob();
}

void Vorelle3::OnUIOpen()
{
  for (int i = 0; i < NParams(); ++i) {
    const IParam* p = GetParam(i);
    // ToNormalized snaps, clamps and clamps its result to [0, 1].
    SendParameterValueFromDelegate(i, p->ToNormalized(p->Value()), true);
  }
  mUIOpen = true;
}

void Vorelle3::OnUIClose()
{
  // The positions the layout stored belong to the context about to go.
  mUIOpen = false;
  mControlsAttached = false;
}

std::string Vorelle3::EditorCustomRefName()
{
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  return mCurves.CustomRefName();
}

void Vorelle3::SetLinkedControl(EControl which, int listIndex)
{
  int* const slots[kNumLinkedControls] = {
    &mCtrlUpdate, &mCtrlCustomStyle,     &mCtrlCaptureLED,      &mCtrlClipLED,       &mCtrlPeakText,     &mCtrlTuneBox,
    &mCtrlNeedle, &mCtrlLoadFingerprint, &mCtrlSaveFingerprint, &mCtrlLoadReference, &mCtrlSaveReference};
  if (which >= 0 && which < kNumLinkedControls)
    *slots[which] = listIndex;
}

void Vorelle3::SetControlsAttached()
{
  mControlsAttached = true;
  UpdateCustomStyleLabel();
}

void Vorelle3::UpdateIndicator()
{
  IGraphics* ui = GetUI();
  if (!ui || !mControlsAttached)
    return;
  if (IControl* update = ui->GetControl(mCtrlUpdate)) {
    const double v = update->GetValue(0);
    if (v == 0.0 && IsUpdateAvailable())
      SetControlValue(update, 1.0);
    else if (v == 1.0 && !IsUpdateAvailable())
      SetControlValue(update, 0.0);
  }
}

void Vorelle3::UpdateGUIControls()
{
  IGraphics* ui = GetUI();
  if (!ui || !mControlsAttached)
    return;
  SetControlValue(ui->GetControl(mCtrlNeedle), mReferenceMode * 0.25);
  SetControlValue(ui->GetControl(mCtrlCaptureLED), mCurves.FingerprintValid() ? 1.0 : 0.0);

  double peak, clip;
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    peak = mOutput.PeakMax();
    clip = mOutput.ClipEnvelope();
  }
  // Lit while the output clips and for the hold after it, beside the peak.
  SetControlValue(ui->GetControl(mCtrlClipLED), clip);
  const double level = std::fabs(peak) > kSilentLevel ? std::log(std::fabs(peak)) * kDBPerNeper : -144.0;
  char text[32];
  std::snprintf(text, sizeof(text), "%.1lf", level);
  SetControlText(ui->GetControl(mCtrlPeakText), text);
}

void Vorelle3::UpdateCustomStyleLabel()
{
  IGraphics* ui = GetUI();
  if (!ui || !mControlsAttached || ui->NControls() == 0)
    return;

  ui->EnableTooltips(mTooltips >= 1);

  IControl* saves[] = {ui->GetControl(mCtrlSaveFingerprint), ui->GetControl(mCtrlSaveReference)};
  IControl* loads[] = {ui->GetControl(mCtrlLoadFingerprint), ui->GetControl(mCtrlLoadReference)};
  const bool capture = mActivityState == kCapture;
  for (IControl* c : saves) {
    if (c)
      c->Hide(capture || !mCurves.FingerprintValid());
  }
  for (IControl* c : loads) {
    if (c)
      c->Hide(capture);
  }

  UT_String label("Custom Style: ");
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    label.Append(mCurves.CustomRefName());
  }
  if (label.GetLength() >= kLabelMaxBytes) {
    UT_String cut;
    // Cut at a character boundary: a name may hold multi-byte characters.
    cut.Set(label.Get(), IXMLPreset::Utf8PrefixLength(label.Get(), kLabelKeptBytes));
    cut.Append("...");
    label = cut;
  }
  SetControlText(ui->GetControl(mCtrlCustomStyle), label.Get());

  const int state = mActivityState;
  SetControlValue(ui->GetControl(mCtrlTuneBox), state == kCapture ? 0.0 : state == kIdle ? 0.5 : 1.0);

  // A freshly laid-out editor starts from its controls' defaults: show the
  // present LEDs, needle, peak and update state at once, not at the next
  // meter period.
  UpdateGUIControls();
  UpdateIndicator();
}

void Vorelle3::MakeAboutText(UT_String& text) const
{
  const int latency = GetLatency();
  const double fs = GetSampleRate();
  text.Set("");
  text.AppendFormatted(256, "Manufacturer: %s\n", "Zelvant");
  text.AppendFormatted(256, "Plugin name: %s\n", "Vorelle3");
  text.AppendFormatted(256, "Version: %s\n", kOwnVersion);
  text.AppendFormatted(256, "Build date: %s\n", __DATE__);
  text.AppendFormatted(256, "Build time: %s\n", __TIME__);
  text.Append("\n");
  text.AppendFormatted(256, "Format: %s %s (%s, %s, %s)\n", GetAPIStr(), GetArchStr(), "INTEL", "VG", "METAL");
  text.AppendFormatted(256, "Host: %s\n", HostDisplayName(GetHost()));
  text.AppendFormatted(256, "Channels: %d-%d (%d-%d)\n", NChannelsConnected(kInput), NChannelsConnected(kOutput),
                       MaxNChannels(kInput), MaxNChannels(kOutput));
  text.AppendFormatted(256, "Plugin delay: %d smp (%.1lf ms)\n", latency, fs > 0.0 ? latency * 1000.0 / fs : 0.0);
  text.AppendFormatted(256, "Sample Rate: %.2lf Hz\n", fs);
  text.AppendFormatted(256, "Block Size: %d smp\n", GetBlockSize());
}

void Vorelle3::BuildAboutText()
{
  UT_String text;
  MakeAboutText(text);
  if (IGraphics* ui = GetUI())
    ui->ShowMessageBox(text.Get(), "About", 0);
}
