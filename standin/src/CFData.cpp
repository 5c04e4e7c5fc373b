#include "CFRuntime.h"

#include <cstring>
#include <vector>

using namespace standin::cf;

struct __CFData final : Object {
  __CFData(std::vector<UInt8> b, bool isMutable) : Object(kDataTypeID), bytes(std::move(b)), mutableData(isMutable) {}
  bool Equal(const Object& other) const override { return bytes == static_cast<const __CFData&>(other).bytes; }
  CFHashCode Hash() const override { return bytes.size(); }
  std::string Describe() const override { return "<CFData " + std::to_string(bytes.size()) + " bytes>"; }

  std::vector<UInt8> bytes;
  bool mutableData;
};

namespace {

__CFData* Data(CFTypeRef d) { return As<__CFData>(d, kDataTypeID); }

__CFData* MutableData(CFTypeRef d)
{
  __CFData* data = Data(d);
  if (!data->mutableData)
    Fatal("mutating an immutable CFData");
  return data;
}

} // namespace

CFTypeID CFDataGetTypeID(void) { return kDataTypeID; }

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length)
{
  if (length < 0 || (!bytes && length > 0))
    return nullptr;
  return new __CFData(std::vector<UInt8>(bytes, bytes + length), false);
}

CFDataRef CFDataCreateCopy(CFAllocatorRef, CFDataRef theData) { return new __CFData(Data(theData)->bytes, false); }

CFMutableDataRef CFDataCreateMutable(CFAllocatorRef, CFIndex) { return new __CFData({}, true); }

CFMutableDataRef CFDataCreateMutableCopy(CFAllocatorRef, CFIndex, CFDataRef theData)
{
  return new __CFData(Data(theData)->bytes, true);
}

CFIndex CFDataGetLength(CFDataRef theData) { return CFIndex(Data(theData)->bytes.size()); }

const UInt8* CFDataGetBytePtr(CFDataRef theData)
{
  const __CFData* d = Data(theData);
  return d->bytes.empty() ? nullptr : d->bytes.data();
}

UInt8* CFDataGetMutableBytePtr(CFMutableDataRef theData)
{
  __CFData* d = MutableData(theData);
  return d->bytes.empty() ? nullptr : d->bytes.data();
}

void CFDataGetBytes(CFDataRef theData, CFRange range, UInt8* buffer)
{
  const __CFData* d = Data(theData);
  if (range.location < 0 || range.length < 0 || size_t(range.location + range.length) > d->bytes.size()) {
    Fatal("CFDataGetBytes range out of bounds");
  }
  if (range.length > 0)
    std::memcpy(buffer, d->bytes.data() + range.location, size_t(range.length));
}

void CFDataSetLength(CFMutableDataRef theData, CFIndex length)
{
  if (length < 0)
    Fatal("CFDataSetLength with a negative length");
  MutableData(theData)->bytes.resize(size_t(length), 0);
}

void CFDataAppendBytes(CFMutableDataRef theData, const UInt8* bytes, CFIndex length)
{
  __CFData* d = MutableData(theData);
  if (length > 0 && bytes)
    d->bytes.insert(d->bytes.end(), bytes, bytes + length);
}
