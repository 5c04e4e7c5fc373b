#pragma once
// One factory-preset slot: whether it holds a state, its name and the state.

#include <cstring>

#include "IByteChunk.h"

namespace plugin {

struct IPreset
{
  static constexpr int kMaxNameLen = 256; // with the terminating NUL

  bool mInitialized = false;
  char mName[kMaxNameLen] = "empty";
  IByteChunk mChunk;

  // Copies at most kMaxNameLen - 1 characters; null counts as "".
  void SetName(const char* name)
  {
    std::strncpy(mName, name ? name : "", kMaxNameLen - 1);
    mName[kMaxNameLen - 1] = '\0';
  }
};

} // namespace plugin
