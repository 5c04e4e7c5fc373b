#pragma once
// The plug-in's own data folders: <application support>/Vorelle3 and its
// "AU" sub-folder, made on first use. A mix-in of the plug-in class; main
// thread, at construction.

#include "UT_String.h"

namespace plugin {

class IMPlugPaths {
public:
  static constexpr const char* kProductFolder = "Vorelle3";
  static constexpr const char* kAUFolder = "AU";

  // Builds both paths and creates whichever folder is missing (only the last
  // component; without application support nothing is made and nothing is
  // reported: later file operations there fail on their own).
  void InitPaths();

  const char* GetDataPath() const { return mDataPath.Get(); }
  const char* GetAUDataPath() const { return mAUDataPath.Get(); }

protected:
  UT_String mDataPath;
  UT_String mAUDataPath;
};

} // namespace plugin
