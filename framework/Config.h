#pragma once
// The record a plug-in's constructor fills and hands, by value, to the
// framework's base constructors.

#include <cstdint>

#include "IEditorGraphics.h"
#include "UT_String.h"

namespace plugin {

// Version packed as major << 16 | minor << 8 | patch.
constexpr int32_t PackVersion(int major, int minor, int patch) { return (major << 16) | (minor << 8) | patch; }

// Four-character code, first character in the most significant byte.
constexpr int32_t FourCharCode(const char (&code)[5])
{
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

// Plug-in API codes (index into GetAPIStr).
enum EAPI : int {
  kAPIVST2 = 0,
  kAPIVST3 = 1,
  kAPIAU = 2,
  kAPIAUv3 = 3,
  kAPIAAX = 4,
  kAPIAPP = 5,
  kAPIWAM = 6,
  kAPIWEB = 7
};

enum EPlugType : int32_t { kPlugTypeEffect = 0, kPlugTypeInstrument = 1, kPlugTypeMIDIEffect = 2 };

struct Config {
  int32_t nParams = 0;
  int32_t nPresets = 0;
  const char* channelIOStr = "";
  const char* pluginName = "";
  const char* productName = "";
  const char* mfrName = "";
  int32_t vendorVersion = 0; // packed, see PackVersion
  int32_t uniqueID = 0;      // four-character code
  int32_t mfrID = 0;         // four-character code
  int32_t latency = 0;
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;
  bool plugDoesChunks = false;        // state chunks rather than parameter lists in program/bank files
  int32_t plugType = kPlugTypeEffect; // an EPlugType
  bool plugHasUI = false;
  int32_t plugWidth = 0;
  int32_t plugHeight = 0;
  int32_t plugMinMaxWidth[2] = {0, 0};  // in either order
  int32_t plugMinMaxHeight[2] = {0, 0}; // in either order
  bool plugHostResize = false;
  const char* bundleID = "";
};

// What the module hands to the plug-in's constructor: the name of the class
// that makes the editor view for the host, and the editor's make-graphics
// and layout functions, which the editor delegate keeps (empty: the
// plug-in has no editor). The module is the one place that names the
// platform's graphics class and the editor layout.
struct InstanceInfo {
  UT_String mCocoaViewFactoryClassName;
  igraphics::MakeGraphicsFunc mMakeGraphicsFunc;
  igraphics::LayoutFunc mLayoutFunc;
};

} // namespace plugin
