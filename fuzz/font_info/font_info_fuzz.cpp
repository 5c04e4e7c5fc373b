// Feeds arbitrary bytes to the font-info reader as a font file: the first
// faces, the face search by style and the font data made from them. A face
// that parses must have its three tables inside the bytes, and the face the
// search returns must parse and carry the style asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "IFontData.h"
#include "IFontInfo.h"

using namespace plugin::igraphics;

namespace {

volatile unsigned gSink;

void Check(const IFontInfo& info, size_t size)
{
  if (!info.IsComplete()) {
    if (info.GetData() || info.GetUnitsPerEM() || info.GetAscender() || info.GetFamily().GetLength())
      std::abort();
    return;
  }
  if (info.GetHeadLocation() + 54 > size || info.GetHheaLocation() + 36 > size || info.GetNameLocation() + 6 > size)
    std::abort();
  plugin::UT_String text;
  for (int id = 0; id < 8; ++id) {
    info.GetNameString(id, text);
    gSink = gSink + unsigned(text.GetLength());
  }
  gSink = gSink + info.GetMacStyle() + info.GetUnitsPerEM() +
          unsigned(info.GetAscender() - info.GetDescender() + info.GetLineGap());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 24))
    return 0;
  const int n = static_cast<int>(size);
  for (int face = -1; face < 4; ++face)
    Check(IFontInfo(data, n, face), size);
  for (const char* style : {"", "Bold", "Regular"}) {
    const int face = IFontInfo::FindFace(data, n, "", style);
    if (face < 0)
      continue;
    const IFontInfo info(data, n, face);
    if (!info.IsComplete() || !info.GetStyle().GetLength() || (*style && std::strcmp(info.GetStyle().Get(), style)))
      std::abort();
    // The family it names finds a face of that family no later.
    const int sameFamily = IFontInfo::FindFace(data, n, info.GetFamily().Get(), style);
    if (sameFamily < 0 || sameFamily > face)
      std::abort();
  }
  const IFontData fontData(data, n, 0);
  if (fontData.GetSize() != n || (fontData.IsValid() && fontData.GetInfo().GetData() != fontData.Get()))
    std::abort();
  return 0;
}
