// Audio files queued as fingerprint, reference or conversion: a job waits
// one idle tick (so the editor redraws first), then runs on the main thread.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "IGraphics.h"
#include "Vorelle3.h"
#include "Vorelle3FilePaths.h"

using namespace plugin;
using plugin::igraphics::IGraphics;

namespace {

// The queued state of each kind; transient and running follow at +1, +2.
constexpr int kJobConvert = 1;
constexpr int kJobFingerprint = 4;
constexpr int kJobReference = 7;

int QueuedKind(int state)
{
  for (int k : {kJobConvert, kJobFingerprint, kJobReference}) {
    if (state == k || state == k + 1)
      return k;
  }
  return 0;
}

} // namespace

void SplitFilePath(const char* path, FilePathParts& parts)
{
  parts = FilePathParts();
  if (!path)
    return;
  const char* slash = std::strrchr(path, '/');
  const char* name = slash ? slash + 1 : path;
  const char* dot = std::strrchr(name, '.');
  const int folderLen = int(name - path);
  const int nameLen = dot ? int(dot - name) : int(std::strlen(name));
  std::snprintf(parts.folder, sizeof(parts.folder), "%.*s", folderLen, path);
  std::snprintf(parts.name, sizeof(parts.name), "%.*s", nameLen, name);
  std::snprintf(parts.extension, sizeof(parts.extension), "%s", dot ? dot : "");
}

const char* FileNameOf(const char* path)
{
  if (!path)
    return "";
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\')
      name = p + 1;
  }
  return name;
}

void Vorelle3::QueueFileJob(int state, const char* path)
{
  mJobState = state;
  mJobFilePath.Set(path);
}

void Vorelle3::RunPendingFileJob()
{
  const int kind = QueuedKind(mJobState);
  if (!kind)
    return;
  if (mJobState == kind) {
    if (mJobWaitTicks++ < 1)
      return;
    mJobWaitTicks = 0;
    mJobState = kind + 1;
  }
  mJobState = kind + 2;
  const char* path = mJobFilePath.Get();
  if (kind == kJobConvert)
    ConvertAudioFile(path);
  else if (kind == kJobFingerprint)
    LoadFingerprintAndUpdate(path, mFingerprint.get());
  else
    LoadReferenceAndUpdate(path, mCustomReference.get());
  if (IGraphics* ui = GetUI())
    ui->ShowMessageBox(mJobFilePath.Get(), mImportStatus.Get(), 0);
  mJobState = 0;
  mJobFilePath.Set("");
}

bool Vorelle3::ImportIntoCurve(const char* path, Vorelle3CurveRecord* target)
{
  if (!path || !*path || !target)
    return false;
  double fs = 0.0;
  std::unique_ptr<CMFFT> analyser = ImportAudioFile(path, &fs);
  if (!analyser)
    return false;
  std::vector<double> mapped;
  if (!MapAnalyserOntoGrid(*analyser, fs, mapped))
    return false;
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  const size_t n = std::min(mapped.size(), size_t(target->count));
  std::copy(mapped.begin(), mapped.begin() + long(n), target->mag);
  return true;
}

bool Vorelle3::LoadFingerprintAndUpdate(const char* path, Vorelle3CurveRecord* target)
{
  if (!ImportIntoCurve(path, target))
    return false;
  mFingerprintValid = true;
  ComputeCurves();
  UpdateCustomStyleLabel();
  return true;
}

bool Vorelle3::LoadReferenceAndUpdate(const char* path, Vorelle3CurveRecord* target)
{
  if (!ImportIntoCurve(path, target))
    return false;
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mCustomRefName.Set(FileNameOf(path));
    mCustomRefValid = true;
  }
  ComputeCurves();
  UpdateCustomStyleLabel();
  return true;
}
