// Displays and the system pointer: display coordinates have their origin at
// the top left of the main display, y downward.
#pragma once

#include <CoreGraphics/CGGeometry.h>

#include <cstddef>
#include <cstdint>

typedef uint32_t CGDirectDisplayID;
typedef unsigned int boolean_t;
typedef int32_t CGError;
enum : CGError { kCGErrorSuccess = 0, kCGErrorIllegalArgument = 1001 };

extern "C" {
__attribute__((visibility("default"))) CGDirectDisplayID CGMainDisplayID(void);
__attribute__((visibility("default"))) size_t CGDisplayPixelsHigh(CGDirectDisplayID display);
__attribute__((visibility("default"))) size_t CGDisplayPixelsWide(CGDirectDisplayID display);
// Hiding nests: each hide needs a show.
__attribute__((visibility("default"))) CGError CGDisplayHideCursor(CGDirectDisplayID display);
__attribute__((visibility("default"))) CGError CGDisplayShowCursor(CGDirectDisplayID display);
__attribute__((visibility("default"))) CGError CGDisplayMoveCursorToPoint(CGDirectDisplayID display, CGPoint point);
__attribute__((visibility("default"))) CGError CGAssociateMouseAndMouseCursorPosition(boolean_t connected);
}
