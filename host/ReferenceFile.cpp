#include "ReferenceFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "AudioInput.h"

namespace host {

namespace {

// The reference file's layout: magic, version, count N, N frequencies and
// N linear magnitudes as little-endian doubles.
constexpr char kMagic[4] = {' ', 'F', 'E', 'R'};
constexpr char kFingerprintMagic[4] = {' ', 'L', 'R', 'V'};
constexpr uint32_t kVersion = 3;
constexpr size_t kHeaderBytes = 12;
// Far above any band setting's point count; a larger file is not read whole.
constexpr size_t kMaxBytes = size_t(1) << 20;
// The plug-in's use of a reference: the band it matches, the level at or
// below which it hears nothing, and the frames one analysis takes.
constexpr double kLowestHz = 10.0;
constexpr double kHighestHz = 22000.0;
constexpr double kFloorLevel = 6.309e-8;
constexpr long long kAnalysisFrame = 16384;

std::string Extension(const std::string& path) { return std::filesystem::path(path).extension().string(); }

uint32_t Word(const std::string& bytes, size_t at)
{
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i)
    v |= uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return v;
}

double Double(const std::string& bytes, size_t at)
{
  uint64_t v = 0;
  for (size_t i = 0; i < 8; ++i)
    v |= uint64_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  double d;
  std::memcpy(&d, &v, sizeof d);
  return d;
}

std::string Number(double v)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%g", v);
  return text;
}

std::string Head(const std::string& path, size_t limit)
{
  std::ifstream in(path, std::ios::binary);
  std::string bytes(limit, '\0');
  in.read(bytes.data(), std::streamsize(limit));
  bytes.resize(size_t(in.gcount()));
  return bytes;
}

// The points the plug-in matches at any rate: from 10 Hz, with the band up to
// the next point ending by 22 kHz. Only their levels steer its filter, and
// a level at or below its floor counts as none.
std::string UsablePointsProblem(const std::string& bytes, uint64_t count)
{
  const auto hz = [&](uint64_t i) { return Double(bytes, kHeaderBytes + 8 * i); };
  bool usable = false;
  for (uint64_t i = 0; i < count; ++i) {
    const double reach = i + 1 < count ? hz(i + 1) : hz(i);
    if (hz(i) < kLowestHz || reach > kHighestHz)
      continue;
    usable = true;
    if (Double(bytes, kHeaderBytes + 8 * (count + i)) > kFloorLevel)
      return "";
  }
  if (!usable)
    return "it holds no usable frequency: no point lies between " + Number(kLowestHz) + " Hz and " +
           Number(kHighestHz) + " Hz, so it would change nothing";
  return "it holds no signal the plug-in can use: no level at its usable frequencies lies above the plug-in's "
         "floor of " +
         Number(kFloorLevel);
}

std::string RefContentProblem(const std::string& path)
{
  const std::string bytes = Head(path, kMaxBytes + 1);
  if (bytes.size() > kMaxBytes)
    return "it is larger than any reference (" + std::to_string(kMaxBytes) + " bytes at most)";
  if (bytes.size() < kHeaderBytes)
    return "it is cut short: it holds " + std::to_string(bytes.size()) + " bytes";
  const uint64_t count = Word(bytes, 8);
  const uint64_t need = kHeaderBytes + 16 * count;
  if (bytes.size() < need)
    return "it is cut short: its " + std::to_string(count) + " points take " + std::to_string(need) +
           " bytes, and it holds " + std::to_string(bytes.size());
  bool signal = false;
  for (uint64_t i = 0; i < 2 * count; ++i) {
    const double v = Double(bytes, kHeaderBytes + 8 * i);
    const bool magnitude = i >= count;
    if (!std::isfinite(v) || (magnitude && v < 0.0))
      return std::string("it holds a ") + (magnitude ? "level" : "frequency") + " that is " +
             (std::isfinite(v) ? "negative" : "not a number");
    if (magnitude && v > FLT_MAX)
      return "it holds a level, " + Number(v) + ", beyond the largest a float holds (" + Number(FLT_MAX) + ")";
    signal = signal || (magnitude && v > 0.0);
  }
  if (!signal)
    return "it holds no signal: every level in it is 0";
  return UsablePointsProblem(bytes, count);
}

std::string RecordingContentProblem(const std::string& path)
{
  AudioInput input;
  if (std::string e = input.Open(path); !e.empty())
    return e;
  if (input.Frames() < kAnalysisFrame)
    return "it is " + std::to_string(input.Frames()) + (input.Frames() == 1 ? " sample" : " samples") +
           " long, and the plug-in needs at least " + std::to_string(kAnalysisFrame) +
           " (one analysis frame) to take a reference from a recording";
  constexpr unsigned kBlock = 4096;
  std::vector<float> left(kBlock), right(kBlock);
  float* channels[2] = {left.data(), right.data()};
  while (input.Position() < input.Frames())
    input.Read(kBlock, channels, 2);
  if (std::string e = input.ReadError(); !e.empty())
    return e;
  return input.Peak() > 0.f ? "" : "it holds no signal (the recording is silent)";
}

} // namespace

std::string ReferenceRefusal(const std::string& path, const std::string& reason)
{
  return "cannot use " + path + " as the reference: " + reason;
}

bool IsReferenceRecording(const std::string& path)
{
  const std::string ext = Extension(path);
  return ext == ".wav" || ext == ".aiff";
}

std::string CheckReferencePath(const std::string& path)
{
  struct stat st {};
  if (stat(path.c_str(), &st) != 0)
    return "cannot read the reference file " + path + ": " + std::strerror(errno);
  if (S_ISDIR(st.st_mode))
    return ReferenceRefusal(path, "it is a folder; give a .ref, .wav or .aiff file");
  if (!S_ISREG(st.st_mode))
    return ReferenceRefusal(path, "it is not a regular file (a pipe or device), and the plug-in reads a reference "
                                  "whole; save it to a file first");
  if (access(path.c_str(), R_OK) != 0)
    return "cannot read the reference file " + path + ": " + std::strerror(errno);
  // The plug-in compares the extension exactly and ignores any other.
  if (Extension(path) != ".ref" && !IsReferenceRecording(path))
    return ReferenceRefusal(path, "the plug-in loads a reference only from a file ending in .ref, .wav or .aiff, "
                                  "in small letters");
  return "";
}

std::string ReferenceReaderWords(const std::string& path)
{
  if (IsReferenceRecording(path)) {
    if (std::string problem = RecordingContentProblem(path); !problem.empty())
      return problem;
    // What remains the plug-in refuses a recording for is its spectrum.
    return "no level of its spectrum lies above the plug-in's floor of " + Number(kFloorLevel) +
           " (the recording is too quiet)";
  }
  if (Extension(path) != ".ref")
    return "";
  const std::string head = Head(path, kHeaderBytes);
  if (head.size() >= 4 && std::memcmp(head.data(), kFingerprintMagic, 4) == 0)
    return "Wrong File Type (it is a fingerprint file)";
  if (head.size() < 4 || std::memcmp(head.data(), kMagic, 4) != 0)
    return "Wrong File Type";
  if (head.size() < 8 || Word(head, 4) != kVersion)
    return "Wrong File Version";
  if (const std::string problem = RefContentProblem(path); !problem.empty())
    return "Wrong File; " + problem;
  return "Wrong File (not the plug-in's number of points)";
}

std::string CheckReferenceContent(const std::string& path)
{
  const std::string problem = IsReferenceRecording(path) ? RecordingContentProblem(path) : RefContentProblem(path);
  return problem.empty() ? "" : ReferenceRefusal(path, problem);
}

} // namespace host
