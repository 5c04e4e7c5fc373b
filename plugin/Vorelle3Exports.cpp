// The source-record and CSV exports of the curves. Main thread.
#include <cmath>
#include <ctime>
#include <mutex>

#include "CurveExports.h"
#include "ReferenceRecords.h"
#include "Vorelle3.h"

using plugin::UT_String;

bool Vorelle3::WriteRefDataSource(const UT_String& path, const UT_String& name, CMFFT* analyser, double sampleRate)
{
  if (!analyser)
    return false;
  const int nBins = int(analyser->GetInfo(CMFFT::kInfoFFTSize));
  const double* spectrum = analyser->GetData(CMFFT::kDataAverage);
  SVLCREFDATA2 record;
  if (!MapSpectrumToRecord(spectrum, nBins, sampleRate > 0.0 ? sampleRate : GetSampleRate(), record))
    return false;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return WriteTextFile(path.Get(), RefDataSourceText(record, name.Get(), local));
}

bool Vorelle3::GetRefDataPath(const UT_String& folder, const UT_String& name, CMFFT* analyser, double sampleRate)
{
  UT_String path = JoinPath(folder.Get(), kRefDataFileName);
  path.Append(kRefDataExtension);
  return WriteRefDataSource(path, name, analyser, sampleRate);
}

bool Vorelle3::ExportCurvesCSV(const UT_String& folder)
{
  if (folder.GetLength() == 0)
    return false;
  UT_String path = JoinPath(folder.Get(), kCurveDataFileName);
  path.Append(kCurveDataExtension);

  const int mode = int(std::floor(GetParam(kReferenceMode)->Value() + 0.5));
  std::string text;
  {
    // ComputeCurves replaces the difference curve under this lock.
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    CurveTable table;
    const Vorelle3CurveRecord& fingerprint = mCurves.Fingerprint();
    const Vorelle3CurveRecord& diff = mCurves.Difference();
    table.freq = fingerprint.freq;
    table.fingerprint = fingerprint.mag;
    table.count = int(fingerprint.count);
    table.diff = diff.count >= fingerprint.count ? diff.mag : nullptr;
    if (mode == kCustomReference) {
      table.reference = mCurves.CustomReference().mag;
      table.refCount = int(mCurves.CustomReference().count);
    } else {
      const SVLCREFDATA2& builtIn = BuiltInReferenceRecord(mode >= 1 && mode <= 3 ? mode : 0);
      table.reference = builtIn.mag2;
      table.refCount = int(builtIn.count2);
    }
    text = CurvesCSVText(table);
  }
  return WriteTextFile(path.Get(), text);
}
