#pragma once
// The plug-in's host parameters: their indices and how each is declared
// (name, range, step, flags, group, display texts). The plug-in declares its
// own with this, and so may anything that must behave as the plug-in does.

namespace plugin {
class IParam;
}

enum EParams {
  kGUIScale = 0,
  kTooltips,
  kActivityState,
  kReferenceMode,
  kADMode,
  kGain,
  kMix,
  kResetPeakMax,
  kMatchPeakMax,
  kOnlineUpdateCheck,
  kNumParams
};

// Declares parameter paramIdx (an EParams value) in param with the given
// default; an index past the list leaves param alone.
void DeclareVorelle3Param(int paramIdx, plugin::IParam& param, double defaultValue);
