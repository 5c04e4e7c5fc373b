#include "CFRuntime.h"

#include "AutoreleasePool.h"
#include "CFInternal.h"

#include <cstdio>

namespace standin::cf {
namespace {

std::atomic<long> gLiveObjects{0};
std::atomic<long> gLiveBlocks{0};

} // namespace

Object::Object(CFTypeID type) : mType(type) { gLiveObjects.fetch_add(1, std::memory_order_relaxed); }

Object::~Object()
{
  if (!mConstant)
    gLiveObjects.fetch_sub(1, std::memory_order_relaxed);
}

void Object::MakeConstant()
{
  if (mConstant)
    return;
  mConstant = true;
  gLiveObjects.fetch_sub(1, std::memory_order_relaxed);
}

void Object::Retain() const
{
  if (mConstant)
    return;
  mRefs.fetch_add(1, std::memory_order_relaxed);
}

void Object::Release() const
{
  if (mConstant)
    return;
  const CFIndex before = mRefs.fetch_sub(1, std::memory_order_acq_rel);
  if (before <= 0)
    Fatal("CFRelease of an object that was already freed");
  if (before == 1)
    delete this;
}

CFIndex Object::RetainCount() const
{
  return mConstant ? CFIndex(0x7fffffffffffffffL) : mRefs.load(std::memory_order_relaxed);
}

std::string Object::Describe() const
{
  char text[64];
  std::snprintf(text, sizeof text, "<CFType %p [type %lu]>", static_cast<const void*>(this), mType);
  return text;
}

void Fatal(const char* what)
{
  std::fprintf(stderr, "standin: fatal CoreFoundation misuse: %s\n", what);
  std::abort();
}

void MakeConstant(CFTypeRef object) { const_cast<Object*>(AsObject(object))->MakeConstant(); }

long LiveObjects() { return gLiveObjects.load(); }
long LiveAllocatorBlocks() { return gLiveBlocks.load(); }

namespace {

class Allocator final : public Object {
public:
  explicit Allocator(bool allocates) : Object(kAllocatorTypeID), mAllocates(allocates) { MakeConstant(); }
  bool Allocates() const { return mAllocates; }
  std::string Describe() const override { return mAllocates ? "<CFAllocator malloc>" : "<CFAllocator null>"; }

private:
  bool mAllocates;
};

class Null final : public Object {
public:
  Null() : Object(kNullTypeID) { MakeConstant(); }
  std::string Describe() const override { return "<CFNull>"; }
};

const Allocator* SystemAllocator()
{
  static const Allocator* a = new Allocator(true);
  return a;
}
const Allocator* NullAllocator()
{
  static const Allocator* a = new Allocator(false);
  return a;
}

bool AllocatorAllocates(CFAllocatorRef allocator)
{
  return !allocator || static_cast<const Allocator*>(AsObject(allocator))->Allocates();
}

} // namespace
} // namespace standin::cf

using namespace standin::cf;

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFAllocatorRef kCFAllocatorSystemDefault = reinterpret_cast<CFAllocatorRef>(SystemAllocator());
const CFAllocatorRef kCFAllocatorMalloc = reinterpret_cast<CFAllocatorRef>(SystemAllocator());
const CFAllocatorRef kCFAllocatorNull = reinterpret_cast<CFAllocatorRef>(NullAllocator());
const CFNullRef kCFNull = reinterpret_cast<CFNullRef>(static_cast<const Object*>(new Null()));

CFAllocatorRef CFAllocatorGetDefault(void) { return kCFAllocatorSystemDefault; }
CFTypeID CFAllocatorGetTypeID(void) { return kAllocatorTypeID; }
CFTypeID CFNullGetTypeID(void) { return kNullTypeID; }

void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags)
{
  if (size <= 0 || !AllocatorAllocates(allocator))
    return nullptr;
  void* p = std::malloc(static_cast<size_t>(size));
  if (p)
    gLiveBlocks.fetch_add(1, std::memory_order_relaxed);
  return p;
}

void* CFAllocatorReallocate(CFAllocatorRef allocator, void* ptr, CFIndex newsize, CFOptionFlags hint)
{
  if (!AllocatorAllocates(allocator))
    return nullptr;
  if (!ptr)
    return CFAllocatorAllocate(allocator, newsize, hint);
  if (newsize <= 0) {
    CFAllocatorDeallocate(allocator, ptr);
    return nullptr;
  }
  return std::realloc(ptr, static_cast<size_t>(newsize));
}

void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr)
{
  if (!ptr || !AllocatorAllocates(allocator))
    return;
  std::free(ptr);
  gLiveBlocks.fetch_sub(1, std::memory_order_relaxed);
}

CFTypeRef CFRetain(CFTypeRef cf)
{
  if (!cf)
    Fatal("CFRetain(NULL)");
  AsObject(cf)->Retain();
  return cf;
}

void CFRelease(CFTypeRef cf)
{
  if (!cf)
    Fatal("CFRelease(NULL)");
  AsObject(cf)->Release();
}

CFTypeRef CFAutorelease(CFTypeRef cf)
{
  if (!cf)
    Fatal("CFAutorelease(NULL)");
  standin::AutoreleaseAdd(cf, [](const void* o) { CFRelease(o); });
  return cf;
}

CFIndex CFGetRetainCount(CFTypeRef cf) { return AsObject(cf)->RetainCount(); }
CFTypeID CFGetTypeID(CFTypeRef cf) { return AsObject(cf)->Type(); }

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2)
{
  const Object* a = AsObject(cf1);
  const Object* b = AsObject(cf2);
  if (a == b)
    return true;
  return a->Type() == b->Type() && a->Equal(*b);
}

CFHashCode CFHash(CFTypeRef cf) { return AsObject(cf)->Hash(); }

CFStringRef CFCopyDescription(CFTypeRef cf)
{
  if (!cf)
    return nullptr;
  return MakeString(AsObject(cf)->Describe());
}

CFStringRef CFCopyTypeIDDescription(CFTypeID typeId)
{
  switch (typeId) {
  case kAllocatorTypeID: return MakeString("CFAllocator");
  case kNullTypeID: return MakeString("CFNull");
  case kStringTypeID: return MakeString("CFString");
  case kBooleanTypeID: return MakeString("CFBoolean");
  case kNumberTypeID: return MakeString("CFNumber");
  case kDataTypeID: return MakeString("CFData");
  case kArrayTypeID: return MakeString("CFArray");
  case kDictionaryTypeID: return MakeString("CFDictionary");
  case kURLTypeID: return MakeString("CFURL");
  case kBundleTypeID: return MakeString("CFBundle");
  case kRunLoopTypeID: return MakeString("CFRunLoop");
  case kRunLoopTimerTypeID: return MakeString("CFRunLoopTimer");
  default: return nullptr;
  }
}

CFAllocatorRef CFGetAllocator(CFTypeRef cf)
{
  AsObject(cf);
  return kCFAllocatorSystemDefault;
}
