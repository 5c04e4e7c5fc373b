// The host's saved state from outside: the bytes are the chunk. Whatever is
// restored leaves every parameter finite and in range and saves as it
// restores; a refused chunk changes nothing.
#include "FuzzPlug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  static Vorelle3& plug = fuzzsupport::Plug();
  static fuzzsupport::Baseline baseline(plug);
  baseline.Restore();

  const std::vector<uint8_t> before = fuzzsupport::SavedState(plug);
  const plugin::IByteChunk chunk = fuzzsupport::Chunk(data, size);
  const int result = plug.UnserializeState(chunk, 0);
  fuzzsupport::CheckParams(plug);
  if (result < 0 && fuzzsupport::SavedState(plug) != before)
    fuzzsupport::Fail("a refused chunk changed the state");
  fuzzsupport::CheckStateStable(plug);
  return 0;
}
