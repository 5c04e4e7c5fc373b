// The editor's file and preset commands. Main thread.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "IControl.h"
#include "IGraphics.h"
#include "UsableReference.h"
#include "Vorelle3.h"
#include "Vorelle3EditorLinks.h"
#include "Vorelle3FilePaths.h"

using namespace plugin;
using plugin::igraphics::IControl;
using plugin::igraphics::IGraphics;

namespace {

constexpr int kPresetMenuTag = 3;
constexpr int kTagLoad = 14;
constexpr int kTagSaveDefault = 16;
constexpr int kTagScanPresets = 17;
constexpr const char* kConvertWriteFailed = "Error: files could not be written!";

const char* ChosenPath(IControl* control)
{
  auto* source = dynamic_cast<IEditorPathSource*>(control);
  const char* path = source ? source->GetChosenPath() : nullptr;
  return path ? path : "";
}

} // namespace

void Vorelle3::FileAction(int tag)
{
  if (mActivityState == kCapture) {
    PostMessage("Capture running", "Error Save");
    return;
  }
  IGraphics* ui = GetUI();
  if (!ui || !mControlsAttached)
    return;
  const int ctrl = tag == 23   ? mCtrlLoadFingerprint
                   : tag == 24 ? mCtrlSaveFingerprint
                   : tag == 25 ? mCtrlLoadReference
                               : mCtrlSaveReference;
  const UT_String path(ChosenPath(ui->GetControl(ctrl)));
  if (path.GetLength() == 0)
    return;

  if (tag == 24 || tag == 26) {
    // Saving is refused silently while no fingerprint exists.
    if (!mCurves.FingerprintValid())
      return;
    Vorelle3CurveRecord fingerprint;
    {
      std::lock_guard<std::recursive_mutex> lock(mMutex);
      fingerprint = mCurves.Fingerprint();
    }
    // A reference file is the fingerprint saved under the other type; one
    // that no reference reader would take (a silent capture) is not written.
    const bool usable =
      ReferenceProblem(fingerprint.freq, fingerprint.mag, fingerprint.count) == EReferenceProblem::kNone;
    const bool ok = tag == 24 ? WriteFingerprint(path, fingerprint) : usable && WriteReference(path, fingerprint);
    if (!ok)
      PostMessage(path.Get(), "Error Save");
    return;
  }

  FilePathParts parts;
  SplitFilePath(path.Get(), parts);
  const bool audio = !std::strcmp(parts.extension, ".wav") || !std::strcmp(parts.extension, ".aiff");
  if (tag == 23) {
    if (!std::strcmp(parts.extension, ".vrl")) {
      if (ReadFingerprint(path, mCurves.Fingerprint())) {
        mCurves.SetFingerprintValid(true);
        ComputeCurves();
      } else {
        PostMessage(path.Get(), "Error Load");
      }
    } else if (audio) {
      mFileJobs.Queue(FileJobQueue::kFingerprint, path.Get());
    }
  } else {
    if (!std::strcmp(parts.extension, ".ref")) {
      if (ReadReference(path, mCurves.CustomReference())) {
        {
          std::lock_guard<std::recursive_mutex> lock(mMutex);
          mCurves.SetCustomRefName(FileNameOf(path.Get()));
          mCurves.SetCustomRefValid(true);
        }
        ComputeCurves();
      } else {
        PostMessage(path.Get(), "Error Load");
      }
    } else if (audio) {
      mFileJobs.Queue(FileJobQueue::kReference, path.Get());
    }
  }
  UpdateCustomStyleLabel();
}

void Vorelle3::PresetAction(int tag)
{
  IGraphics* ui = GetUI();
  if (!ui)
    return;
  if (tag == kTagSaveDefault) {
    const UT_String folder(GetAUDataPath());
    if (!SaveDefaultPreset(folder))
      PostMessage(DefaultPresetPath(folder).Get(), "Error Save");
    return;
  }
  if (tag == kTagScanPresets) {
    RebuildPresetList();
    return;
  }
  // The preset menu is looked up only when it was attached.
  const UT_String path(ChosenPath(ui->GetControlWithTag(kPresetMenuTag)));
  if (path.GetLength() == 0)
    return;
  if (tag == kTagLoad) {
    UT_String name;
    LoadPresetFileWithData(path, name, ELoadMode::kLoad);
  } else if (!SavePresetFile(path, PresetNameFromPath(path.Get()))) {
    PostMessage(path.Get(), "Error Save");
  }
}

void Vorelle3::RebuildPresetList()
{
  mPresetList.Empty(true);
  const char* folder = GetDataPath();
  struct dirent** entries = nullptr;
  const int n = folder && *folder ? scandir(folder, &entries, nullptr, alphasort) : -1;
  for (int i = 0; i < n; ++i) {
    const char* name = entries[i]->d_name;
    UT_String path(folder);
    path.Append("/");
    path.Append(name);
    struct stat st;
    if (std::strstr(name, kPresetExtension) && stat(path.Get(), &st) == 0 && S_ISREG(st.st_mode)) {
      UT_String presetName;
      if (LoadPresetFileWithData(path, presetName, ELoadMode::kValidate)) {
        auto* preset = new IPreset;
        preset->SetName("empty");
        ApplyPresetXML(preset, path);
        if (!mPresetList.Add(preset))
          delete preset;
      }
    }
    std::free(entries[i]);
  }
  std::free(entries);
}

bool Vorelle3::ConvertAudioFile(const char* path)
{
  FilePathParts parts;
  SplitFilePath(path, parts);
  double fs = 0.0;
  int frames = 0;
  std::unique_ptr<CMFFT> analyser = ImportAudioFile(path, &fs, &frames);
  if (!analyser)
    return false;
  Vorelle3CurveRecord curve;
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    curve = mCurves.Fingerprint();
  }
  std::vector<double> mapped;
  if (!MapAnalyserOntoGrid(*analyser, fs, mapped))
    return false;
  std::copy(mapped.begin(), mapped.begin() + long(std::min(mapped.size(), size_t(curve.count))), curve.mag);
  // Its reference file must load like the recording itself would.
  if (RefuseAsReference(frames, curve.freq, curve.mag, curve.count))
    return false;

  UT_String sibling[3];
  for (int i = 0; i < 3; ++i)
    sibling[i].SetFormatted(3 * 1024, "%s%s%s", parts.folder, parts.name, i == 0 ? ".vrl" : i == 1 ? ".ref" : ".cpp");
  const bool ok = WriteFingerprint(sibling[0], curve) && WriteReference(sibling[1], curve) &&
                  WriteRefDataSource(sibling[2], UT_String(parts.name), analyser.get(), fs);
  // A file that could not be written must not be reported as written.
  if (!ok)
    mImportStatus.Set(kConvertWriteFailed);
  return ok;
}
