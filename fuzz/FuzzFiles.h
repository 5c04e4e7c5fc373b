#pragma once
// What the targets share: a private folder per process (removed at exit)
// to hand bytes to readers that take a path, and how a broken invariant
// stops the run.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzzsupport {

// Prints why and stops: libFuzzer keeps the input that led here.
[[noreturn]] inline void Fail(const char* what, int index = -1)
{
  if (index >= 0)
    std::fprintf(stderr, "invariant broken: %s (%d)\n", what, index);
  else
    std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// A folder of this process, in memory where the machine has /dev/shm. A run
// that stops on a finding skips the exit handlers, so folders of processes
// that are gone are removed when the next one starts. The path is never
// destroyed: the exit handler that removes the folder runs after statics
// made before it are gone.
inline const std::filesystem::path& Folder()
{
  static const std::filesystem::path& folder = *new std::filesystem::path([] {
    namespace fs = std::filesystem;
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const std::string prefix = "vorelle3-fuzz-" + std::to_string(::getuid()) + "-";
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(prefix, 0) == 0 && !fs::exists("/proc/" + name.substr(prefix.size())))
        fs::remove_all(entry.path(), ec);
    }
    const fs::path mine = base / (prefix + std::to_string(::getpid()));
    fs::remove_all(mine, ec);
    if (!fs::create_directories(mine, ec))
      Fail("no temporary folder");
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(Folder(), ignored);
    });
    return mine;
  }());
  return folder;
}

// Writes the bytes to name inside the folder and returns its path.
inline std::string WriteFile(const char* name, const uint8_t* data, size_t size)
{
  const std::string path = (Folder() / name).string();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
    Fail("cannot write the input file");
  return path;
}

inline std::vector<uint8_t> ReadFile(const std::string& path)
{
  std::vector<uint8_t> bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
      bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  return bytes;
}

} // namespace fuzzsupport
