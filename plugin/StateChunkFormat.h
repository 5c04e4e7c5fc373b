#pragma once
// The RIFF-style container of the saved state: "RIFF", size, version 1,
// form "ZQCM", then sections of tag, size and version. Sizes count from the
// version word that follows them; a section or container of odd size is
// followed by one zero pad byte. Integers u32 and doubles in host order.
//
// The writer appends to an IByteChunk; the planner reads a chunk without
// changing anything and says where each part lies and where reading stops,
// with 64-bit positions so sizes taken from the data cannot overflow.
// Pure functions over the chunk; any thread, one chunk per caller.
#include <cstdint>

#include "IByteChunk.h"

namespace statechunk {

inline constexpr char kRiffTag[4] = {'R', 'I', 'F', 'F'};
inline constexpr char kFormTag[4] = {'Z', 'Q', 'C', 'M'};
inline constexpr char kXMLTag[4] = {'Z', 'Q', 'C', 'S'};
inline constexpr char kFingerprintTag[4] = {'Z', 'Q', 'V', '0'};
inline constexpr char kReferenceTag[4] = {'Z', 'Q', 'V', '1'};
inline constexpr uint32_t kContainerVersion = 1;
inline constexpr uint32_t kXMLVersion = 1;
inline constexpr uint32_t kCurveVersion = 3;

// Appends "RIFF", a zero size, version 1 and "ZQCM". Returns the position of
// the version word (what EndBlock takes), or -1 when the chunk cannot grow.
int BeginContainer(plugin::IByteChunk& chunk);
// Appends tag, a zero size and version; position of the version word or -1.
int BeginSection(plugin::IByteChunk& chunk, const char (&tag)[4], uint32_t version);
// Patches the size word before versionPos to (chunk size - versionPos) and
// appends a zero byte when that is odd. False when a position is bad or the
// pad cannot be appended.
bool EndBlock(plugin::IByteChunk& chunk, int versionPos);

// What a curve section holds, as far as it can be used.
struct CurvePlan {
  bool present = false;   // section found with its tag, size and version
  bool countRead = false; // its point count word lies inside the chunk
  uint32_t count = 0;
  bool matches = false;    // count equals the expected one
  bool fits = false;       // matches, the name and magnitudes lie inside the
                           // section, and the section inside the chunk
  int64_t namePos = 0;     // reference only
  uint32_t nameLength = 0; // reference only
  int64_t magPos = 0;
};

struct StatePlan {
  // What the reader returns: the position after the chunk, the position at
  // which it stopped, or -1 for a chunk damaged or cut short; never a
  // position past the chunk's bytes. With -1 the parameters are still
  // applied when the XML section was reached, and every complete curve
  // section too.
  int result = -1;
  // Reading stopped where the container says it ends (missing at most its
  // last pad byte), so no section it announces is missing.
  bool reachedEnd = false;
  bool xmlReached = false;
  int xmlPos = 0; // the text length word of the XML section
  CurvePlan fingerprint;
  CurvePlan reference;
};

// Walks the chunk from startPos. The counts are those of the live curve
// records; a curve section is only usable when its count equals them and its
// magnitudes lie inside it and the chunk. A container cut short is walked as
// far as its bytes go; only the chunk's own bytes are ever looked at.
StatePlan PlanState(const plugin::IByteChunk& chunk, int startPos, uint32_t fingerprintCount, uint32_t referenceCount);

// True when `length` bytes at pos lie inside the chunk (64-bit arithmetic).
bool Fits(const plugin::IByteChunk& chunk, int64_t pos, int64_t length);

} // namespace statechunk
