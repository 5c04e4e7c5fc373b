#pragma once
// Small file helpers of the host tests: audio written and read with
// libsndfile, whole files as bytes, and the names left in a folder.

#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace hosttest {

// Interleaved samples at rate; false when libsndfile refuses.
inline bool WriteAudio(const std::string& path, const std::vector<float>& samples, int channels, int rate,
                       int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file)
    return false;
  sf_writef_float(file, samples.data(), sf_count_t(samples.size()) / channels);
  return sf_close(file) == 0;
}

inline std::vector<float> ReadAudio(const std::string& path, SF_INFO& info)
{
  info = SF_INFO{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
    return {};
  std::vector<float> samples(size_t(info.frames * info.channels));
  sf_readf_float(file, samples.data(), info.frames);
  sf_close(file);
  return samples;
}

inline std::string ReadBytes(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::set<std::string> Names(const std::filesystem::path& folder)
{
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

} // namespace hosttest
