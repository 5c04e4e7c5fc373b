// Fingerprint and reference files from outside: the bytes are the file, read
// as both types with the plug-in's point count and with the count the file
// announces. A refused file leaves the outputs as they were; an accepted one
// gives finite values and writes back as the same bytes.
#include <cmath>
#include <cstring>
#include <vector>

#include "CurveFile.h"
#include "FuzzFiles.h"

namespace {

void Check(const std::string& path, const uint8_t* data, size_t size, ECurveFileType type, unsigned count)
{
  std::vector<double> freq(3, -7.0), mag(5, -9.0);
  const std::vector<double> freqBefore = freq, magBefore = mag;
  const ECurveFileStatus status = ReadCurveFile(path.c_str(), type, count, freq, mag);
  if (status != ECurveFileStatus::kOK) {
    if (freq != freqBefore || mag != magBefore)
      fuzzsupport::Fail("a refused curve file changed the outputs");
    if (status != ECurveFileStatus::kCannotOpen && !CurveFileMessage(status))
      fuzzsupport::Fail("a refusal without a message");
    return;
  }
  if (freq.size() != count || mag.size() != count)
    fuzzsupport::Fail("wrong number of points");
  for (unsigned i = 0; i < count; ++i) {
    if (!std::isfinite(freq[i]) || !std::isfinite(mag[i]))
      fuzzsupport::Fail("a value not finite", int(i));
  }
  const size_t used = size_t(kCurveFileHeaderBytes) + 16u * count;
  if (size < used)
    fuzzsupport::Fail("accepted fewer bytes than the count needs");

  Vorelle3CurveRecord record;
  record.Resize(int(count));
  std::copy(freq.begin(), freq.end(), record.freq);
  std::copy(mag.begin(), mag.end(), record.mag);
  const std::string out = (fuzzsupport::Folder() / "written.bin").string();
  if (!WriteCurveFile(out.c_str(), type, record))
    fuzzsupport::Fail("an accepted curve cannot be written");
  const std::vector<uint8_t> written = fuzzsupport::ReadFile(out);
  if (written.size() != used || std::memcmp(written.data(), data, used) != 0)
    fuzzsupport::Fail("read then write changes the bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  const std::string path = fuzzsupport::WriteFile("input.curve", data, size);
  uint32_t announced = 0;
  if (size >= 12)
    std::memcpy(&announced, data + 8, 4);
  for (ECurveFileType type : {ECurveFileType::kFingerprint, ECurveFileType::kReference}) {
    Check(path, data, size, type, 67);
    if (announced != 67 && announced <= (1u << 16))
      Check(path, data, size, type, announced);
  }
  return 0;
}
