#pragma once
// One plug-in instance for the whole run in a private home, and the checks
// that hold after any input reached it.
#include <standin/Testing.h>

#include <cmath>
#include <vector>

#include "FuzzFiles.h"
#include "IByteChunk.h"
#include "Vorelle3.h"

namespace fuzzsupport {

// One plug-in for the whole run, made in a home of its own so no settings
// file or default preset of the machine reaches it.
inline Vorelle3& Plug()
{
  static Vorelle3* plug = [] {
    standin::SetUserHome((Folder() / "home").string(), true);
    standin::SetSystemRoot((Folder() / "sys").string());
    plugin::InstanceInfo info;
    info.mCocoaViewFactoryClassName.Set("Vorelle3_View");
    return new Vorelle3(info);
  }();
  return *plug;
}

inline std::vector<uint8_t> Bytes(const plugin::IByteChunk& chunk)
{
  return std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + chunk.Size());
}

inline plugin::IByteChunk Chunk(const uint8_t* data, size_t size)
{
  plugin::IByteChunk chunk;
  if (size)
    chunk.PutBytes(data, int(size));
  return chunk;
}

inline std::vector<uint8_t> SavedState(const Vorelle3& plug)
{
  plugin::IByteChunk chunk;
  if (!plug.SerializeState(chunk))
    Fail("the state cannot be saved");
  return Bytes(chunk);
}

// Every parameter finite and inside its range.
inline void CheckParams(const Vorelle3& plug)
{
  for (int i = 0; i < plug.NParams(); ++i) {
    const plugin::IParam* p = plug.GetParam(i);
    const double v = p->Value();
    if (!std::isfinite(v))
      Fail("parameter not finite", i);
    if (v < p->GetMin() || v > p->GetMax())
      Fail("parameter out of its range", i);
  }
}

// Whatever was restored saves as it restores: save, restore, save gives the
// same bytes.
inline void CheckStateStable(Vorelle3& plug)
{
  const std::vector<uint8_t> first = SavedState(plug);
  const plugin::IByteChunk chunk = Chunk(first.data(), first.size());
  if (plug.UnserializeState(chunk, 0) != chunk.Size())
    Fail("a saved state is not read back whole");
  if (SavedState(plug) != first)
    Fail("save, restore, save changes the bytes");
}

// The plug-in as made, before each input: the state saved right after
// construction, restored only when an input changed it (every restore
// rebuilds the filter). Curves an earlier input brought in stay, since a
// fresh state holds none to put back.
class Baseline {
public:
  explicit Baseline(Vorelle3& plug) : mPlug(plug), mState(SavedState(plug)) {}
  void Restore()
  {
    if (SavedState(mPlug) != mState) {
      const plugin::IByteChunk chunk = Chunk(mState.data(), mState.size());
      mPlug.UnserializeState(chunk, 0);
    }
    if (mPlug.GetCurrentPresetIdx() != 0)
      mPlug.RestorePreset(0);
  }

private:
  Vorelle3& mPlug;
  std::vector<uint8_t> mState;
};

} // namespace fuzzsupport
