// Fingerprint and reference files of the plug-in. Main thread.
#include <algorithm>
#include <mutex>
#include <vector>

#include "CurveFile.h"
#include "UsableReference.h"
#include "Vorelle3.h"

using plugin::UT_String;

bool Vorelle3::WriteFingerprint(const UT_String& path, const Vorelle3CurveRecord& curve)
{
  return WriteCurveFile(path.Get(), ECurveFileType::kFingerprint, curve);
}

bool Vorelle3::WriteReference(const UT_String& path, const Vorelle3CurveRecord& curve)
{
  return WriteCurveFile(path.Get(), ECurveFileType::kReference, curve);
}

bool Vorelle3::ReadFingerprint(const UT_String& path, Vorelle3CurveRecord& curve)
{
  return ReadCurve(path, ECurveFileType::kFingerprint, curve);
}

bool Vorelle3::ReadReference(const UT_String& path, Vorelle3CurveRecord& curve)
{
  return ReadCurve(path, ECurveFileType::kReference, curve);
}

bool Vorelle3::ReadCurve(const UT_String& path, ECurveFileType type, Vorelle3CurveRecord& curve)
{
  std::vector<double> freq, mag;
  const ECurveFileStatus status = ReadCurveFile(path.Get(), type, curve.count, freq, mag);
  if (status != ECurveFileStatus::kOK) {
    if (const char* text = CurveFileMessage(status))
      PostMessage(text, "Error");
    return false;
  }
  // A reference that cannot steer the filter is refused as a wrong file, so
  // the one in use stays.
  if (type == ECurveFileType::kReference &&
      ReferenceProblem(freq.data(), mag.data(), unsigned(mag.size())) != EReferenceProblem::kNone) {
    PostMessage("Wrong File", "Error");
    return false;
  }
  // The audio thread may be reading this record.
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  std::copy(freq.begin(), freq.end(), curve.freq);
  std::copy(mag.begin(), mag.end(), curve.mag);
  return true;
}
