#pragma once
// The editor's two functions, chosen here because only the composition root
// may name both the platform's graphics class and the editor layout.

#include "Config.h"

// Fills the make-graphics and layout functions of the instance record.
void InstallEditor(plugin::InstanceInfo& info);
