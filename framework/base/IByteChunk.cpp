#include "IByteChunk.h"

#include <climits>
#include <cstring>
#include <functional>

namespace plugin {

namespace {
// True when [pos, pos + n) lies inside a chunk of `size` bytes.
bool Fits(int pos, int n, int size) { return pos >= 0 && n >= 0 && pos <= size && n <= size - pos; }
} // namespace

int IByteChunk::PutBytes(const void* src, int nBytes)
{
  const int n = Size();
  if (nBytes <= 0)
    return nBytes == 0 ? n : 0;
  if (!src || nBytes > INT_MAX - n)
    return 0;

  // Appending part of ourselves: the block may move while it grows.
  const auto* from = static_cast<const uint8_t*>(src);
  const uint8_t* data = GetData();
  const bool inside =
    data && std::greater_equal<const uint8_t*>()(from, data) && std::less<const uint8_t*>()(from, data + n);
  const std::ptrdiff_t offset = inside ? from - data : 0;

  mBytes.Resize(n + nBytes, false);
  if (Size() != n + nBytes)
    return 0;
  if (inside)
    from = GetData() + offset;
  std::memcpy(GetData() + n, from, static_cast<std::size_t>(nBytes));
  return Size();
}

int IByteChunk::GetBytes(void* dst, int nBytes, int startPos) const
{
  if (!Fits(startPos, nBytes, Size()))
    return -1;
  if (nBytes > 0)
    std::memcpy(dst, GetData() + startPos, static_cast<std::size_t>(nBytes));
  return startPos + nBytes;
}

int IByteChunk::PutStr(const char* text)
{
  const std::size_t len = text ? std::strlen(text) : 0;
  if (len > static_cast<std::size_t>(INT_MAX - 4))
    return 0;
  const int32_t n = static_cast<int32_t>(len);
  const int before = Size();
  if (!Put(&n))
    return 0;
  if (n > 0 && !PutBytes(text, n)) {
    Resize(before);
    return 0;
  }
  return Size();
}

int IByteChunk::GetStr(UT_String& text, int startPos) const
{
  int32_t n = 0;
  const int pos = Get(&n, startPos);
  if (pos < 0 || !Fits(pos, n, Size()))
    return -1;
  // Set stops at a NUL inside the stored bytes.
  if (n > 0)
    text.Set(reinterpret_cast<const char*>(GetData() + pos), n);
  else
    text.Set("");
  return pos + n;
}

int IByteChunk::PutChunk(const IByteChunk* other)
{
  if (!other)
    return 0;
  return PutBytes(other->GetData(), other->Size());
}

int IByteChunk::Resize(int newSize)
{
  const int n = Size();
  mBytes.Resize(newSize, true);
  if (Size() > n)
    std::memset(GetData() + n, 0, static_cast<std::size_t>(Size() - n));
  return Size();
}

bool IByteChunk::IsEqual(const IByteChunk& other) const
{
  return Size() == other.Size() && (Size() == 0 || std::memcmp(GetData(), other.GetData(), Size()) == 0);
}

} // namespace plugin
