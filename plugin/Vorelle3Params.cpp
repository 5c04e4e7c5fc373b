#include "Vorelle3Params.h"

#include "IParam.h"

using plugin::IParam;

namespace {

// One row per host parameter, in index order. An enum (with display texts)
// runs 0..texts-1 in steps of 1; a double takes the range and step given.
struct Declaration {
  const char* name;
  double min, max, step;
  const char* label;
  int flags;
  const char* group;
  const char* texts[3];
};

constexpr int kCannotAutomate = IParam::kFlagCannotAutomate;

const Declaration kDeclarations[kNumParams] = {
  {"GUI scale", 0.5, 3.0, 0.01, "", kCannotAutomate, "GUI", {}},
  {"Toggle tooltips", 0, 0, 0, "", kCannotAutomate, "GUI", {"Off", "On"}},
  {"Activity state", 0, 0, 0, "", 0, "Processing", {"Capture", "Idle", "Processing"}},
  // A choice by number (built-in 0..3, custom 4) rather than an enum;
  // stepped, so the host, the wheel and drags see whole modes only.
  {"Reference mode", 0.0, 4.0, 1.0, "", IParam::kFlagStepped, "Processing", {}},
  {"AD mode", 0, 0, 0, "", kCannotAutomate, "Processing", {"Analoge", "Digital"}},
  {"Gain", -24.0, 24.0, 0.1, "dB", IParam::kFlagMeta, "Processing", {}},
  {"Mix", 0.0, 100.0, 1.0, "%", 0, "Processing", {}},
  {"Reset peak max", 0, 0, 0, "", 0, "Processing", {"Off", "On"}},
  {"Match peak max", 0, 0, 0, "", 0, "Processing", {"Off", "On"}},
  {"Online Update Check", 0, 0, 0, "", kCannotAutomate, "GUI", {"Off", "On"}},
};

} // namespace

void DeclareVorelle3Param(int paramIdx, IParam& param, double defaultValue)
{
  if (paramIdx < 0 || paramIdx >= kNumParams)
    return;
  const Declaration& d = kDeclarations[paramIdx];
  int nTexts = 0;
  while (nTexts < 3 && d.texts[nTexts])
    ++nTexts;
  if (nTexts == 0) {
    param.InitDouble(d.name, defaultValue, d.min, d.max, d.step, d.label, d.flags, d.group);
    return;
  }
  param.InitEnum(d.name, static_cast<int>(defaultValue), nTexts, d.label, d.flags, d.group);
  for (int i = 0; i < nTexts; ++i)
    param.SetDisplayText(i, d.texts[i]);
}
