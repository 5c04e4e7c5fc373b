// Number and UTF-8 text from outside (preset files, saved states, typed
// parameter values): the locale-free parser must read exactly what "%lf"
// reads in the "C" locale, and the Latin-1 fallback must always give
// well-formed UTF-8 that a second pass leaves alone.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "LocaleFreeNumber.h"
#include "Utf8Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  const char* s = text.c_str(); // ends at the first zero byte, as the readers do

  double ours = 0.0, theirs = 0.0;
  const bool ok = plugin::ParseDouble(s, ours);
  const bool scanned = std::sscanf(s, "%lf", &theirs) == 1;
  if (ok != scanned)
    std::abort();
  if (ok && !(std::isnan(ours) && std::isnan(theirs)) && std::memcmp(&ours, &theirs, sizeof ours) != 0)
    std::abort();

  const std::string utf8 = plugin::AsUtf8(text.data(), text.size());
  if (!plugin::IsWellFormedUtf8(utf8.data(), utf8.size()))
    std::abort();
  if (plugin::AsUtf8(utf8.data(), utf8.size()) != utf8)
    std::abort();
  return 0;
}
