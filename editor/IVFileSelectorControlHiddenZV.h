#pragma once
// An invisible area over a file button painted in the background: a press
// asks for a file to open or save, starting in the folder of the last
// choice, then sends its message tag to the plug-in, which reads the chosen
// path back (empty after a cancel). Main thread; the prompt blocks it.

#include "IControl.h"
#include "UT_String.h"
#include "Vorelle3EditorLinks.h"

namespace plugin::igraphics {

class IVFileSelectorControlHiddenZV : public IControl, public IEditorPathSource {
public:
  enum EAction { kOpen = 0, kSave = 1 };

  // extensions: space-separated, without dots. preMsgTag (when >= 0) is sent
  // before the prompt opens.
  IVFileSelectorControlHiddenZV(const IRECT& bounds, int msgTag, int action, const char* folder, const char* extensions,
                                int preMsgTag = -1);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void Draw(IGraphics&) override {}

  const char* GetChosenPath() const override { return mFileName.Get(); }
  const char* GetFolder() const { return mFolder.Get(); }

protected:
  UT_String mFolder;
  UT_String mFileName;
  UT_String mExtensions;
  int mAction;
  int mMsgTag;
  int mPreMsgTag;
};

} // namespace plugin::igraphics
