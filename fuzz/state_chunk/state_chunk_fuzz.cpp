// The host's saved state from outside: the bytes are the chunk. Whatever is
// restored leaves every parameter finite and in range and saves as it
// restores; the answer is never a position past the bytes; a chunk refused
// before its parameters changes nothing (one cut later keeps what it holds
// whole, as the reader says).
#include <cstring>

#include "FuzzPlug.h"

namespace {

// The header up to the XML text's length word, read from the bytes.
bool ReachesParameters(const uint8_t* data, size_t size)
{
  const auto word = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, data + at, 4);
    return v;
  };
  return size >= 28 && std::memcmp(data, "RIFF", 4) == 0 && word(8) == 1 && std::memcmp(data + 12, "ZQCM", 4) == 0 &&
         std::memcmp(data + 16, "ZQCS", 4) == 0 && word(20) != 0 && word(24) == 1;
}

} // namespace

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
  if (result > int(size))
    fuzzsupport::Fail("a position past the bytes given");
  if (result < 0 && !ReachesParameters(data, size) && fuzzsupport::SavedState(plug) != before)
    fuzzsupport::Fail("a chunk refused before its parameters changed the state");
  fuzzsupport::CheckStateStable(plug);
  return 0;
}
