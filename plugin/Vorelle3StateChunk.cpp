// The host state chunk: the container with the parameters as XML text, the
// fingerprint and the custom reference. Main thread (the host's save and
// restore).
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "StateChunkFormat.h"
#include "Vorelle3.h"

using plugin::IByteChunk;
using plugin::IParam;

namespace {

bool PutWord(IByteChunk& chunk, uint32_t v) { return chunk.Put(&v) > 0; }

bool PutDoubles(IByteChunk& chunk, const double* v, unsigned n)
{
  return n == 0 || chunk.PutBytes(v, int(n * sizeof(double))) > 0;
}

// The n doubles at pos (which the caller has checked to lie inside), when
// every one is finite.
bool CopyFiniteValues(const IByteChunk& chunk, int64_t pos, unsigned n, std::vector<double>& out)
{
  out.resize(n);
  if (n > 0)
    std::memcpy(out.data(), chunk.GetData() + pos, size_t(n) * sizeof(double));
  for (double v : out) {
    if (!std::isfinite(v))
      return false;
  }
  return true;
}

} // namespace

bool Vorelle3::SerializeState(IByteChunk& chunk) const
{
  using namespace statechunk;
  const int container = BeginContainer(chunk);
  const int xml = container < 0 ? -1 : BeginSection(chunk, kXMLTag, kXMLVersion);
  bool ok = xml >= 0 && WriteStateXML(chunk) && EndBlock(chunk, xml);

  const int fp = BeginSection(chunk, kFingerprintTag, kCurveVersion);
  ok = ok && fp >= 0;
  if (mCurves.FingerprintValid()) {
    const Vorelle3CurveRecord& c = mCurves.Fingerprint();
    ok = ok && PutWord(chunk, c.count) && PutDoubles(chunk, c.mag, c.count) && PutDoubles(chunk, c.freq, c.count);
  } else {
    ok = ok && PutWord(chunk, 0);
  }
  ok = ok && EndBlock(chunk, fp);

  const int ref = BeginSection(chunk, kReferenceTag, kCurveVersion);
  ok = ok && ref >= 0;
  if (mCurves.CustomRefValid()) {
    const Vorelle3CurveRecord& c = mCurves.CustomReference();
    const uint32_t nameLength = uint32_t(mCurves.CustomRefNameLength());
    ok = ok && PutWord(chunk, c.count) && PutWord(chunk, nameLength) &&
         (nameLength == 0 || chunk.PutBytes(mCurves.CustomRefName(), int(nameLength)) > 0) &&
         PutDoubles(chunk, c.mag, c.count) && PutDoubles(chunk, c.freq, c.count);
  } else {
    ok = ok && PutWord(chunk, 0);
  }
  ok = ok && EndBlock(chunk, ref);
  return ok && EndBlock(chunk, container);
}

int Vorelle3::UnserializeState(const IByteChunk& chunk, int startPos)
{
  // A restore is cheap: the filter is designed when first needed (the door
  // the state came through, or the next idle tick), not per restore.
  const RestoreScope restoring(mRestoring);
  const uint32_t fpCount = mCurves.Fingerprint().count;
  const uint32_t refCount = mCurves.CustomReference().count;
  const statechunk::StatePlan plan = statechunk::PlanState(chunk, startPos, fpCount, refCount);
  mRestoreComplete = false;
  if (plan.result < 0 && !plan.xmlReached)
    return plan.result; // refused: nothing applied

  // Whatever can be read is applied, section by section: the parameters,
  // then each curve whose section is complete.
  const bool xmlOk = plan.xmlReached && ReadStateXML(chunk, plan.xmlPos) > 0;

  // Curves are taken whole or not at all: every value inside its section
  // and finite, the name with them.
  std::vector<double> fpMag, refMag;
  const bool fpOk = plan.fingerprint.fits && CopyFiniteValues(chunk, plan.fingerprint.magPos, fpCount, fpMag);
  const bool refOk = plan.reference.fits && CopyFiniteValues(chunk, plan.reference.magPos, refCount, refMag);
  // A section saved with another point count (another band setting) or
  // without a curve is passed over on purpose; any other unread part makes
  // the restore incomplete.
  const auto curveDone = [](const statechunk::CurvePlan& c, bool applied) {
    return applied || (c.countRead && (c.count == 0 || !c.matches));
  };
  const bool curvesExpected = plan.fingerprint.present || plan.reference.present;
  mRestoreComplete = plan.result >= 0 && plan.reachedEnd && xmlOk &&
                     (!curvesExpected || (curveDone(plan.fingerprint, fpOk) && curveDone(plan.reference, refOk)));
  if (!fpOk && !refOk)
    return plan.result;
  {
    // The audio thread reads these records.
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    if (fpOk)
      mCurves.TakeFingerprint(fpMag.data(), fpMag.size());
    if (refOk) {
      const char* name = reinterpret_cast<const char*>(chunk.GetData() + plan.reference.namePos);
      const size_t length = strnlen(name, plan.reference.nameLength);
      mCurves.TakeCustomReference(refMag.data(), refMag.size(), std::string(name, length).c_str());
    }
  }
  RequestCurves();
  UpdateCustomStyleLabel();
  return plan.result;
}

OSStatus Vorelle3::RestoreClassInfo(CFPropertyListRef plist)
{
  CurveStore::Snapshot curves;
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    curves = mCurves.Save();
  }
  OSStatus status;
  {
    // The preset it recalls and any undo design nothing; the end does.
    const RestoreScope restoring(mRestoring);
    status = IPluginAU::RestoreClassInfo(plist);
  }
  bool putBack = false;
  if (status != noErr) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    putBack = !(mCurves.Save() == curves);
    if (putBack)
      mCurves.Restore(curves);
  }
  if (putBack) {
    RequestCurves();
    RequestLabelUpdate();
  }
  // The host may render right after its restore.
  RunDeferredWork();
  return status;
}

void Vorelle3::OnRestoreState()
{
  if (!mRestoring)
    RunDeferredWork();
}

bool Vorelle3::WriteStateXML(IByteChunk& chunk) const
{
  TiXmlDocument doc;
  BuildPresetTree(doc, *this, nullptr, GetPresetName(0));
  return AppendXMLText(chunk, PrintTree(doc));
}

int Vorelle3::ReadStateXML(const IByteChunk& chunk, int pos)
{
  uint32_t length = 0;
  if (pos < 0 || !statechunk::Fits(chunk, pos, 4))
    return 0;
  chunk.Get(&length, pos);
  std::string text;
  if (statechunk::Fits(chunk, int64_t(pos) + 4, length)) {
    const char* bytes = reinterpret_cast<const char*>(chunk.GetData() + pos + 4);
    text.assign(bytes, strnlen(bytes, length));
  }
  TiXmlDocument doc;
  if (!ParseText(text, doc))
    return 0;
  const char* presetName = nullptr;
  const TiXmlElement* preset = FindPreset(doc, *this, &presetName);
  if (!preset)
    return 0;
  if (plugin::IPreset* first = mPresets.Get(0))
    SetPresetName(*first, presetName);
  const bool walked = ForEachParam(*preset, *this, [this](int idx, double v) { GetParam(idx)->Set(v); });
  if (!walked)
    return 0;
  OnParamReset(plugin::kPresetRecall);
  return pos + 4 + int(length); // the text lies inside the chunk, so this is in range
}
