#include "Vorelle3.h"

#include <cstdlib>
#include <ctime>

#include "SettingsFile.h"

using namespace plugin;

namespace {

Config MakeConfig()
{
  Config c;
  c.nParams = kNumParams;
  c.nPresets = Vorelle3::kNumPresets;
  c.channelIOStr = "2-2";
  c.pluginName = "Vorelle3";
  c.productName = "Vorelle3";
  c.mfrName = "Zelvant";
  c.vendorVersion = PackVersion(3, 0, 21);
  c.uniqueID = plugin::FourCharCode("ZV60");
  c.mfrID = plugin::FourCharCode("ZVNX");
  c.latency = 0;
  c.plugDoesChunks = true;
  c.plugType = 0;
  c.plugHasUI = true;
  c.plugWidth = 650;
  c.plugHeight = 470;
  c.plugHostResize = false;
  c.plugMinMaxWidth[0] = 325;
  c.plugMinMaxWidth[1] = 1300;
  c.plugMinMaxHeight[0] = 235;
  c.plugMinMaxHeight[1] = 940;
  c.bundleID = "com.Zelvant.audiounit.Vorelle3";
  return c;
}

constexpr const char* kFixedScaleTexts[] = {"50%",  "75%",  "100%", "125%", "150%", "175%",
                                            "200%", "225%", "250%", "275%", "300%"};

} // namespace

Vorelle3::Vorelle3(const InstanceInfo& info) : IPluginAU(info, MakeConfig())
{
  mInitPreset.SetName("empty");
  InitPaths();
  if (ReadIniInt("GUI", "HasUI", 1) == 0)
    SetHasUI(false);
  std::srand(unsigned(std::clock()));

  mSampleRate = GetSampleRate();
  mLatency = GetLatency();
  mBlockSize = GetBlockSize();
  mNumInputs = MaxNChannels(kInput);
  mNumOutputs = MaxNChannels(kOutput);
  mAboutPending = mUpdateCheckPending = false;

  InitMembers();
  InitDSP();
  InitParams();

  UT_String folder(GetAUDataPath());
  LoadDefaultPreset(folder);
  mGUIScale = GetParam(kGUIScale)->Value();
  InitPlugControls();
}

Vorelle3::~Vorelle3()
{
  mCodePresets.Empty(true);
  mExtraParams.Empty(true);
  mPresetList.Empty(true);
}

void Vorelle3::InitMembers()
{
  mActivityState = kIdle;
  mReferenceMode = 0;
  mADMode = 0;
  mGain = 0.0;
  mMix = 100.0;
  mResetPeakMax = mMatchPeakMax = 0;
  mGUIResizePending = mAboutPending = mUpdateCheckPending = false;
  mUIOpen = mControlsAttached = false;
  mOutput.ResetPeak();
  mCurves.SetFingerprintValid(false);
  mCurves.SetCustomRefValid(false);
  mCurves.SetCustomRefName(CurveStore::kNoReferenceName);
  mBandIndex = 3;
  mFFTSize = 16384;
  mSpectrumMode = 0;
  mBandsPerOctave = 6;
  mImpulseLength = mMaxImpulseSize = 32768;
  mMonoImpulse = true;
  mWindowImpulse = mLinearPhase = false;
  mFilterLatency = 0;
  mFileJobs.Finish();
}

void Vorelle3::InitParams()
{
  const double defaults[kNumParams] = {mGUIScale, double(mTooltips),     double(mActivityState), double(mReferenceMode),
                                       double(mADMode), mGain, mMix, double(mResetPeakMax), double(mMatchPeakMax),
                                       double(mOnlineUpdateCheck)};
  for (int idx : {kGUIScale, kTooltips, kOnlineUpdateCheck, kActivityState, kReferenceMode, kADMode, kGain, kMix,
                  kResetPeakMax, kMatchPeakMax})
    DeclareVorelle3Param(idx, *GetParam(idx), defaults[idx]);

  // Every parameter still holds its default here, so the presets hold the
  // start state; as preset records they carry no curves.
  MakePresetFromState(mInitPreset, "Init", 0);
  MakePresetFromState("Init", 0);
  MakeInitPreset();
}

int Vorelle3::MakeInitPreset()
{
  CopyPresetToSlot(mInitPreset, 0);
  MakePresetFromState("1234567890123456789012", 0);
  mGUIScaleMenuTag = 28;
  MakeFixedScaleParam();
  return 2;
}

void Vorelle3::MakeFixedScaleParam()
{
  // Made once; a repeated preset rebuild keeps the existing entry.
  if (mExtraParams.GetSize() > 0)
    return;
  IParam* param = new IParam;
  param->InitEnum("Fixed GUI Scale", 2, 11, "", 0, "");
  for (int i = 0; i < 11; ++i)
    param->SetDisplayText(i, kFixedScaleTexts[i]);
  if (!mExtraParams.Add(param))
    delete param;
}

int Vorelle3::ReadIniInt(const char*, const char* key, int defaultValue) const
{
  UT_String path(GetDataPath());
  path.Append("/");
  path.Append(kSettingsFileName);
  return ReadSettingsInt(path.Get(), key, defaultValue);
}

void Vorelle3::InitPlugControls()
{
  // The composition root installs the make-graphics and layout functions
  // (they name the platform and the editor, which this class must not);
  // without them the view factory gets no view, but the editor is not
  // switched off, so functions installed after construction still work.
}
