#pragma once
// The process-wide cache of font bytes handed to the vector engine, shared
// by every back end of the process: entries under (name, 1.0), a count of
// the back ends alive, one recursive mutex. The last user to go empties it;
// program exit empties it too.

#include "IFontData.h"
#include "StaticStorage.h"

namespace plugin::igraphics {

class FontDataCache {
public:
  static StaticStorage<IFontData>& Storage();
  // Each takes the storage's mutex.
  static void AddUser();
  static void RemoveUser();
};

} // namespace plugin::igraphics
