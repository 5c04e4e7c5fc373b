#include "ReferenceRecords.h"

#include <array>
#include <cmath>

#include "CurveMath.h"
#include "LocaleFreeNumber.h"
#include "ReferenceCurves.h"

namespace {

// The value a record holds for a number printed with this many decimals.
double Printed(double v, int decimals)
{
  double out = 0.0;
  plugin::ParseDouble(plugin::FormatFixed(v, decimals).c_str(), out);
  return out;
}

SVLCREFDATA2 MakeBuiltIn(int index)
{
  SVLCREFDATA2 record{};
  record.version = kRefDataVersion;
  double base[kReferenceCurvePoints];
  double baseFreq[kReferenceCurvePoints];
  for (int k = 0; k < kReferenceCurvePoints; ++k) {
    base[k] = ReferenceCurveMagnitude(index, k);
    baseFreq[k] = ReferenceCurveFrequency(k);
  }
  const int baseBands = kRefDataBands[kRefDataPluginSection];
  for (int s = 0; s < kRefDataSections; ++s) {
    const RefDataSection sec = RefDataSectionOf(record, s);
    const int bands = kRefDataBands[s];
    *sec.index = uint32_t(s);
    *sec.count = uint32_t(RefDataSectionCount(s));
    for (int k = 0; k < RefDataSectionCount(s); ++k) {
      const double f = 10.0 * std::exp2(double(k) / bands);
      sec.freq[k] = Printed(f, kFrequencyDecimals);
      // Grid point k lies on the six-per-octave grid when k * 6 / B is whole.
      const bool onBase = (k * baseBands) % bands == 0;
      const double mag =
        onBase ? base[k * baseBands / bands] : InterpolateCurve(baseFreq, base, kReferenceCurvePoints, f);
      sec.mag[k] = Printed(mag, kMagnitudeDecimals);
    }
  }
  return record;
}

} // namespace

RefDataSection RefDataSectionOf(SVLCREFDATA2& r, int s)
{
  switch (s) {
  case 0: return {&r.index0, &r.count0, r.freq0, r.mag0};
  case 1: return {&r.index1, &r.count1, r.freq1, r.mag1};
  case 2: return {&r.index2, &r.count2, r.freq2, r.mag2};
  case 3: return {&r.index3, &r.count3, r.freq3, r.mag3};
  case 4: return {&r.index4, &r.count4, r.freq4, r.mag4};
  default: return {nullptr, nullptr, nullptr, nullptr};
  }
}

ConstRefDataSection RefDataSectionOf(const SVLCREFDATA2& r, int s)
{
  const RefDataSection sec = RefDataSectionOf(const_cast<SVLCREFDATA2&>(r), s);
  return {sec.index, sec.count, sec.freq, sec.mag};
}

const SVLCREFDATA2& BuiltInReferenceRecord(int index)
{
  // Built on first use; a function-local static is initialised once even
  // when several threads ask at the same time.
  static const std::array<SVLCREFDATA2, kReferenceCurveCount> records = [] {
    std::array<SVLCREFDATA2, kReferenceCurveCount> r;
    for (int i = 0; i < kReferenceCurveCount; ++i)
      r[size_t(i)] = MakeBuiltIn(i);
    return r;
  }();
  if (index < 0 || index >= kReferenceCurveCount)
    index = 0;
  return records[size_t(index)];
}
