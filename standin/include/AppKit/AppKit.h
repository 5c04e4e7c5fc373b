// Umbrella header of the AppKit stand-in.
#pragma once

#include <AppKit/NSView.h>
#include <Foundation/Foundation.h>
