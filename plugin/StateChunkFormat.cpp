#include "StateChunkFormat.h"

#include <algorithm>
#include <climits>
#include <cstring>

using plugin::IByteChunk;

namespace statechunk {

namespace {

constexpr int64_t kTagBytes = 4;
constexpr int64_t kWordBytes = 4;
constexpr int64_t kDoubleBytes = 8;

bool PutTag(IByteChunk& chunk, const char (&tag)[4]) { return chunk.PutBytes(tag, 4) > 0; }

bool PutWord(IByteChunk& chunk, uint32_t v) { return chunk.Put(&v) > 0; }

uint32_t WordAt(const IByteChunk& chunk, int64_t pos)
{
  uint32_t v = 0;
  std::memcpy(&v, chunk.GetData() + pos, sizeof v);
  return v;
}

bool TagAt(const IByteChunk& chunk, int64_t pos, const char (&tag)[4])
{
  return std::memcmp(chunk.GetData() + pos, tag, 4) == 0;
}

// A stop position as the reader's int result; beyond the int range it is
// out of reach and counts as a refusal.
int AsResult(int64_t pos) { return (pos < 0 || pos > INT_MAX) ? -1 : int(pos); }

int64_t PaddedEnd(int64_t sizePos, uint32_t size) { return sizePos + kWordBytes + int64_t(size) + (size & 1u); }

// A curve section at pos; returns false with *result set when reading stops.
// After it, *next is where the next section starts.
bool PlanCurveSection(const IByteChunk& chunk, int64_t pos, const char (&tag)[4], bool withName, uint32_t expected,
                      CurvePlan& plan, int64_t* next, int* result)
{
  if (pos < 0 || !Fits(chunk, pos, kTagBytes) || !TagAt(chunk, pos, tag)) {
    *result = AsResult(pos);
    return false;
  }
  if (!Fits(chunk, pos + 4, 2 * kWordBytes)) {
    *result = -1;
    return false;
  }
  const uint32_t size = WordAt(chunk, pos + 4);
  if (size == 0 || WordAt(chunk, pos + 8) != kCurveVersion) {
    *result = AsResult(pos + 12);
    return false;
  }
  plan.present = true;
  *next = PaddedEnd(pos + 4, size);
  const int64_t sectionEnd = pos + 8 + int64_t(size);
  if (!Fits(chunk, pos + 12, kWordBytes))
    return true;
  plan.countRead = true;
  plan.count = WordAt(chunk, pos + 12);
  plan.matches = plan.count == expected;
  if (!plan.matches)
    return true;
  int64_t valuesPos = pos + 16;
  if (withName) {
    if (!Fits(chunk, pos + 16, kWordBytes))
      return true;
    plan.namePos = pos + 20;
    plan.nameLength = WordAt(chunk, pos + 16);
    valuesPos = plan.namePos + int64_t(plan.nameLength);
  }
  plan.magPos = valuesPos;
  const int64_t magBytes = int64_t(plan.count) * kDoubleBytes;
  // The whole section must be there: a cut chunk applies complete sections
  // only, though the frequencies after the magnitudes are never read.
  plan.fits =
    Fits(chunk, valuesPos, magBytes) && valuesPos + magBytes <= sectionEnd && Fits(chunk, pos + 8, int64_t(size));
  return true;
}

} // namespace

bool Fits(const IByteChunk& chunk, int64_t pos, int64_t length)
{
  return pos >= 0 && length >= 0 && pos + length <= int64_t(chunk.Size());
}

int BeginContainer(IByteChunk& chunk)
{
  if (!PutTag(chunk, kRiffTag) || !PutWord(chunk, 0))
    return -1;
  const int versionPos = chunk.Size();
  if (!PutWord(chunk, kContainerVersion) || !PutTag(chunk, kFormTag))
    return -1;
  return versionPos;
}

int BeginSection(IByteChunk& chunk, const char (&tag)[4], uint32_t version)
{
  if (!PutTag(chunk, tag) || !PutWord(chunk, 0))
    return -1;
  const int versionPos = chunk.Size();
  return PutWord(chunk, version) ? versionPos : -1;
}

bool EndBlock(IByteChunk& chunk, int versionPos)
{
  if (versionPos < 4 || versionPos > chunk.Size())
    return false;
  const uint32_t size = uint32_t(chunk.Size() - versionPos);
  std::memcpy(chunk.GetData() + versionPos - 4, &size, sizeof size);
  if (size & 1u) {
    const uint8_t pad = 0;
    return chunk.Put(&pad) > 0;
  }
  return true;
}

StatePlan PlanState(const IByteChunk& chunk, int startPos, uint32_t fingerprintCount, uint32_t referenceCount)
{
  StatePlan plan;
  const int64_t p = startPos;
  if (chunk.Size() == 0 || p < 0 || !Fits(chunk, p, kTagBytes) || !TagAt(chunk, p, kRiffTag)) {
    plan.result = startPos;
    return plan;
  }
  if (!Fits(chunk, p + 4, 2 * kWordBytes))
    return plan;
  const uint32_t containerSize = WordAt(chunk, p + 4);
  // A container cut short is read as far as it goes; what it announces
  // tells whether anything is missing. Only its pad byte may be.
  const int64_t end = PaddedEnd(p + 4, containerSize);
  // A stop position is never past the bytes given: a container that ends
  // there missing only its last pad byte ends at the chunk's end, one cut
  // shorter is refused.
  const auto stopAt = [&](int64_t pos) {
    const int64_t size = chunk.Size();
    plan.reachedEnd = pos == end && end <= size + 1;
    plan.result = plan.reachedEnd ? AsResult(std::min(pos, size)) : pos <= size ? AsResult(pos) : -1;
  };
  if (WordAt(chunk, p + 8) != kContainerVersion || !Fits(chunk, p + 12, kTagBytes) || !TagAt(chunk, p + 12, kFormTag)) {
    plan.result = AsResult(p + 12);
    return plan;
  }
  if (!Fits(chunk, p + 16, kTagBytes) || !TagAt(chunk, p + 16, kXMLTag)) {
    plan.result = AsResult(p + 16);
    return plan;
  }
  if (!Fits(chunk, p + 20, 2 * kWordBytes))
    return plan;
  const uint32_t xmlSize = WordAt(chunk, p + 20);
  if (xmlSize == 0 || WordAt(chunk, p + 24) != kXMLVersion) {
    plan.result = AsResult(p + 28);
    return plan;
  }
  plan.xmlReached = true;
  plan.xmlPos = int(p + 28); // inside the chunk, which is int-sized

  int64_t q = PaddedEnd(p + 20, xmlSize);
  int64_t r = 0;
  int stop = -1;
  if (!PlanCurveSection(chunk, q, kFingerprintTag, false, fingerprintCount, plan.fingerprint, &r, &stop)) {
    // A chunk of parameters only (a preset record) ends here.
    if (stop == AsResult(q))
      stopAt(q);
    else
      plan.result = stop;
    return plan;
  }
  int64_t unused = 0;
  if (!PlanCurveSection(chunk, r, kReferenceTag, true, referenceCount, plan.reference, &unused, &stop)) {
    if (stop == AsResult(r))
      stopAt(r);
    else
      plan.result = stop;
    return plan;
  }
  stopAt(end);
  return plan;
}

} // namespace statechunk
