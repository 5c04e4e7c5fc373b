#pragma once
// The one place that chooses the plug-in class the module builds. To build
// the product class: include its header here, name it below, and link its
// library in framework/au/CMakeLists.txt (VORELLE3_PLUG_LIBS).

#include "Vorelle3.h"

using PlugClass = Vorelle3;
