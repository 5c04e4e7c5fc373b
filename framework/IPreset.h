#pragma once
// One factory-preset slot: whether it holds a state, its name and the state.

#include <cstring>

#include "IByteChunk.h"

namespace plugin {

struct IPreset {
  static constexpr int kMaxNameLen = 256; // with the terminating NUL

  bool mInitialized = false;
  char mName[kMaxNameLen] = "empty";
  IByteChunk mChunk;

  // Copies at most kMaxNameLen - 1 characters; null counts as "".
  void SetName(const char* name)
  {
    const char* src = name ? name : "";
    const std::size_t n = strnlen(src, kMaxNameLen - 1);
    std::memcpy(mName, src, n);
    // Zero the rest so fixed-width name fields never carry an older name.
    std::memset(mName + n, 0, kMaxNameLen - n);
  }
};

} // namespace plugin
