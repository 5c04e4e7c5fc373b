// Audio files imported as a curve: the bytes are the file. An import either
// refuses with a message or gives an analyser whose spectrum maps onto the
// curve grid as finite points; the plug-in's state is untouched either way.
#include <cmath>

#include "FuzzPlug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 18))
    return 0;
  static Vorelle3& plug = fuzzsupport::Plug();
  static const std::vector<uint8_t> state = fuzzsupport::SavedState(plug);

  const std::string path = fuzzsupport::WriteFile("input.wav", data, size);
  double rate = -1.0;
  std::unique_ptr<CMFFT> analyser = plug.ImportAudioFile(path.c_str(), &rate);
  if (analyser) {
    if (!(rate >= 1.0 && rate <= 1.0e6))
      fuzzsupport::Fail("import rate out of range");
    std::vector<double> grid;
    if (!plug.MapAnalyserOntoGrid(*analyser, rate, grid))
      fuzzsupport::Fail("an import without a spectrum");
    if (grid.empty())
      fuzzsupport::Fail("an empty curve");
    for (double v : grid) {
      if (!std::isfinite(v))
        fuzzsupport::Fail("an accepted import gives a curve point that is not finite");
    }
  } else if (rate != -1.0) {
    fuzzsupport::Fail("a refused import set the rate");
  }
  if (fuzzsupport::SavedState(plug) != state)
    fuzzsupport::Fail("an import changed the state");
  return 0;
}
