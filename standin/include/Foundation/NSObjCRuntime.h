// Scalar types of the Objective-C side, expressed in C++.
#pragma once

#include <MacTypes.h>

typedef signed char BOOL;
#ifndef YES
#define YES ((BOOL)1)
#define NO ((BOOL)0)
#endif
typedef long NSInteger;
typedef unsigned long NSUInteger;

enum { NSNotFound = 0x7fffffffffffffffL };

typedef struct _NSRange {
  NSUInteger location;
  NSUInteger length;
} NSRange;
