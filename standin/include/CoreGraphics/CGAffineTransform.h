// Affine transforms: x' = a x + c y + tx, y' = b x + d y + ty.
#pragma once

#include <CoreGraphics/CGGeometry.h>

struct CGAffineTransform {
  CGFloat a, b, c, d;
  CGFloat tx, ty;
};
typedef struct CGAffineTransform CGAffineTransform;
