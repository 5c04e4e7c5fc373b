// Gesture regions and the computer keyboard played as a MIDI keyboard.

#include <algorithm>
#include <mutex>
#include <vector>

#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IPluginStructs.h"

namespace plugin::igraphics {

namespace {

// Shared by every editor of the process: a reopened editor keeps its octave.
struct QwertyKeyboardState {
  std::mutex mutex;
  int baseNote = 48;
  bool sounding[128] = {};
};

QwertyKeyboardState& KeyboardState()
{
  static QwertyKeyboardState state;
  return state;
}

// Semitone above the base note for a letter key, -1 for other keys.
int SemitoneForKey(int vk)
{
  switch (vk) {
  case 'A': return 0;
  case 'W': return 1;
  case 'S': return 2;
  case 'E': return 3;
  case 'D': return 4;
  case 'F': return 5;
  case 'T': return 6;
  case 'G': return 7;
  case 'Y': return 8;
  case 'H': return 9;
  case 'U': return 10;
  case 'J': return 11;
  case 'K': return 12;
  case 'O': return 13;
  case 'L': return 14;
  default: return -1;
  }
}

constexpr std::uint8_t kNoteOn = 144;
constexpr std::uint8_t kNoteOff = 128;
constexpr std::uint8_t kVelocity = 127;

} // namespace

void IGraphics::AttachGestureRecognizerToRegion(const IRECT& bounds, EGestureType type, IGestureFunc func)
{
  mGestureRegions.Add(bounds);
  RegisterGestureType(type);
  mGestureRegionFuncs.emplace(mGestureRegions.Size() - 1, std::move(func));
}

void IGraphics::ClearGestureRegions()
{
  mGestureRegions.Clear();
  mGestureRegionFuncs.clear();
}

bool IGraphics::RespondsToGesture(float x, float y)
{
  IControl* c = GetMouseControl(x, y, false);
  if (c && c->HasGestures() && !c->GetAnimationFunction())
    return true;
  for (int i = 0; i < mGestureRegions.Size(); ++i)
    if (mGestureRegions.Get(i).Contains(x, y))
      return true;
  return false;
}

void IGraphics::OnGestureRecognized(const IGestureInfo& info)
{
  IControl* c = GetMouseControl(info.x, info.y, false);
  if (c && c->HasGestures() && !c->GetAnimationFunction()) {
    c->OnGesture(info);
    return;
  }
  for (int i = 0; i < mGestureRegions.Size(); ++i) {
    if (!mGestureRegions.Get(i).Contains(info.x, info.y))
      continue;
    const auto it = mGestureRegionFuncs.find(i);
    if (it != mGestureRegionFuncs.end() && it->second)
      it->second(nullptr, info);
    return;
  }
}

void IGraphics::SetQwertyMidiKeyHandlerFunc(std::function<void(const IMidiMsg&)> func)
{
  IGEditorDelegate* dlg = mDelegate;
  mKeyHandlerFunc = [dlg, func](const IKeyPress& key, bool isUp) {
    // Decide under the lock, send after it, so a receiver may use the keyboard.
    std::vector<IMidiMsg> out;
    {
      QwertyKeyboardState& kb = KeyboardState();
      std::lock_guard<std::mutex> lock(kb.mutex);
      if (key.VK == 'Z' || key.VK == 'X') {
        if (isUp)
          return true;
        if (key.VK == 'Z')
          kb.baseNote = std::min(std::max(kb.baseNote, 36), 108) - 12;
        else
          kb.baseNote = std::min(std::max(kb.baseNote, 12), 84) + 12;
        for (int n = 0; n < 128; ++n)
          if (kb.sounding[n]) {
            kb.sounding[n] = false;
            out.emplace_back(0, kNoteOff, static_cast<std::uint8_t>(n), 0);
          }
      } else if (const int semitone = SemitoneForKey(key.VK); semitone >= 0) {
        const int note = kb.baseNote + semitone;
        if (!isUp && !kb.sounding[note]) {
          kb.sounding[note] = true;
          out.emplace_back(0, kNoteOn, static_cast<std::uint8_t>(note), kVelocity);
        } else if (isUp && kb.sounding[note]) {
          kb.sounding[note] = false;
          out.emplace_back(0, kNoteOff, static_cast<std::uint8_t>(note), 0);
        }
      }
    }
    for (const IMidiMsg& msg : out) {
      dlg->SendMidiMsgFromUI(msg);
      if (func)
        func(msg);
    }
    return true;
  };
}

} // namespace plugin::igraphics
