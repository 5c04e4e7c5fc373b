// Points, sizes and rectangles in double precision (LP64).
#pragma once

#include <MacTypes.h>

typedef double CGFloat;

struct CGPoint {
  CGFloat x;
  CGFloat y;
};
typedef struct CGPoint CGPoint;

struct CGSize {
  CGFloat width;
  CGFloat height;
};
typedef struct CGSize CGSize;

struct CGRect {
  CGPoint origin;
  CGSize size;
};
typedef struct CGRect CGRect;

static inline CGPoint CGPointMake(CGFloat x, CGFloat y)
{
  CGPoint p = {x, y};
  return p;
}
static inline CGSize CGSizeMake(CGFloat width, CGFloat height)
{
  CGSize s = {width, height};
  return s;
}
static inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height)
{
  CGRect r = {{x, y}, {width, height}};
  return r;
}
