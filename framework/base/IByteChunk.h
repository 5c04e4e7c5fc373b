#pragma once
// The byte container of every saved state. Values are appended as their raw
// bytes in host byte order (little-endian on the target); a string is an
// int32 length followed by its bytes without a terminator.
//
// Writers return the chunk size after the append, or 0 when the chunk could
// not grow (it is then unchanged). Readers take a start position and return
// the position after the value, or -1 when the position is negative or the
// value does not lie wholly inside the chunk; they never read past the size
// and leave their destination untouched on -1. A source that points into
// this chunk may be appended to it. Not thread-safe.
#include <cstdint>
#include <type_traits>

#include "UT_String.h"
#include "UT_TypedBuf.h"

namespace plugin {

class IByteChunk {
public:
  static constexpr int kGranularity = 4096;

  IByteChunk() : mBytes(kGranularity) {}

  int PutBytes(const void* src, int nBytes);
  int GetBytes(void* dst, int nBytes, int startPos) const;

  template <class T> int Put(const T* value)
  {
    static_assert(std::is_trivially_copyable_v<T>, "only raw values go into a chunk");
    return PutBytes(value, static_cast<int>(sizeof(T)));
  }

  template <class T> int Get(T* value, int startPos) const
  {
    static_assert(std::is_trivially_copyable_v<T>, "only raw values come out of a chunk");
    return GetBytes(value, static_cast<int>(sizeof(T)), startPos);
  }

  // A null text is stored as length 0.
  int PutStr(const char* text);
  // The stored bytes up to the first NUL become the text; -1 also for a
  // negative length.
  int GetStr(UT_String& text, int startPos) const;

  // Appends all bytes of another chunk (or of this one).
  int PutChunk(const IByteChunk* other);

  // Empties the chunk and frees its memory.
  void Clear() { mBytes.Resize(0, true); }
  int Size() const { return mBytes.GetSize(); }
  // New bytes are zero. Returns the new size (the old one when it cannot grow).
  int Resize(int newSize);

  // Null when the chunk is empty.
  uint8_t* GetData() { return mBytes.Get(); }
  const uint8_t* GetData() const { return mBytes.Get(); }

  // Same size and same bytes.
  bool IsEqual(const IByteChunk& other) const;
  bool operator==(const IByteChunk& other) const { return IsEqual(other); }

private:
  UT_TypedBuf<uint8_t> mBytes;
};

} // namespace plugin
