// Absolute time: seconds since 1 January 2001. In this stand-in the clock is
// virtual: it moves only when the host or a test advances it.
#pragma once

#include <CoreFoundation/CFBase.h>

typedef double CFTimeInterval;
typedef CFTimeInterval CFAbsoluteTime;

CF_EXPORT const CFTimeInterval kCFAbsoluteTimeIntervalSince1970;
CF_EXPORT CFAbsoluteTime CFAbsoluteTimeGetCurrent(void);
