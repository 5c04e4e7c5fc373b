#pragma once
// Writing a file so that a failure never costs the previous one: the bytes go
// to a new file beside the target (same folder, so the rename cannot cross
// file systems), which is flushed, synced and closed, and only then renamed
// over the target. Any failure (a full disk, a size limit, a folder that
// cannot be written) removes the new file and leaves the target as it was.
// An existing target's permission bits are kept; a new one gets 0666 less
// the process's umask, as fopen would give it. Any thread; two writers of
// one target race only for which complete file wins.
#include <cstddef>
#include <cstdio>
#include <functional>

namespace plugin {

// write() fills the open file; false from it, or any write, flush or close
// error, fails the whole operation. False for a null or empty path.
[[nodiscard]] bool ReplaceFile(const char* path, const std::function<bool(std::FILE*)>& write);

// The same with a byte buffer as the whole content.
[[nodiscard]] bool ReplaceFile(const char* path, const void* data, size_t size);

} // namespace plugin
