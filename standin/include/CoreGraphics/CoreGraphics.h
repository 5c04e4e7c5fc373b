#pragma once

#include <CoreGraphics/CGAffineTransform.h>
#include <CoreGraphics/CGDataProvider.h>
#include <CoreGraphics/CGDirectDisplay.h>
#include <CoreGraphics/CGFont.h>
#include <CoreGraphics/CGGeometry.h>
