#pragma once
// The one place that chooses the plug-in class the module builds; its
// library is linked in module/CMakeLists.txt.

#include "Vorelle3.h"

using PlugClass = Vorelle3;
