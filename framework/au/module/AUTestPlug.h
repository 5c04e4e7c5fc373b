#pragma once
// Stand-in plug-in class for the module until the product class exists: the
// ten-parameter stereo test plug-in on the Audio Unit binding, reporting the
// product's bundle identifier so the bundle's view factory is found.

#include "IPluginAU.h"
#include "TestPlug.h"

class AUTestPlug : public plugin::IPluginAU
{
public:
  explicit AUTestPlug(const plugin::InstanceInfo& info)
  : plugin::IPluginAU(info, MakeConfig())
  {
    testsupport::DeclareTestPlug(*this);
  }

  static plugin::Config MakeConfig()
  {
    plugin::Config config = testsupport::TestPlugConfig();
    config.bundleID = "com.Zelvant.audiounit.Vorelle3";
    return config;
  }
};
