#pragma once
// Which host application the plug-in runs in, derived from the host's name.

namespace plugin {

// The codes the plug-in tells apart by name; the table gives every code.
enum EHost {
  kHostUninit = -1, // not yet identified
  kHostUnknown = 0, // identified, but no table entry matched
  kHostReaper = 1,
  kHostProTools = 2,
  kHostFLStudio = 7,
  kHostAbletonLive = 9,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostStudioOne = 26,
  kHostWaveform = 38,
  kHostSadie = 46
};

// Code of the first table entry whose text occurs anywhere in the lower-cased
// name (at most 255 characters are looked at); 0 when none does or name is null.
// The table order matters: longer names are tested before their substrings.
int LookUpHost(const char* name);

} // namespace plugin
