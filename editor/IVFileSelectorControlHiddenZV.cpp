// The hidden file selector.

#include "IVFileSelectorControlHiddenZV.h"

#include "IGraphics.h"
#include "IVHiddenControlsZV.h"

namespace plugin::igraphics {

IVFileSelectorControlHiddenZV::IVFileSelectorControlHiddenZV(const IRECT& bounds, int msgTag, int action,
                                                             const char* folder, const char* extensions, int preMsgTag)
: IControl(bounds, -1), mFolder(folder ? folder : ""), mExtensions(extensions ? extensions : ""), mAction(action),
  mMsgTag(msgTag), mPreMsgTag(preMsgTag)
{
}

void IVFileSelectorControlHiddenZV::OnMouseDown(float, float, const IMouseMod&)
{
  if (mAction != kOpen && mAction != kSave)
    return;
  mFileName.Set("");
  SendMessageToPlugin(*this, mPreMsgTag);
  if (IGraphics* g = GetUI()) {
    // A cancel leaves the folder as it was; a choice moves it to the file's.
    g->PromptForFile(mFileName, mFolder, mAction, mExtensions.Get());
  }
  // Sent after a cancel too: the plug-in ignores an empty path.
  SendMessageToPlugin(*this, mMsgTag);
  SetDirty(true, -1);
}

} // namespace plugin::igraphics
