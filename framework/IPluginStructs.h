#pragma once
// Plain messages passed between host, audio thread and editor. All are
// trivially copyable, so the lock-free queues copy them by value.

#include <cstdint>
#include <cstring>

namespace plugin {

// A parameter change on its way to the editor; {-1, 0.0} when empty.
struct ParamTuple {
  int32_t idx = -1;
  double value = 0.0;
};

// A short MIDI message at a sample offset within the current block.
struct IMidiMsg {
  int32_t mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;

  IMidiMsg() = default;
  IMidiMsg(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2)
  : mOffset(offset), mStatus(status), mData1(data1), mData2(data2)
  {
  }
};

// A SysEx message by reference: offset, size and a pointer to the bytes
// (null for none). Valid only as long as the bytes it points to.
struct ISysEx {
  int32_t mOffset = 0;
  int32_t mSize = 0;
  const uint8_t* mData = nullptr;

  ISysEx() = default;
  ISysEx(int32_t offset, const uint8_t* data, int32_t size) : mOffset(offset), mSize(size), mData(data) {}
};

// A SysEx message by value, as the queues carry it. At most kMaxBytes bytes
// are kept; a longer message is cut (its size still says how long it was,
// so a reader takes min(mSize, kMaxBytes)).
struct SysExData {
  static constexpr int32_t kMaxBytes = 512;

  int32_t mOffset = 0;
  int32_t mSize = 0;
  uint8_t mData[kMaxBytes] = {};

  SysExData() = default;
  explicit SysExData(const ISysEx& msg) : mOffset(msg.mOffset), mSize(msg.mSize)
  {
    if (msg.mData && msg.mSize > 0)
      std::memcpy(mData, msg.mData, static_cast<size_t>(msg.mSize < kMaxBytes ? msg.mSize : kMaxBytes));
  }

  // A view of this record for the editor-side handlers.
  ISysEx View() const { return ISysEx(mOffset, mData, mSize < kMaxBytes ? mSize : kMaxBytes); }
};

} // namespace plugin
