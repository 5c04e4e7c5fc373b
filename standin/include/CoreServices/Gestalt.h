// Operating-system facts by selector; the stand-in answers the system version.
#pragma once

#include <CoreServices/Components.h>

enum {
  gestaltSystemVersion = 0x73797376,      // 'sysv': 0x10MB (BCD, minor and bug-fix capped at 9)
  gestaltSystemVersionMajor = 0x73797331, // 'sys1'
  gestaltSystemVersionMinor = 0x73797332, // 'sys2'
  gestaltSystemVersionBugFix = 0x73797333 // 'sys3'
};

enum { gestaltUndefSelectorErr = -5551 };

CS_EXPORT OSErr Gestalt(OSType selector, SInt32* response);
