// The editor's size inside the plug-in's saved state: width and height
// (int32) and the draw scale (float), 12 bytes in host order.

#include "IByteChunk.h"
#include "IGEditorDelegate.h"

namespace plugin::igraphics {

bool IGEditorDelegate::SerializeEditorState(IByteChunk& chunk) const
{
  int32_t width = mSavedWidth, height = mSavedHeight;
  float scale = mSavedScale;
  if (mGraphics) {
    width = mGraphics->Width();
    height = mGraphics->Height();
    scale = mGraphics->GetDrawScale();
  }
  return chunk.Put(&width) > 0 && chunk.Put(&height) > 0 && chunk.Put(&scale) > 0;
}

int IGEditorDelegate::UnserializeEditorState(const IByteChunk& chunk, int startPos)
{
  int32_t width = 0, height = 0;
  float scale = 0.f;
  int pos = chunk.Get(&width, startPos);
  pos = chunk.Get(&height, pos);
  pos = chunk.Get(&scale, pos);
  // Short data tells nothing about the size: keep what is remembered.
  if (pos < 0)
    return -1;
  // A zero field (an editor that was never opened) is no size to reopen at.
  if (width == 0 || height == 0 || scale == 0.f)
    return pos;
  if (!mEditorReady || !mGraphics) {
    mSavedWidth = width;
    mSavedHeight = height;
    mSavedScale = scale;
    return pos;
  }
  mGraphics->Resize(width, height, scale, true);
  return pos;
}

} // namespace plugin::igraphics
