// The maker's text read-out.

#include "IVTextControlZV.h"

#include <cstring>

namespace plugin::igraphics {

IVTextControlZV::IVTextControlZV(const IRECT& bounds, const char* str, const IText& text, const IColor& bg,
                                 bool setBoundsBasedOnStr)
: ITextControl(bounds, str, text, bg, setBoundsBasedOnStr)
{
  mIgnoreMouse = false;
}

void IVTextControlZV::SetStr(const char* str)
{
  if (!str)
    str = "";
  if (std::strcmp(str, mStr.Get()) == 0)
    return;
  ITextControl::SetStr(str);
  SetDirty(true, -1);
}

} // namespace plugin::igraphics
