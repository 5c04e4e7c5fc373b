#pragma once
// The maker's text read-out (custom-style label, peak value): unlike its
// base it takes hover, so its tooltip shows, and a changed text marks it
// dirty with its action run; the same text again changes nothing. The
// plug-in sets its text through the text-sink link. Main thread.

#include "ITextControls.h"
#include "Vorelle3EditorLinks.h"

namespace plugin::igraphics {

class IVTextControlZV : public ITextControl, public IEditorTextSink {
public:
  IVTextControlZV(const IRECT& bounds, const char* str, const IText& text = DEFAULT_TEXT,
                  const IColor& bg = COLOR_TRANSPARENT, bool setBoundsBasedOnStr = false);

  void SetStr(const char* str) override;
};

} // namespace plugin::igraphics
