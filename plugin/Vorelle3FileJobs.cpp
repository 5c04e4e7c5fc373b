// Audio files queued as fingerprint, reference or conversion: a job waits
// one idle tick (so the editor redraws first), then runs on the main thread.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "IGraphics.h"
#include "UsableReference.h"
#include "Vorelle3.h"
#include "Vorelle3FilePaths.h"

using namespace plugin;
using plugin::igraphics::IGraphics;

namespace {

// The alert of a file the plug-in cannot load, as for a curve file.
constexpr const char* kLoadRefused = "Error Load";

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

void Vorelle3::RunPendingFileJob()
{
  const FileJobQueue::EKind kind = mFileJobs.TakeDue();
  if (kind == FileJobQueue::kNone)
    return;
  const char* path = mFileJobs.Path();
  if (kind == FileJobQueue::kConvert)
    ConvertAudioFile(path);
  else if (kind == FileJobQueue::kFingerprint)
    LoadFingerprintAndUpdate(path, &mCurves.Fingerprint());
  else
    LoadReferenceAndUpdate(path, &mCurves.CustomReference());
  if (IGraphics* ui = GetUI())
    ui->ShowMessageBox(mFileJobs.Path(), mImportStatus.Get(), 0);
  mFileJobs.Finish();
}

bool Vorelle3::RefuseAsReference(int frames, const double* freq, const double* mag, unsigned n)
{
  // A recording shorter than one analysis frame is looped: its spectrum is
  // the lines of its own period, not the material's.
  if (frames >= mFFTSize && ReferenceProblem(freq, mag, n) == EReferenceProblem::kNone)
    return false;
  mImportStatus.Set(kLoadRefused);
  return true;
}

bool Vorelle3::ImportIntoCurve(const char* path, Vorelle3CurveRecord* target, bool asReference)
{
  if (!path || !*path || !target)
    return false;
  double fs = 0.0;
  int frames = 0;
  std::unique_ptr<CMFFT> analyser = ImportAudioFile(path, &fs, &frames);
  if (!analyser)
    return false;
  std::vector<double> mapped;
  if (!MapAnalyserOntoGrid(*analyser, fs, mapped))
    return false;
  const size_t n = std::min(mapped.size(), size_t(target->count));
  if (asReference && RefuseAsReference(frames, target->freq, mapped.data(), unsigned(n)))
    return false;
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  std::copy(mapped.begin(), mapped.begin() + long(n), target->mag);
  return true;
}

bool Vorelle3::LoadFingerprintAndUpdate(const char* path, Vorelle3CurveRecord* target)
{
  if (!ImportIntoCurve(path, target, false))
    return false;
  mCurves.SetFingerprintValid(true);
  ComputeCurves();
  UpdateCustomStyleLabel();
  return true;
}

bool Vorelle3::LoadReferenceAndUpdate(const char* path, Vorelle3CurveRecord* target)
{
  if (!ImportIntoCurve(path, target, true))
    return false;
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mCurves.SetCustomRefName(FileNameOf(path));
    mCurves.SetCustomRefValid(true);
  }
  ComputeCurves();
  UpdateCustomStyleLabel();
  return true;
}
