// Status codes shared across the platform.
#pragma once

enum { paramErr = -50, memFullErr = -108, coreFoundationUnknownErr = -4960, unimpErr = -4 };
