#pragma once
// A Vorelle3 with a headless editor whose eleven stored controls are test
// controls (text sinks, path sources), and audio files written by
// libsndfile, for the command, import and idle tests.
#include <sndfile.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "TestGraphics.h"
#include "Vorelle3EditorLinks.h"
#include "Vorelle3Fixture.h"

namespace testplug {

using plugin::igraphics::IControl;
using plugin::igraphics::IRECT;

// A read-out that records the text it was given.
class TextReadout : public testsupport::RecordingControl, public IEditorTextSink {
public:
  TextReadout() : RecordingControl("text", IRECT(0, 0, 10, 10)) {}
  void SetStr(const char* text) override { mText = text; }
  std::string mText;
};

// A file picker whose chosen path the test sets.
class PathPicker : public testsupport::RecordingControl, public IEditorPathSource {
public:
  PathPicker() : RecordingControl("picker", IRECT(0, 0, 10, 10)) {}
  const char* GetChosenPath() const override { return mPath.c_str(); }
  std::string mPath;
};

class CommandsPlug : public TestVorelle3 {
public:
  // Opens the editor as the platform would and attaches the eleven controls
  // at the positions the layout stores.
  testsupport::TestGraphics* OpenEditor()
  {
    SetMakeGraphicsFunc(
      [](plugin::igraphics::IGEditorDelegate& d) { return new testsupport::TestGraphics(d, 650, 470); });
    OpenWindow(nullptr);
    auto* g = static_cast<testsupport::TestGraphics*>(GetGraphics());
    SetEditorReady(true);
    mCtrlCustomStyle = Attach(g, mStyle = new TextReadout);
    mCtrlCaptureLED = Attach(g, new testsupport::RecordingControl("capture", IRECT(0, 0, 5, 5)));
    mCtrlClipLED = Attach(g, new testsupport::RecordingControl("clip", IRECT(0, 0, 5, 5)));
    mCtrlPeakText = Attach(g, mPeak = new TextReadout);
    mCtrlTuneBox = Attach(g, new testsupport::RecordingControl("tune", IRECT(0, 0, 5, 5)));
    mCtrlNeedle = Attach(g, new testsupport::RecordingControl("needle", IRECT(0, 0, 5, 5)));
    mCtrlSaveFingerprint = Attach(g, mSaveFingerprint = new PathPicker);
    mCtrlSaveReference = Attach(g, mSaveReference = new PathPicker);
    mCtrlLoadFingerprint = Attach(g, mLoadFingerprint = new PathPicker);
    mCtrlLoadReference = Attach(g, mLoadReference = new PathPicker);
    mCtrlUpdate = Attach(g, new testsupport::RecordingControl("update", IRECT(0, 0, 5, 5)));
    mControlsAttached = true;
    OnUIOpen();
    UpdateCustomStyleLabel();
    g->TakeLog();
    return g;
  }
  void CloseEditor()
  {
    CloseWindow();
    SetEditorReady(false);
  }
  testsupport::TestGraphics* Graphics() { return static_cast<testsupport::TestGraphics*>(GetGraphics()); }
  IControl* Control(int idx) { return GetUI() ? GetUI()->GetControl(idx) : nullptr; }

  // An editor command as a control sends it.
  void Action(int tag) { OnParamChange(tag, plugin::kUI, -1); }
  // A parameter change as the editor makes it, or as the host does.
  void FromUI(int idx, double value) { SetParameterValue(idx, GetParam(idx)->ToNormalized(value), true); }
  void FromHost(int idx, double value)
  {
    GetParam(idx)->Set(value);
    OnParamChange(idx, plugin::kHost, 0);
  }

  bool MessagePending() const { return mMessagePending; }
  std::string MessageText() const { return mMessageText.Get(); }
  std::string MessageTitle() const { return mMessageTitle.Get(); }
  bool ResizePending() const { return mGUIResizePending; }
  bool AboutPending() const { return mAboutPending; }
  bool UpdateCheckPending() const { return mUpdateCheckPending; }
  bool UIOpen() const { return mUIOpen; }
  int MatchPeak() const { return mMatchPeakMax; }
  // The peak meter reading as if the output had peaked at p.
  void SetPeakMax(double p)
  {
    Output().ResetPeak();
    Output().NotePeak(p);
  }
  int CtrlUpdate() const { return mCtrlUpdate; }
  int CtrlNeedle() const { return mCtrlNeedle; }
  int CtrlCaptureLED() const { return mCtrlCaptureLED; }
  int CtrlClipLED() const { return mCtrlClipLED; }
  int CtrlTuneBox() const { return mCtrlTuneBox; }
  int BandsPerOctave() const { return mBandsPerOctave; }
  int NPresetList() const { return mPresetList.GetSize(); }
  const char* PresetListName(int i) const { return mPresetList.Get(i) ? mPresetList.Get(i)->mName : ""; }

  TextReadout* mStyle = nullptr;
  TextReadout* mPeak = nullptr;
  PathPicker* mSaveFingerprint = nullptr;
  PathPicker* mSaveReference = nullptr;
  PathPicker* mLoadFingerprint = nullptr;
  PathPicker* mLoadReference = nullptr;

private:
  static int Attach(testsupport::TestGraphics* g, IControl* c)
  {
    g->AttachControl(c);
    return g->NControls() - 1;
  }
};

// Interleaved float frames written with libsndfile; false when it refuses.
inline bool WriteSoundFile(const std::string& path, int format, int channels, int rate,
                           const std::vector<float>& interleaved)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    return false;
  const sf_count_t frames = sf_count_t(interleaved.size() / size_t(channels));
  const bool ok = sf_writef_float(f, interleaved.data(), frames) == frames;
  sf_close(f);
  return ok;
}

// White noise, fixed seed, amplitude a.
inline std::vector<float> Noise(size_t samples, unsigned seed, float a = 0.25f)
{
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> d(-a, a);
  std::vector<float> v(samples);
  for (float& x : v)
    x = d(gen);
  return v;
}

} // namespace testplug
