#include "IMPlugPaths.h"

#include "PluginPaths.h"

namespace plugin {

void IMPlugPaths::InitPaths()
{
  mDataPath.Set("");
  mAUDataPath.Set("");

  AppSupportPath(mDataPath, false);
  mDataPath.Append("/");
  mDataPath.Append(kProductFolder);
  CreateFolder(mDataPath.Get());

  mAUDataPath.Set(mDataPath.Get());
  mAUDataPath.Append("/");
  mAUDataPath.Append(kAUFolder);
  CreateFolder(mAUDataPath.Get());
}

} // namespace plugin
