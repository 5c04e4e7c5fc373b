#pragma once
// The test plug-in: a stereo ("2-2") effect with ten parameters of every
// kind and three factory presets. Header-only, so any suite that links the
// framework can build it on whichever binding it tests:
//   class MyPlug : public SomeBinding { MyPlug() : SomeBinding(TestPlugConfig(), ...)
//                                       { DeclareTestPlug(*this); } };

#include "Config.h"
#include "IParam.h"
#include "IPluginBase.h"

namespace testsupport {

enum ETestPlugParams {
  kTestBypass = 0, // bool, "Off"/"On"
  kTestMode,       // enum of 3
  kTestSteps,      // int -5..5
  kTestGain,       // gain -24..24 dB, step 0.1
  kTestMix,        // percentage 0..100
  kTestFreq,       // frequency 20..20000 Hz, exponential
  kTestDrive,      // double 0..1, power curve 3
  kTestTime,       // seconds 0..10, step 0.001
  kTestPan,        // double -1..1, step 0.01
  kTestLevel,      // double -10..10, step 1e-9 (fine enough for any value)
  kTestNumParams
};

inline constexpr int kTestNumPresets = 3;

inline plugin::Config TestPlugConfig()
{
  plugin::Config c;
  c.nParams = kTestNumParams;
  c.nPresets = kTestNumPresets;
  c.channelIOStr = "2-2";
  c.pluginName = "TestPlug";
  c.productName = "TestPlug";
  c.mfrName = "Zelvant";
  c.vendorVersion = plugin::PackVersion(3, 0, 21);
  c.uniqueID = plugin::FourCharCode("ZV60");
  c.mfrID = plugin::FourCharCode("ZVNX");
  c.plugDoesChunks = true;
  c.plugHasUI = true;
  c.plugWidth = 650;
  c.plugHeight = 470;
  c.plugMinMaxWidth[0] = 1300;
  c.plugMinMaxWidth[1] = 325;
  c.plugMinMaxHeight[0] = 235;
  c.plugMinMaxHeight[1] = 940;
  c.bundleID = "com.Zelvant.audiounit.TestPlug";
  return c;
}

// Declares the ten parameters and fills the three factory presets.
inline void DeclareTestPlug(plugin::IPluginBase& plug)
{
  using plugin::IParam;
  plug.GetParam(kTestBypass)->InitBool("Bypass", false, "", 0, "", "Off", "On");
  plug.GetParam(kTestMode)->InitEnum("Mode", 1, 3, "", 0, "", "Capture", "Process", "Idle");
  plug.GetParam(kTestSteps)->InitInt("Steps", 0, -5, 5);
  plug.GetParam(kTestGain)->InitGain("Gain", 0.0, -24.0, 24.0, 0.1);
  plug.GetParam(kTestMix)->InitPercentage("Mix", 100.0, 0.0, 100.0);
  plug.GetParam(kTestFreq)->InitFrequency("Freq", 1000.0, 20.0, 20000.0, 0.1);
  plug.GetParam(kTestDrive)->InitDouble("Drive", 0.25, 0.0, 1.0, 0.001, "", 0, "Tone", IParam::ShapePowCurve(3.0));
  plug.GetParam(kTestTime)->InitSeconds("Time", 1.5, 0.0, 10.0, 0.001);
  plug.GetParam(kTestPan)->InitDouble("Pan", 0.0, -1.0, 1.0, 0.01, "", 0, "Tone");
  plug.GetParam(kTestLevel)->InitDouble("Level", 0.0, -10.0, 10.0, 1e-9);

  plug.MakePreset("Default", 0, 1, 0, 0.0, 100.0, 1000.0, 0.25, 1.5, 0.0, 0.0);
  plug.MakePreset("Loud", 0, 1, 3, 12.0, 80.0, 2500.0, 0.75, 0.25, -0.5, 3.25);
  plug.MakePreset("Bypassed", 1, 2, -5, -24.0, 0.0, 20.0, 0.0, 10.0, 1.0, -10.0);
}

} // namespace testsupport
