#include "IParam.h"

#include "LocaleFreeNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace plugin {

namespace {
// A scaled step counts as whole when it is this close, relative to itself,
// to an integer: 0.07 x 100 is 7.000000000000001.
constexpr double kWholeTolerance = 1e-9;
constexpr int kMaxPrecision = 6;
constexpr int kJSONPieceLen = 8192;

void CopyText(char (&dst)[IParam::kMaxNameLen], const char* src)
{
  std::snprintf(dst, sizeof dst, "%s", src ? src : "");
}

bool IsWhole(double x) { return std::fabs(x - std::round(x)) <= kWholeTolerance * std::fabs(x); }

int PrecisionForStep(double step)
{
  double scale = 1.0;
  for (int digits = 0; digits < kMaxPrecision; ++digits, scale *= 10.0)
    if (IsWhole(std::fabs(step) * scale))
      return digits;
  return kMaxPrecision;
}

// Names are shown to hosts inside JSON strings.
void AppendJSONText(UT_String& out, const char* text)
{
  for (const char* c = text; *c; ++c) {
    const auto ch = static_cast<unsigned char>(*c);
    if (ch == '"' || ch == '\\')
      out.AppendFormatted(2, "\\%c", ch);
    else if (ch < 0x20)
      out.AppendFormatted(6, "\\u%04x", ch);
    else
      out.AppendFormatted(1, "%c", ch);
  }
}

constexpr const char* kNoteNames[12] = {"C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#", "A ", "A#", "B "};
} // namespace

IParam::IParam() : mShape(std::make_unique<ShapeLinear>()) {}

IParam::~IParam() = default;

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, int flags, const char* group, const Shape& shape, EParamUnit unit,
                        DisplayFunc displayFunc)
{
  SetTypeIfNone(kTypeDouble);
  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mGroup, group);
  mMin = minVal;
  mMax = std::max(maxVal, minVal + step);
  mStep = step;
  mDefault = defaultVal;
  mUnit = unit;
  mFlags = flags;
  mDisplayFunc = std::move(displayFunc);
  Set(defaultVal);
  mDisplayPrecision = PrecisionForStep(step);
  mShape = shape.Clone();
  mShape->Init(*this);
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, int flags, const char* group,
                      const char* offText, const char* onText)
{
  SetTypeIfNone(kTypeBool);
  InitDouble(name, defaultVal ? 1.0 : 0.0, 0.0, 1.0, 1.0, label, flags | kFlagStepped, group);
  if (offText)
    SetDisplayText(0.0, offText);
  if (onText)
    SetDisplayText(1.0, onText);
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label, int flags, const char* group)
{
  SetTypeIfNone(kTypeEnum);
  InitDouble(name, defaultVal, 0.0, nEnums - 1, 1.0, label, flags | kFlagStepped, group);
}

void IParam::InitEnum(const char* name, int defaultVal, std::initializer_list<const char*> texts, int flags,
                      const char* group)
{
  InitEnum(name, defaultVal, static_cast<int>(texts.size()), "", flags, group);
  int i = 0;
  for (const char* text : texts)
    SetDisplayText(i++, text);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label, int flags,
                     const char* group)
{
  SetTypeIfNone(kTypeInt);
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, label, flags | kFlagStepped, group);
}

void IParam::InitFrequency(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags,
                           const char* group)
{
  InitDouble(name, defaultVal, minVal, maxVal, step, "Hz", flags, group, ShapeExp(), kUnitFrequency);
}

void IParam::InitSeconds(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags,
                         const char* group)
{
  InitDouble(name, defaultVal, minVal, maxVal, step, "Seconds", flags, group, ShapeLinear(), kUnitSeconds);
}

void IParam::InitMilliseconds(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                              const char* group)
{
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, "ms", flags, group, ShapeLinear(), kUnitMilliseconds);
}

void IParam::InitPercentage(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                            const char* group)
{
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, "%", flags, group, ShapeLinear(), kUnitPercentage);
}

void IParam::InitAngleDegrees(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                              const char* group)
{
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, "degrees", flags, group, ShapeLinear(), kUnitDegrees);
}

void IParam::InitGain(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags,
                      const char* group)
{
  InitDouble(name, defaultVal, minVal, maxVal, step, "dB", flags, group, ShapeLinear(), kUnitDB);
}

void IParam::InitPitch(const char* name, int defaultVal, int lowestNote, int highestNote, int flags, const char* group,
                       bool middleCisC4)
{
  const int count = highestNote - lowestNote + 1;
  InitEnum(name, defaultVal, count, "", flags, group);
  for (int k = 0; k < count; ++k) {
    const int note = lowestNote + k;
    const int pitchClass = ((note % 12) + 12) % 12;
    const int octave = (note - pitchClass) / 12 - 2 + (middleCisC4 ? 1 : 0);
    char text[kMaxNameLen];
    std::snprintf(text, sizeof text, "%s%i", kNoteNames[pitchClass], octave);
    SetDisplayText(k, text);
  }
}

void IParam::InitFromParam(const IParam& source, const char* searchStr, const char* replaceStr, const char* newGroup)
{
  SetTypeIfNone(source.mType);
  // Copies first: the source may be this parameter.
  std::string name = source.mName;
  const std::string label = source.mLabel;
  const std::string group = (newGroup && *newGroup) ? newGroup : source.mGroup;
  if (searchStr && *searchStr) {
    const auto at = name.find(searchStr);
    if (at != std::string::npos)
      name.replace(at, std::strlen(searchStr), replaceStr ? replaceStr : "");
  }
  const int nTexts = source.NDisplayTexts();
  InitDouble(name.c_str(), source.mDefault, source.mMin, source.mMax, source.mStep, label.c_str(), source.mFlags,
             group.c_str(), *source.mShape, source.mUnit, source.mDisplayFunc);
  for (int i = 0; i < nTexts; ++i) {
    const DisplayText entry = source.mDisplayTexts.Get()[i]; // by value: Add may move it
    SetDisplayText(entry.mValue, entry.mText);
  }
}

void IParam::SetDisplayText(double value, const char* text)
{
  DisplayText entry{value, {}};
  CopyText(entry.mText, text);
  mDisplayTexts.Add(entry);
}

const char* IParam::GetDisplayTextAtIdx(int idx, double* value) const
{
  if (idx < 0 || idx >= NDisplayTexts())
    return "";
  const DisplayText& entry = mDisplayTexts.Get()[idx];
  if (value)
    *value = entry.mValue;
  return entry.mText;
}

const char* IParam::GetDisplayText(double value) const
{
  for (int i = 0; i < NDisplayTexts(); ++i)
    if (mDisplayTexts.Get()[i].mValue == value)
      return mDisplayTexts.Get()[i].mText;
  return "";
}

bool IParam::MapDisplayText(const char* text, double* value) const
{
  if (!text)
    return false;
  for (int i = 0; i < NDisplayTexts(); ++i) {
    const DisplayText& entry = mDisplayTexts.Get()[i];
    if (std::strcmp(entry.mText, text) == 0) {
      if (value)
        *value = entry.mValue;
      return true;
    }
  }
  return false;
}

void IParam::SetDisplayMapping(EDisplayMapping kind, double low, double high, double floor)
{
  mDisplayMapping = kind;
  mMappingLow = low;
  mMappingHigh = high;
  mMappingFloor = floor;
}

double IParam::Snap(double value) const
{
  if (mStep == 0.0)
    return value;
  return std::round(value / mStep) * mStep;
}

double IParam::Constrain(double value) const
{
  if (mFlags & kFlagStepped)
    value = Snap(value);
  return std::clamp(value, mMin, mMax);
}

double IParam::ToNormalized(double value) const
{
  return std::clamp(mShape->ValueToNormalized(Constrain(value), *this), 0.0, 1.0);
}

double IParam::FromNormalized(double normalized) const
{
  return Constrain(mShape->NormalizedToValue(normalized, *this));
}

bool IParam::Set(double value)
{
  // Clamping lets NaN through, and one NaN value silences every output.
  if (!std::isfinite(value))
    return false;
  mPreviousValue.exchange(mValue.load());
  mValue.exchange(Constrain(value));
  return true;
}

void IParam::SetToDefault()
{
  mPreviousValue.exchange(mValue.load());
  mValue.exchange(mDefault);
}

void IParam::Randomise()
{
  const float normalized = static_cast<float>(std::rand()) * 4.656613e-10f;
  Set(Constrain(mShape->NormalizedToValue(normalized, *this)));
}

void IParam::GetDisplay(double value, bool normalized, UT_String& out, bool withDisplayText) const
{
  if (normalized)
    value = FromNormalized(value);
  if (mDisplayFunc) {
    mDisplayFunc(value, out);
    return;
  }
  if (withDisplayText) {
    const char* text = GetDisplayText(value);
    if (*text) {
      out.Set(text, kMaxDisplayLen);
      return;
    }
  }
  if (mFlags & kFlagNegateDisplay)
    value = -value;
  value += 0.0; // -0 shows as 0
  if (mDisplayPrecision == 0) {
    out.SetFormatted(kMaxDisplayLen, "%.0f", std::round(value) + 0.0);
    return;
  }
  if ((mFlags & kFlagSignDisplay) && value != 0.0) {
    char format[16];
    std::snprintf(format, sizeof format, "%%+.%df", mDisplayPrecision);
    out.SetFormatted(kMaxDisplayLen, format, value);
    return;
  }
  if (mDisplayMapping == kDisplayRemapped) {
    value = value * (mMappingHigh - mMappingLow) + mMappingLow;
  } else if (mDisplayMapping == kDisplayScaled) {
    if (value <= 0.0) {
      value *= std::fabs(mMappingLow);
      if (value <= mMappingFloor) {
        out.Set("-inf ");
        return;
      }
    } else {
      value *= std::fabs(mMappingHigh);
    }
  }
  out.SetFormatted(kMaxDisplayLen, "%.*f", mDisplayPrecision, value);
}

void IParam::GetDisplayWithLabel(UT_String& out, bool withDisplayText) const
{
  GetDisplay(out, withDisplayText);
  if (mLabel[0]) {
    out.Append(" ");
    out.Append(mLabel);
  }
}

double IParam::StringToValue(const char* text, bool* readsAsValue) const
{
  if (!text)
    text = "";
  bool scratch = false;
  bool& reads = readsAsValue ? *readsAsValue : scratch;
  reads = true;
  double value = 0.0;
  if (MapDisplayText(text, &value))
    return value;
  if (mType == kTypeBool || mType == kTypeEnum) {
    reads = false;
    return 0.0;
  }

  // "2k2" and "1.5K" are thousands with the letter as decimal point.
  std::string number = text;
  auto k = number.find('k');
  if (k == std::string::npos)
    k = number.find('K');
  if (k != std::string::npos)
    number[k] = '.';
  // Read as in the "C" locale, whatever the host's; no number reads as 0.
  if (!ParseDouble(number.c_str(), value)) {
    reads = false;
    value = 0.0;
  }
  // Text that is no finite number ("nan", "inf") leaves the value as it is.
  if (!std::isfinite(value)) {
    reads = false;
    return Value();
  }
  if (k != std::string::npos)
    value *= 1000.0;
  if (mFlags & kFlagNegateDisplay)
    value = -value;

  if (mDisplayMapping == kDisplayRemapped) {
    const double span = mMappingHigh - mMappingLow;
    if (span == 0.0)
      return 0.0;
    value = (value - mMappingLow) / span;
  } else if (mDisplayMapping == kDisplayScaled) {
    const double divisor = std::fabs(value > 0.0 ? mMappingHigh : mMappingLow);
    if (divisor == 0.0)
      return 0.0;
    value /= divisor;
  }
  return Constrain(value);
}

const char* IParam::GetTypeName() const
{
  switch (mType) {
  case kTypeBool: return "bool";
  case kTypeInt: return "int";
  case kTypeEnum: return "enum";
  case kTypeDouble: return "float";
  default: return "";
  }
}

void IParam::GetJSON(UT_String& out, int index) const
{
  out.AppendFormatted(kJSONPieceLen, "{");
  out.AppendFormatted(kJSONPieceLen, "\"id\":%i, ", index);
  out.AppendFormatted(kJSONPieceLen, "\"name\":\"");
  AppendJSONText(out, mName);
  out.AppendFormatted(kJSONPieceLen, "\", ");
  if (mType != kTypeNone)
    out.AppendFormatted(kJSONPieceLen, "\"type\":\"%s\", ", GetTypeName());
  out.AppendFormatted(kJSONPieceLen, "\"min\":%f, ", mMin);
  out.AppendFormatted(kJSONPieceLen, "\"max\":%f, ", mMax);
  out.AppendFormatted(kJSONPieceLen, "\"default\":%f, ", mDefault);
  out.AppendFormatted(kJSONPieceLen, "\"rate\":\"control\"");
  out.AppendFormatted(kJSONPieceLen, "}");
}

} // namespace plugin
