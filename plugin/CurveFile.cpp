#include "CurveFile.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "ReplaceFile.h"

static_assert(std::endian::native == std::endian::little, "curve files are stored in host order, little-endian");

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool ReadWord(std::FILE* f, uint32_t& v) { return std::fread(&v, sizeof v, 1, f) == 1; }

bool ReadValues(std::FILE* f, std::vector<double>& out, unsigned n)
{
  out.resize(n);
  return n == 0 || std::fread(out.data(), sizeof(double), n, f) == n;
}

bool AllFinite(const std::vector<double>& v)
{
  for (double x : v) {
    if (!std::isfinite(x))
      return false;
  }
  return true;
}

} // namespace

const char* CurveFileMagic(ECurveFileType type) { return type == ECurveFileType::kFingerprint ? " LRV" : " FER"; }

const char* CurveFileMessage(ECurveFileStatus status)
{
  switch (status) {
  case ECurveFileStatus::kWrongType: return "Wrong File Type";
  case ECurveFileStatus::kWrongVersion: return "Wrong File Version";
  case ECurveFileStatus::kWrongCount:
  case ECurveFileStatus::kTruncated:
  case ECurveFileStatus::kNotFinite: return "Wrong File";
  default: return nullptr;
  }
}

bool WriteCurveFile(const char* path, ECurveFileType type, const Vorelle3CurveRecord& curve)
{
  if (curve.count > 0 && (!curve.freq || !curve.mag))
    return false;
  return plugin::ReplaceFile(path, [&](std::FILE* raw) {
    const uint32_t header[2] = {kCurveFileVersion, curve.count};
    bool ok = std::fwrite(CurveFileMagic(type), 1, 4, raw) == 4 && std::fwrite(header, sizeof header, 1, raw) == 1;
    if (curve.count > 0) {
      ok = ok && std::fwrite(curve.freq, sizeof(double), curve.count, raw) == curve.count &&
           std::fwrite(curve.mag, sizeof(double), curve.count, raw) == curve.count;
    }
    return ok;
  });
}

ECurveFileStatus ReadCurveFile(const char* path, ECurveFileType type, unsigned expectedCount, std::vector<double>& freq,
                               std::vector<double>& mag)
{
  std::FILE* raw = (path && *path) ? std::fopen(path, "rb") : nullptr;
  if (!raw)
    return ECurveFileStatus::kCannotOpen;
  FilePtr file(raw);
  char magic[4] = {};
  if (std::fread(magic, 1, 4, raw) != 4 || std::memcmp(magic, CurveFileMagic(type), 4) != 0)
    return ECurveFileStatus::kWrongType;
  uint32_t version = 0;
  if (!ReadWord(raw, version) || version != kCurveFileVersion)
    return ECurveFileStatus::kWrongVersion;
  uint32_t count = 0;
  if (!ReadWord(raw, count) || count != expectedCount)
    return ECurveFileStatus::kWrongCount;
  std::vector<double> f, m;
  if (!ReadValues(raw, f, count) || !ReadValues(raw, m, count))
    return ECurveFileStatus::kTruncated;
  if (!AllFinite(f) || !AllFinite(m))
    return ECurveFileStatus::kNotFinite;
  freq.swap(f);
  mag.swap(m);
  return ECurveFileStatus::kOK;
}
