#include "CurveExports.h"

#include <cstdio>
#include <vector>

#include "CurveMath.h"
#include "LocaleFreeNumber.h"
#include "LogGrid.h"
#include "ReferenceRecords.h"
#include "ReplaceFile.h"

namespace {

constexpr double kGridStart = 10.0;
constexpr double kGridTop = 22050.0;
constexpr int kCSVDecimals = 2;

void AppendNumberList(std::string& out, const double* v, int n, int decimals)
{
  out += '{';
  for (int k = 0; k < n; ++k) {
    if (k > 0)
      out += ',';
    out += plugin::FormatFixed(v[k], decimals);
    out += ' ';
  }
  out += '}';
}

void AppendCSVNumber(std::string& out, double v)
{
  std::string text = plugin::FormatFixed(v, kCSVDecimals);
  for (char& c : text) {
    if (c == '.')
      c = ',';
  }
  out += text;
  out += ';';
}

} // namespace

bool MapSpectrumToRecord(const double* spectrum, int nBins, double fs, SVLCREFDATA2& record)
{
  if (!spectrum || nBins < 2 || !(fs > 0.0))
    return false;
  record = SVLCREFDATA2{};
  record.version = kRefDataVersion;
  for (int s = 0; s < kRefDataSections; ++s) {
    const RefDataSection sec = RefDataSectionOf(record, s);
    const int bands = kRefDataBands[s];
    const int count = CountLogGridPoints(nullptr, 1.0, bands, kGridStart, kGridTop);
    *sec.index = uint32_t(s);
    *sec.count = uint32_t(RefDataSectionCount(s));
    if (count != RefDataSectionCount(s))
      return false;
    FillLogGrid(nullptr, sec.freq, 1.0, bands, kGridStart, kGridTop);
    MapSpectrumToGrid(spectrum, nBins, sec.freq, count, sec.mag, fs);
  }
  return true;
}

std::string RefDataSourceText(const SVLCREFDATA2& record, const char* name, const std::tm& when)
{
  char line[1100];
  std::string out;
  std::snprintf(line, sizeof line, "// Filename     : %s\n", name ? name : "");
  out += line;
  std::snprintf(line, sizeof line, "// Creation     : %02d.%02d.%04d %02d.%02d\n", when.tm_mday, when.tm_mon + 1,
                when.tm_year + 1900, when.tm_hour, when.tm_min);
  out += line;
  out += "SVLCREFDATA2 ref_xxx =\n{\n";
  out += '\t';
  out += std::to_string(record.version);
  out += ",\n";
  for (int s = 0; s < kRefDataSections; ++s) {
    const ConstRefDataSection sec = RefDataSectionOf(record, s);
    const int n = int(*sec.count);
    out += '\t';
    out += std::to_string(*sec.index);
    out += ", ";
    out += std::to_string(n);
    out += ", ";
    AppendNumberList(out, sec.freq, n, kFrequencyDecimals);
    out += ',';
    AppendNumberList(out, sec.mag, n, kMagnitudeDecimals);
    if (s < kRefDataSections - 1)
      out += ',';
    out += '\n';
  }
  out += "};\n";
  return out;
}

std::string CurvesCSVText(const CurveTable& t)
{
  std::string out = "Frq (Hz);Mag Ref (dB);Mag FP (dB);Mag Diff (dB);Mag Final (dB);\n";
  for (int k = 0; k < t.count; ++k) {
    const double fpDB = LevelToDB(t.fingerprint[k]);
    const double refDB = LevelToDB((t.reference && k < t.refCount) ? t.reference[k] : 0.0);
    const double diff = t.diff ? t.diff[k] : 0.0;
    AppendCSVNumber(out, t.freq[k]);
    AppendCSVNumber(out, refDB);
    AppendCSVNumber(out, fpDB);
    AppendCSVNumber(out, diff);
    AppendCSVNumber(out, fpDB + diff);
    out += '\n';
  }
  return out;
}

bool WriteTextFile(const char* path, const std::string& text)
{
  return plugin::ReplaceFile(path, text.data(), text.size());
}
