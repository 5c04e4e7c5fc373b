// The editor's file and preset commands. Main thread.
#include <cstring>

#include "IControl.h"
#include "IGraphics.h"
#include "Vorelle3.h"
#include "Vorelle3EditorLinks.h"
#include "Vorelle3FilePaths.h"

using namespace plugin;
using plugin::igraphics::IControl;
using plugin::igraphics::IGraphics;

namespace {

constexpr int kPresetMenuTag = 3;
constexpr int kJobFingerprint = 4;
constexpr int kJobReference = 7;

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
  if (!ui)
    return;
  const int ctrl = tag == 23 ? mCtrlLoadFingerprint
                   : tag == 24 ? mCtrlSaveFingerprint
                   : tag == 25 ? mCtrlLoadReference
                               : mCtrlSaveReference;
  const char* path = ChosenPath(ui->GetControl(ctrl));
  if (!*path)
    return;

  if (tag == 23 || tag == 25) {
    FilePathParts parts;
    SplitFilePath(path, parts);
    const bool audio = !std::strcmp(parts.extension, ".wav") || !std::strcmp(parts.extension, ".aiff");
    if (audio)
      QueueFileJob(tag == 23 ? kJobFingerprint : kJobReference, path);
    UpdateCustomStyleLabel();
  }
}

void Vorelle3::PresetAction(int)
{
  IGraphics* ui = GetUI();
  if (!ui)
    return;
  (void)ChosenPath(ui->GetControlWithTag(kPresetMenuTag));
}

void Vorelle3::RebuildPresetList()
{
  mPresetList.Empty(true);
}

bool Vorelle3::ConvertAudioFile(const char* path)
{
  FilePathParts parts;
  SplitFilePath(path, parts);
  return ImportAudioFile(path) != nullptr;
}
