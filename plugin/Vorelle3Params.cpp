#include "Vorelle3Params.h"

#include "IParam.h"

using plugin::IParam;

void DeclareVorelle3Param(int paramIdx, IParam& param, double defaultValue)
{
  const int d = static_cast<int>(defaultValue);
  switch (paramIdx) {
  case kGUIScale:
    param.InitDouble("GUI scale", defaultValue, 0.5, 3.0, 0.01, "", IParam::kFlagCannotAutomate, "GUI");
    break;
  case kTooltips:
    param.InitEnum("Toggle tooltips", d, 2, "", IParam::kFlagCannotAutomate, "GUI", "Off", "On");
    break;
  case kActivityState:
    param.InitEnum("Activity state", d, 3, "", 0, "Processing", "Capture", "Idle", "Processing");
    break;
  case kReferenceMode:
    // A choice by number (built-in 0..3, custom 4) rather than an enum;
    // stepped, so the host, wheel and drags see whole modes only.
    param.InitDouble("Reference mode", defaultValue, 0.0, 4.0, 1.0, "", IParam::kFlagStepped, "Processing");
    break;
  case kADMode:
    param.InitEnum("AD mode", d, 2, "", IParam::kFlagCannotAutomate, "Processing", "Analoge", "Digital");
    break;
  case kGain:
    param.InitDouble("Gain", defaultValue, -24.0, 24.0, 0.1, "dB", IParam::kFlagMeta, "Processing");
    break;
  case kMix: param.InitDouble("Mix", defaultValue, 0.0, 100.0, 1.0, "%", 0, "Processing"); break;
  case kResetPeakMax: param.InitEnum("Reset peak max", d, 2, "", 0, "Processing", "Off", "On"); break;
  case kMatchPeakMax: param.InitEnum("Match peak max", d, 2, "", 0, "Processing", "Off", "On"); break;
  case kOnlineUpdateCheck:
    param.InitEnum("Online Update Check", d, 2, "", IParam::kFlagCannotAutomate, "GUI", "Off", "On");
    break;
  default: break;
  }
}
