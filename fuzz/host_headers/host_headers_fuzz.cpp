// Audio and reference files as the host reads them before the plug-in does:
// the bytes are the file, named .wav and .ref. The header walk never claims
// more frames than a file the host accepts holds, nor other frames when the
// file begins part-way into another; a reference the host finds sound holds
// every point its count announces.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "AudioInput.h"
#include "FuzzFiles.h"
#include "HeaderFrames.h"
#include "ReferenceFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 16))
    return 0;
  const std::string wav = fuzzsupport::WriteFile("input.wav", data, size);
  const long long declared = host::HeaderFrames(wav);
  if (declared < -1)
    fuzzsupport::Fail("a frame count below -1");
  // The same file found part-way into another (a standard input a reader
  // has already taken from) declares the same.
  std::string behind(size % 13, '\0');
  behind.append(reinterpret_cast<const char*>(data), size);
  const std::string later = fuzzsupport::WriteFile("later.bin", reinterpret_cast<const uint8_t*>(behind.data()), behind.size());
  if (const int fd = open(later.c_str(), O_RDONLY); fd >= 0) {
    const long long there = host::HeaderFrames(fd, (long long)(size % 13));
    close(fd);
    if (there != declared)
      fuzzsupport::Fail("a header read part-way into a file says otherwise");
  }
  host::AudioInput input;
  if (input.Open(wav).empty() && declared > input.Frames())
    fuzzsupport::Fail("a file cut short was accepted");
  host::CheckReferenceContent(wav);

  const std::string ref = fuzzsupport::WriteFile("input.ref", data, size);
  if (host::ReferenceReaderWords(ref).empty())
    fuzzsupport::Fail("a .ref refusal without words");
  if (host::CheckReferenceContent(ref).empty()) {
    uint32_t count = 0;
    if (size >= 12)
      std::memcpy(&count, data + 8, 4);
    if (size < 12 || size < 12 + 16 * size_t(count))
      fuzzsupport::Fail("a reference shorter than its points was accepted");
  }
  return 0;
}
